#!/usr/bin/env bash
# A threat feed at scale: for each size a feed of that many unique random
# MD5s (a plain list) is imported by `userlistctl import --list black` into
# an empty store, exported as CSV and listed; then the packaged program
# starts with an empty store and with the feed stored, and with the feed
# stored its working set is read, the operated tab paged down 50 times and
# one entry removed. The start-up and memory figures are taken for the
# 32-bit build as well where its programs run. References measured in the
# same run: the sqlite3 shell inserting the same rows in one transaction
# into a store of the program's schema and writing them as CSV, and the
# start-up and working set with an empty store. Prints one table.
#
# usage: bench/feed_bench.sh [SIZES...]      (default: 100000 1000000)
# Needs both builds with their packages and the driver:
#   scripts/build x86_64 && scripts/build i686
# Environment:
#   FEED_BENCH_LIMIT    time limit of each step in seconds (default 600)
#   FEED_BENCH_KEEP=1   keep the work folder (feeds, stores, figures, logs)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../scripts/env.sh"
build64=$(uw_build_dir x86_64)
driver=$build64/bin/window_bench_driver.exe
limit=${FEED_BENCH_LIMIT:-600}
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(100000 1000000)
for needed in "$build64/userwarden-win64.zip" "$driver"; do
    [ -f "$needed" ] || { uw_say "feed_bench: $needed is missing: build it first (see the usage)"; exit 2; }
done
[ -d "$WINEPREFIX" ] || { uw_say "feed_bench: no Wine prefix at $WINEPREFIX: run scripts/setup first"; exit 2; }
archs=()
for arch in $(uw_runnable_archs); do
    package=$(uw_build_dir "$arch")/userwarden-$( [ "$arch" = x86_64 ] && echo win64 || echo win32).zip
    if [ -f "$package" ]; then archs+=("$arch"); else uw_say "feed_bench: no $package: $arch left out"; fi
done

work=$(mktemp -d /tmp/feed_bench.XXXXXX)
figures=$work/figures.txt
: > "$figures"
bench_name=feed_bench
bench_keep=${FEED_BENCH_KEEP:-0}
. "$here/window/driver_steps.sh"
trap bench_cleanup EXIT

seconds_since() { echo "$(now) - $1" | bc; }
package_of() { echo "$(uw_build_dir "$1")/userwarden-$( [ "$1" = x86_64 ] && echo win64 || echo win32).zip"; }
prefix_of() { [ "$1" = x86_64 ] && echo "" || echo "w32_"; }

# The feed, the sqlite3 shell's inserts of it and the time the import
# stores (the shell writes the rows the import writes).
make_feed() {
    local size=$1 folder=$2
    /usr/bin/python3 - "$folder" "$size" "$(uw_windows_path "$folder/feed.txt")" <<'PY'
import random, sys
folder, count, stored = sys.argv[1], int(sys.argv[2]), sys.argv[3]
rng = random.Random(count)
seen = set()
while len(seen) < count:
    seen.add(rng.getrandbits(128))
md5s = ["%032x" % value for value in seen]
with open(folder + "/feed.txt", "w") as feed:
    feed.write("".join(m + "\n" for m in md5s))
quoted = stored.replace("'", "''")
with open(folder + "/shell.sql", "w") as sql:
    sql.write("BEGIN;\n")
    sql.write("".join("INSERT INTO UserBlack(Md5, Path, Time) VALUES('%s', '%s', '1800000000');\n"
                      % (m, quoted) for m in md5s))
    sql.write("COMMIT;\n")
PY
}

ctl() {
    local folder=$1
    shift
    VMRDETECT_LIST_FILE=$(uw_windows_path "$folder/lists.txt") "${wine_env[@]}" \
        "$(uw_wine_for "$userlistctl")" "$userlistctl" --store "$(uw_windows_path "$folder/UserSign.dat")" "$@"
}

# Times a command into the figure `name` of the size, in milliseconds.
timed() {
    local size=$1 name=$2 t status=0
    shift 2
    t=$(now)
    "$@" || status=$?
    if [ $status -eq 0 ]; then
        record "$size" "$name" "$(ms_since "$t")"
        say "$size entries: $name $(ms_since "$t")"
    else
        say "$size entries: $name failed ($status)"
    fi
    return $status
}

# The same rows in the same order as list and export write them: each table
# in the order of its Time.
shell_csv() {
    sqlite3 -csv "$1" "SELECT Md5, Path, Time FROM UserTrusted ORDER BY Time;
        SELECT Md5, Path, Time FROM UserBlack ORDER BY Time;" > "$2"
}

