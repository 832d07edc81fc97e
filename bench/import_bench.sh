#!/usr/bin/env bash
# List exchange benchmark: userlistctl import of 100,000 MD5s into an empty
# store (a plain list), then of the same 100,000 as a CSV for the other list
# (every one moves), and export of them as CSV and as a ClamAV .hdb; beside
# the sqlite3 shell inserting the same 100,000 rows in one transaction into a
# store of the program's own schema (same disk, same run).
#
# usage: bench/import_bench.sh [WORK_FOLDER]   (needs a build: scripts/build x86_64)
#        IMPORT_BENCH_BIN=<dir>/bin to use another build than build/win64
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../scripts/env.sh"
bin=${IMPORT_BENCH_BIN:-$(uw_build_dir x86_64)/bin}
work=${1:-$(mktemp -d /tmp/uwimport.XXXXXX)}
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
count=100000

now() { date +%s.%N; }
elapsed() { echo "$(now) - $1" | bc; }
ctl() {
    VMRDETECT_LIST_FILE=$(uw_windows_path "$work/vmrdetect.lists") uw_wine_env uw_wine \
        "$bin/userlistctl.exe" --store "$work/UserSign.dat" "$@"
}

/usr/bin/python3 - "$work" "$count" <<'PY'
import hashlib, sys
work, count = sys.argv[1], int(sys.argv[2])
md5s = [hashlib.md5(b"import bench %d" % i).hexdigest() for i in range(count)]
with open(work + "/plain.txt", "w") as plain:
    plain.write("".join(m + "\n" for m in md5s))
with open(work + "/move.csv", "w", newline="") as csv:
    csv.write("IndicatorType,IndicatorValue,Action,Title,Description,CreationTime\r\n")
    csv.write("".join("FileMd5,%s,Allowed,f%d.exe,C:\\f%d.exe,\r\n" % (m, i, i)
                      for i, m in enumerate(md5s)))
with open(work + "/shell.sql", "w") as sql:
    sql.write("BEGIN;\n")
    sql.write("".join("INSERT INTO UserBlack(Md5, Path, Time) VALUES('%s', "
                      "'Z:\\tmp\\plain.txt', '1800000000');\n" % m for m in md5s))
    sql.write("COMMIT;\n")
PY

uw_wine_env wineserver -p || true # keep one server for every run below
uw_wine_env uw_wine cmd /c exit > /dev/null 2>&1 || true
t=$(now); ctl import "$(uw_windows_path "$work/plain.txt")" --list black > "$work/import.out"
importTime=$(elapsed "$t")
t=$(now); ctl import "$(uw_windows_path "$work/move.csv")" > "$work/move.out"; moveTime=$(elapsed "$t")
t=$(now); ctl export csv -o "$(uw_windows_path "$work/out.csv")" > /dev/null; csvTime=$(elapsed "$t")
t=$(now); ctl export hdb trusted -o "$(uw_windows_path "$work/out.hdb")" > /dev/null
hdbTime=$(elapsed "$t")

tail -n 1 "$work/import.out" | grep -q "^$count imported" || { tail -n 3 "$work/import.out"; exit 1; }
tail -n 1 "$work/move.out" | grep -q "^$count imported" || { tail -n 3 "$work/move.out"; exit 1; }
[ "$(grep -c '^FileMd5,' "$work/out.csv")" = "$count" ]
[ "$(wc -l < "$work/out.hdb")" = "$count" ]
trusted=$(sqlite3 "$work/UserSign.dat" 'SELECT count(*) FROM UserTrusted')
black=$(sqlite3 "$work/UserSign.dat" 'SELECT count(*) FROM UserBlack')
[ "$trusted" = "$count" ] && [ "$black" = 0 ] || { echo "store: $trusted trusted, $black black"; exit 1; }

# The reference: the same rows in one transaction into the program's own schema.
sqlite3 "$work/UserSign.dat" .schema | grep -v sqlite_sequence | sqlite3 "$work/shell.db"
t=$(now); sqlite3 "$work/shell.db" < "$work/shell.sql"; shellTime=$(elapsed "$t")
[ "$(sqlite3 "$work/shell.db" 'SELECT count(*) FROM UserBlack')" = "$count" ]

ratio() { echo "$1 / $shellTime" | bc -l; }
printf 'sqlite3 shell, %d rows in one transaction:  %6.2f s (reference)\n' "$count" "$shellTime"
printf 'import %d MD5s (plain list), empty store:  %6.2f s   ratio %5.2fx\n' "$count" "$importTime" "$(ratio "$importTime")"
printf 'import the same as CSV, all moving lists:   %6.2f s   ratio %5.2fx\n' "$moveTime" "$(ratio "$moveTime")"
printf 'export csv of %d entries:                  %6.2f s   ratio %5.2fx\n' "$count" "$csvTime" "$(ratio "$csvTime")"
printf 'export hdb of %d entries:                  %6.2f s   ratio %5.2fx\n' "$count" "$hdbTime" "$(ratio "$hdbTime")"
