#!/usr/bin/env bash
# Intake benchmarks: userlistctl scan against md5sum over the same trees (a
# tree of about 1 GiB in thousands of files, and a tree of 50,000 small
# files), and userlistctl trust of 10,000 files against 10,000 single-row
# transactions of the sqlite3 shell on the same disk.
#
# usage: bench/intake_bench.sh [WORK_FOLDER]   (needs a build: scripts/build x86_64)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../scripts/env.sh"
ctl="$(uw_build_dir x86_64)/bin/userlistctl.exe"
work=${1:-$(mktemp -d /tmp/uwbench.XXXXXX)}
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT

wine_ctl() { LANG=$UW_WINE_LOCALE LC_ALL=$UW_WINE_LOCALE wine "$ctl" "$@"; }
now() { date +%s.%N; }
elapsed() { echo "$(now) - $1" | bc; }

LANG=$UW_WINE_LOCALE LC_ALL=$UW_WINE_LOCALE wineserver -p
LANG=$UW_WINE_LOCALE LC_ALL=$UW_WINE_LOCALE wine cmd /c exit >/dev/null 2>&1 || true

compare_scan() {
    local name=$1 tree=$2
    # Warm the page cache for both.
    find "$tree" -type f -print0 | xargs -0 cat > /dev/null
    local t md5 ctlTime
    t=$(now); (cd "$tree" && find . -type f -print0 | xargs -0 md5sum > /dev/null); md5=$(elapsed "$t")
    t=$(now); wine_ctl --store "$work/scan.dat" scan "$tree" > "$work/scan.out"; ctlTime=$(elapsed "$t")
    printf '%-28s md5sum %7.2f s   userlistctl scan %7.2f s   ratio %.2fx   (%s)\n' \
        "$name" "$md5" "$ctlTime" "$(echo "$ctlTime / $md5" | bc -l)" "$(tail -n 1 "$work/scan.out")"
}

/usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/make_tree.py" "$work/large" 2048 $((512 * 1024)) 50
compare_scan "2,048 files, 1 GiB" "$work/large"
rm -rf "$work/large"

/usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/make_tree.py" "$work/small" 50000 2048 50
compare_scan "50,000 files of 2 KiB" "$work/small"
rm -rf "$work/small"

/usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/make_tree.py" "$work/commit" 10000 1024
t=$(now); wine_ctl --store "$work/commit.dat" trust "$work/commit" > "$work/commit.out"; ctlTime=$(elapsed "$t")
committed=$(grep -c '^trusted' "$work/commit.out")
sql="$work/shell.sql"
: > "$sql"
for i in $(seq 1 10000); do
    printf "BEGIN; INSERT INTO UserTrusted(Md5, Path, Time) VALUES('%032x', 'Z:\\\\tmp\\\\f%06d.exe', '1800000000'); COMMIT;\n" "$i" "$i" >> "$sql"
done
sqlite3 "$work/shell.dat" "Create Table UserTrusted(ID INTEGER PRIMARY KEY AUTOINCREMENT,Md5 varchar(33) NOT NULL,Path varchar(260) NOT NULL,Time varchar(21) NOT NULL)"
t=$(now); sqlite3 "$work/shell.dat" < "$sql"; shellTime=$(elapsed "$t")
printf 'userlistctl trust: %d files in %.2f s = %.0f files/s; sqlite3 shell: 10,000 single-row transactions in %.2f s = %.0f/s; ratio %.2fx\n' \
    "$committed" "$ctlTime" "$(echo "$committed / $ctlTime" | bc -l)" "$shellTime" \
    "$(echo "10000 / $shellTime" | bc -l)" "$(echo "$ctlTime / $shellTime" | bc -l)"
wineserver -k 2>/dev/null || true
