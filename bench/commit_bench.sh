#!/usr/bin/env bash
# Commit benchmark: 100,000 files committed through the file processor
# (bench/CommitBench.cpp, under Wine) into an empty store, into a store
# already holding 100,000 and moving 100,000 to the other list, beside the
# sqlite3 shell inserting the same 100,000 rows in one transaction into a
# store of the same schema (same disk, same run); and the removal of one
# entry with 100,000 stored.
#
# usage: bench/commit_bench.sh [WORK_FOLDER]   (needs: cmake --build <dir> --target commit_bench)
#        COMMIT_BENCH_BIN=<dir>/bin to use another build than build/win64
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../scripts/env.sh"
bin=${COMMIT_BENCH_BIN:-$(uw_build_dir x86_64)/bin}
work=${1:-$(mktemp -d /tmp/uwcommit.XXXXXX)}
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT

now() { date +%s.%N; }
elapsed() { echo "$(now) - $1" | bc; }
value() { sed -n "s/^$1 //p" "$work/bench.out"; }

uw_wine_env uw_wine "$bin/commit_bench.exe" "$(uw_windows_path "$work")" > "$work/bench.out"
tr -d '\r' < "$work/bench.out" > "$work/bench.txt" && mv "$work/bench.txt" "$work/bench.out"
if grep -q -e '^error' -e 'failed' "$work/bench.out"; then
    cat "$work/bench.out" >&2
    exit 1
fi

# The reference: the same rows, one transaction each set, by the sqlite3 shell
# into the store's own schema (tables and MD5 indexes as the program makes them).
schema="Create Table UserBlack(ID INTEGER PRIMARY KEY AUTOINCREMENT,Md5 varchar(33) NOT NULL,Path varchar(260) NOT NULL,Time varchar(21) NOT NULL);
Create Table UserTrusted(ID INTEGER PRIMARY KEY AUTOINCREMENT,Md5 varchar(33) NOT NULL,Path varchar(260) NOT NULL,Time varchar(21) NOT NULL);
CREATE INDEX UserBlack_Md5 ON UserBlack(Md5);
CREATE INDEX UserTrusted_Md5 ON UserTrusted(Md5);"
sqlite3 "$work/shell.db" "$schema"
t=$(now); sqlite3 "$work/shell.db" < "$work/first.sql"; shellEmpty=$(elapsed "$t")
t=$(now); sqlite3 "$work/shell.db" < "$work/second.sql"; shellFull=$(elapsed "$t")
[ "$(sqlite3 "$work/shell.db" 'SELECT count(*) FROM UserTrusted')" = 200000 ]

empty=$(value commit_into_empty_s)
full=$(value commit_into_100000_s)
moving=$(value commit_moving_100000_s)
printf 'commit of 100,000 files (chunks of %s files), against the sqlite3 shell inserting the same rows in one transaction:\n' "$(value chunk_files)"
printf '  into an empty store:         FileProcessor %6.2f s   shell %5.2f s   ratio %5.2fx\n' \
    "$empty" "$shellEmpty" "$(echo "$empty / $shellEmpty" | bc -l)"
printf '  into a store of 100,000:     FileProcessor %6.2f s   shell %5.2f s   ratio %5.2fx\n' \
    "$full" "$shellFull" "$(echo "$full / $shellFull" | bc -l)"
printf '  moving 100,000 to the other list: FileProcessor %6.2f s   (%.2fx the shell into a store of 100,000)\n' \
    "$moving" "$(echo "$moving / $shellFull" | bc -l)"
printf 'removal of one entry with 100,000 stored: %s ms (median of 21; slowest %s ms), of which the store'"'"'s delete %s ms\n' \
    "$(value remove_one_ms)" "$(value remove_one_max_ms)" "$(value store_delete_ms)"
