#!/usr/bin/env bash
# Scan benchmarks, all in one run with the page cache warm for every program:
#  - 20,000 small PE files: `userlistctl scan` against the floor under it
#    (scan_floor_bench: the same walk, every file opened, read and closed on
#    every core, nothing hashed) and against `md5deep -r` (hashdeep package);
#  - 1 GiB of large PE files: `userlistctl scan` against `md5sum`.
# Each time is the best of ROUNDS runs (wall clock of the whole process).
#
# usage: bench/scan_bench.sh [WORK_FOLDER]
#   UW_BENCH_BIN  folder of userlistctl.exe and scan_floor_bench.exe
#                 (default: the x86_64 build's bin folder)
#   ROUNDS        runs per measurement (default 3)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../scripts/env.sh"
bin=${UW_BENCH_BIN:-$(uw_build_dir x86_64)/bin}
rounds=${ROUNDS:-3}
for tool in md5deep md5sum bc; do
    command -v "$tool" >/dev/null || { uw_say "scan_bench: $tool is missing (scripts/setup installs it)"; exit 1; }
done
for program in userlistctl.exe scan_floor_bench.exe; do
    [ -f "$bin/$program" ] || { uw_say "scan_bench: no $bin/$program (build it first)"; exit 1; }
done
work=${1:-$(mktemp -d /tmp/uwscanbench.XXXXXX)}
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT

wine_run() { uw_wine_env uw_wine "$@"; }
now() { date +%s.%N; }
# best_of COMMAND...: the shortest wall-clock time of `rounds` runs, in seconds.
best_of() {
    local best= t s i
    for i in $(seq 1 "$rounds"); do
        t=$(now)
        "$@" >/dev/null
        s=$(echo "$(now) - $t" | bc)
        if [ -z "$best" ] || [ "$(echo "$s < $best" | bc)" = 1 ]; then best=$s; fi
    done
    echo "$best"
}
ratio() { printf '%.2f' "$(echo "$1 / $2" | bc -l)"; }
warm() { find "$1" -type f -print0 | xargs -0 cat >/dev/null; }

scan() { wine_run "$bin/userlistctl.exe" --store "$work/scan.dat" scan "$1" > "$work/scan.out"; }
floor() { wine_run "$bin/scan_floor_bench.exe" "$(uw_windows_path "$1")" > "$work/floor.out"; }
md5deep_tree() { md5deep -r "$1"; }
md5sum_tree() { (cd "$1" && find . -type f -print0 | xargs -0 md5sum); }

# Large PE files: the header make_tree.py writes, then random bytes.
make_large_tree() {
    local folder=$1 count=$2 mib=$3
    /usr/bin/python3 - "$folder" "$count" "$mib" "$here" <<'EOF'
import os, sys
folder, count, mib, here = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
sys.path.insert(0, here)
import make_tree
header = make_tree.pe_header()
for i in range(count):
    sub = os.path.join(folder, "d%02d" % (i // 16))
    os.makedirs(sub, exist_ok=True)
    with open(os.path.join(sub, "big%03d.exe" % i), "wb") as out:
        out.write(header)
        out.write(os.urandom((mib << 20) - len(header)))
EOF
}

uw_wine_env wineserver -p120 2>/dev/null || true # keeps one server for every run
wine_run cmd /c exit >/dev/null 2>&1 || true
mkdir -p "$work/empty"
startup=$(best_of floor "$work/empty")

/usr/bin/python3 "$here/make_tree.py" "$work/small" 20000 2048 0
warm "$work/small"
scanTime=$(best_of scan "$work/small")
summary=$(tail -n 1 "$work/scan.out")
floorTime=$(best_of floor "$work/small")
floorLine=$(cat "$work/floor.out")
md5deepTime=$(best_of md5deep_tree "$work/small")
echo "20,000 PE files of 2 KiB ($summary; $floorLine), best of $rounds:"
printf '  userlistctl scan %6.2f s   floor %6.2f s   md5deep -r %6.2f s   wine start-up %.2f s\n' \
    "$scanTime" "$floorTime" "$md5deepTime" "$startup"
echo "  scan/floor $(ratio "$scanTime" "$floorTime")   scan/md5deep $(ratio "$scanTime" "$md5deepTime")"
rm -rf "$work/small"

make_large_tree "$work/large" 64 16
warm "$work/large"
scanTime=$(best_of scan "$work/large")
summary=$(tail -n 1 "$work/scan.out")
md5sumTime=$(best_of md5sum_tree "$work/large")
echo "64 PE files of 16 MiB, 1 GiB ($summary), best of $rounds:"
printf '  userlistctl scan %6.2f s   md5sum %6.2f s   scan/md5sum %s\n' \
    "$scanTime" "$md5sumTime" "$(ratio "$scanTime" "$md5sumTime")"