exchange_figures() {
    local size=$1 folder=$2
    timed "$size" import_ms ctl "$folder" import "$(uw_windows_path "$folder/feed.txt")" --list black \
        > "$folder/import.out" || return 1
    tail -n 1 "$folder/import.out" | grep -q "^$size imported" || { tail -n 3 "$folder/import.out"; return 1; }
    timed "$size" export_csv_ms ctl "$folder" export csv -o "$(uw_windows_path "$folder/out.csv")" > /dev/null
    timed "$size" list_ms ctl "$folder" list > "$folder/list.out"
    [ "$(grep -c '^FileMd5,' "$folder/out.csv")" = "$size" ] || say "$size entries: the CSV does not hold every entry"
    [ "$(wc -l < "$folder/list.out")" = "$size" ] || say "$size entries: the list does not hold every entry"

    sqlite3 "$folder/UserSign.dat" .schema | grep -v sqlite_sequence | sqlite3 "$folder/shell.db"
    timed "$size" shell_insert_ms sqlite3 "$folder/shell.db" < "$folder/shell.sql"
    [ "$(sqlite3 "$folder/shell.db" 'SELECT count(*) FROM UserBlack')" = "$size" ]
    timed "$size" shell_csv_ms shell_csv "$folder/shell.db" "$folder/shell.csv"
}

# Start-up and working set with an empty store, then with the feed's store;
# with it also the scrolling and a removal (64-bit only: they are the same
# code in both builds).
window_figures() {
    local size=$1 folder=$2 arch=$3 program dir exe
    program=$folder/program-$arch
    rm -rf "$program"
    unzip -q "$(package_of "$arch")" -d "$program"
    dir=$(find "$program" -name userwarden.exe -printf '%h\n' | head -1)
    exe=$dir/userwarden.exe
    export VMRDETECT_LIST_FILE
    VMRDETECT_LIST_FILE=$(uw_windows_path "$program/lists-empty.txt")
    figure_prefix=$(prefix_of "$arch")
    if launch_program "$size" startup_empty_ms 0 "$exe"; then
        figure_prefix=$(prefix_of "$arch")empty_ driver_step "$size" memory "" || true
    fi
    [ -n "$program_pid" ] && close_program "$size"
    rm -f "$dir/UserSign.dat"
    cp "$folder/UserSign.dat" "$dir/UserSign.dat"
    cp "$folder/lists.txt" "$program/lists.txt"
    # On disk before the window starts: else the first commit's flush of the
    # store (a removal's) writes out the whole copy (47 ms of 75 at a million).
    sync "$dir/UserSign.dat" "$program/lists.txt"
    VMRDETECT_LIST_FILE=$(uw_windows_path "$program/lists.txt")
    figure_prefix=$(prefix_of "$arch")
    if launch_program "$size" startup_full_ms "$size" "$exe"; then
        driver_step "$size" memory "" || true
        if [ "$arch" = x86_64 ]; then
            driver_step "$size" scroll "" 50 "$limit" || true
            # The first blocked entry: below the whitelist's and the blacklist's group rows.
            driver_step "$size" remove "" "$(uw_windows_path "$dir/UserSign.dat")" "$limit" UserBlack 2 || true
        fi
    fi
    [ -n "$program_pid" ] && close_program "$size"
    figure_prefix=
    rm -rf "$program"
}

for size in "${sizes[@]}"; do
    say "making a feed of $size MD5s"
    mkdir -p "$work/$size"
    make_feed "$size" "$work/$size"
done
bench_private_prefix
unzip -q "$(package_of x86_64)" -d "$work/ctl"
userlistctl=$(find "$work/ctl" -name userlistctl.exe | head -1)

for size in "${sizes[@]}"; do
    folder=$work/$size
    exchange_figures "$size" "$folder" || { say "$size entries: the import failed"; continue; }
    for arch in "${archs[@]}"; do
        window_figures "$size" "$folder" "$arch"
    done
    rm -f "$folder/shell.sql" "$folder/out.csv" "$folder/list.out" "$folder/shell.csv" "$folder/import.out"
done

echo "feed_bench: a feed of unique random MD5s, userlistctl of userwarden-win64.zip under Wine (its start included);"
echo "  the sqlite3 shell natively; the window driven from another process; each step limited to $limit s"
echo "  start-up: from process start until the window shows, and until list 403 holds every entry"
echo "  working set: with the entries on the operated tab, above the same window with an empty store"
echo "  scrolling: page down sent to list 403 and the paint it calls for, 50 times; the longest"
echo "  removal: the first blocked entry's restore link clicked, OK in the box; until gone from list and store"
/usr/bin/python3 "$here/feed_report.py" "$figures"
