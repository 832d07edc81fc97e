#!/usr/bin/env bash
# The whole program as a user drives it, at several sizes: for each size a
# tree of unique small PE files is made, and the packaged program, unpacked
# into a fresh folder with a fresh store, is run under Wine on a display and
# driven from another process (window_bench_driver): start-up with an empty
# store, a drop of the tree's folder on the whitelist tab (an X drag and
# drop, which Wine hands to the window as WM_DROPFILES), OK on every row,
# the working set, then start-up with every file stored and the removal of
# one entry. References measured in the same run: `userlistctl scan` of the
# same tree and the start-up with an empty store. Prints one table.
#
# usage: bench/window_bench.sh [SIZES...]      (default: 1000 10000 100000)
# Needs the 64-bit build with its package and the driver:
#   scripts/build x86_64   (or: cmake --build DIR --target package_zip window_bench_driver)
# Environment:
#   WINDOW_BENCH_BUILD    build folder (default build/win64): its userwarden-win64.zip
#                         and bin/window_bench_driver.exe are used
#   WINDOW_BENCH_PACKAGE  another package zip
#   WINDOW_BENCH_LIMIT    time limit of each step in seconds (default 600); a step
#                         that runs over it is reported as "over N s"
#   WINDOW_BENCH_KEEP=1   keep the work folder (trees, programs, figures, logs)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../scripts/env.sh"
build=${WINDOW_BENCH_BUILD:-$(uw_build_dir x86_64)}
package=${WINDOW_BENCH_PACKAGE:-$build/userwarden-win64.zip}
driver=$build/bin/window_bench_driver.exe
limit=${WINDOW_BENCH_LIMIT:-600}
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000 10000 100000)
for needed in "$package" "$driver"; do
    [ -f "$needed" ] || { uw_say "window_bench: $needed is missing: build it first (see the usage)"; exit 2; }
done
[ -d "$WINEPREFIX" ] || { uw_say "window_bench: no Wine prefix at $WINEPREFIX: run scripts/setup first"; exit 2; }

work=$(mktemp -d /tmp/window_bench.XXXXXX)
figures=$work/figures.txt
: > "$figures"
bench_name=window_bench
bench_keep=${WINDOW_BENCH_KEEP:-0}
. "$here/window/driver_steps.sh"
trap bench_cleanup EXIT

# The drop: the driver watches the window while the dropper drags the
# tree's folder onto list 401 and releases it there.
drop_step() {
    local size=$1 tree=$2 ready=$work/ready start=$work/start status=0 x y
    rm -f "$ready" "$start"
    timeout $((limit + 120)) "${wine_cmd[@]}" "$driver" drop "$size" "$(uw_windows_path "$ready")" \
        "$(uw_windows_path "$start")" "$limit" > "$work/drop.out" 2> "$work/drop.err" &
    driver_job=$!
    for _ in $(seq 1 600); do
        [ -s "$ready" ] && break
        sleep 0.1
    done
    if [ -s "$ready" ] && [ -n "$program_window" ]; then
        read -r x y < "$ready"
        /usr/bin/python3 "$here/window/xdnd_drop.py" "$program_window" "$x" "$y" "$start" "$tree" ||
            say "$size files: the drop was not taken"
    else
        say "$size files: the driver did not get ready for the drop"
    fi
    wait "$driver_job" || status=$?
    driver_job=
    record_step "$size" "$work/drop.out" ""
    if [ -s "$work/drop.err" ]; then cat "$work/drop.err" >&2; fi
    [ $status -le 2 ] || status=2
    return $status
}

scan_reference() {
    local size=$1 tree=$2 exe=$3 t status=0
    find "$tree" -type f -print0 | xargs -0 cat > /dev/null
    t=$(now)
    timeout "$limit" "${wine_env[@]}" "$(uw_wine_for "$exe")" "$exe" --store "$(uw_windows_path "$work/scan.dat")" scan \
        "$(uw_windows_path "$tree")" > "$work/scan.out" 2>&1 || status=$?
    if [ $status -eq 124 ]; then
        record "$size" scan_ms "over:$limit"
    elif [ $status -eq 0 ] && [ "$(tail -n 1 "$work/scan.out")" = "$size files, 0 refused" ]; then
        record "$size" scan_ms "$(ms_since "$t")"
    else
        say "$size files: userlistctl scan failed ($status): $(tail -n 1 "$work/scan.out")"
    fi
    rm -f "$work/scan.dat"
}

run_size() {
    local size=$1 tree=$work/tree-$1 folder=$work/program-$1 dir exe store
    unzip -q "$package" -d "$folder"
    dir=$(find "$folder" -name userwarden.exe -printf '%h\n' | head -1)
    exe=$dir/userwarden.exe
    store=$(uw_windows_path "$dir/UserSign.dat")
    export VMRDETECT_LIST_FILE
    VMRDETECT_LIST_FILE=$(uw_windows_path "$work/lists-$size.txt")

    scan_reference "$size" "$tree" "$dir/userlistctl.exe"
    if ! launch_program "$size" startup_empty_ms 0 "$exe"; then
        if [ -n "$program_pid" ]; then end_program "$size"; fi
        return 0
    fi
    if drop_step "$size" "$tree" && driver_step "$size" commit "" "$size" "$store" "$limit"; then
        driver_step "$size" memory "" || true
        close_program "$size"
        if launch_program "$size" startup_full_ms "$size" "$exe"; then
            driver_step "$size" remove "" "$store" "$limit" || true
        fi
    fi
    if [ -n "$program_pid" ]; then close_program "$size"; fi
    return 0
}

# The trees first: the Wine server is not kept waiting meanwhile.
for size in "${sizes[@]}"; do
    say "making $size files"
    /usr/bin/python3 "$here/make_tree.py" "$work/tree-$size" "$size" 1024
done
bench_private_prefix

for size in "${sizes[@]}"; do
    run_size "$size"
    rm -rf "$work/tree-$size" "$work/program-$size"
done

echo "window_bench: $(basename "$package") under Wine, driven from another process; each step limited to $limit s"
echo "  drop: the tree's folder dragged (XDND) onto list 401; done when list 401 holds every file and the summary is drawn"
echo "  answer: WM_NULL sent to the main window every 50 ms during the drop; the longest wait"
echo "  OK: button 106 clicked; done when UserSign.dat holds every file and list 403 every file + 2 group rows"
echo "  start-up: from process start until the window shows, and until list 403 is filled (the store is read on a worker)"
echo "  removal: the first entry's restore link clicked with real input, OK in the box; done when the entry is gone from list 403 and the store"
echo "  references: userlistctl scan of the same tree (Wine start included), the start-up with an empty store"
"${wine_cmd[@]}" "$driver" report "$(uw_windows_path "$figures")" > "$work/report.txt"
cat "$work/report.txt"
