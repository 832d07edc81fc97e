#!/usr/bin/env bash
# Runs every fuzz harness of the portable core (tests/fuzz/) for a given time
# each, one after the other, starting from a copy of its corpus in the tree,
# and prints per harness the executions, the coverage reached (libFuzzer's
# "cov:" edges and "ft:" features), the corpus it ended with and its
# findings. A finding's input is kept in the work folder (its path is
# printed); add it to tests/fuzz/corpus/<harness>/ with the fix. Exit code 1
# when a harness found something.
#
# usage: bench/fuzz.sh [SECONDS] [HARNESS...]   (default: 60 s, every harness)
# Needs the native build (scripts/native makes build/native).
# Environment:
#   FUZZ_JOBS   harnesses run at once (default 1; at most the machine's cores)
#   FUZZ_KEEP=1 keep the work folder (grown corpora, logs, findings)
#   FUZZ_RUNS   stop a harness after this many executions as well (default:
#               time only), so that a long run gives each harness its count
#               and the fast ones free the core for the slow ones
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
seconds=${1:-60}
shift || :
bin=$root/build/native/bin
[ -x "$bin/portable_tests" ] || { echo "fuzz.sh: build/native is missing: run scripts/native" >&2; exit 2; }
harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
    for corpus in "$root"/tests/fuzz/corpus/*/; do harnesses+=("$(basename "$corpus")"); done
fi
work=$(mktemp -d /tmp/uw-fuzz.XXXXXX)
[ "${FUZZ_KEEP:-0}" = 1 ] || trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:disable_coredump=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

run_one() {
    local name=$1
    mkdir -p "$work/$name/corpus" "$work/$name/findings"
    cp "$root/tests/fuzz/corpus/$name"/* "$work/$name/corpus/" 2>/dev/null || :
    "$bin/fuzz_$name" -max_total_time="$seconds" -runs="${FUZZ_RUNS:--1}" -print_final_stats=1 \
        -artifact_prefix="$work/$name/findings/" "$work/$name/corpus" >"$work/$name/log" 2>&1 || :
}

jobs=${FUZZ_JOBS:-1}
for name in "${harnesses[@]}"; do
    [ -x "$bin/fuzz_$name" ] || { echo "fuzz.sh: no harness $name" >&2; exit 2; }
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
    run_one "$name" &
done
wait

status=0
printf '%-16s %14s %10s %8s %8s %8s %10s  %s\n' harness executions exec/s seconds cov ft corpus findings
for name in "${harnesses[@]}"; do
    log=$work/$name/log
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    took=$(sed -n 's/.*Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
    last=$(grep -E '^#[0-9]+' "$log" | tail -1)
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
    corp=$(sed -n 's/.* corp: \([0-9]*\/[0-9A-Za-z]*\).*/\1/p' <<<"$last")
    mapfile -t found < <(find "$work/$name/findings" -type f | sort)
    text=none
    if [ ${#found[@]} -gt 0 ]; then
        status=1
        text="${#found[@]}: $(grep -m1 -E 'SUMMARY|check failed|invariant broken' "$log" || echo see "$log")"
        FUZZ_KEEP=1
        trap - EXIT
        text="$text (inputs: ${found[*]})"
    fi
    printf '%-16s %14s %10s %8s %8s %8s %10s  %s\n' "$name" "${runs:-?}" "${rate:-?}" "${took:-$seconds}" "${cov:-?}" \
        "${ft:-?}" "${corp:-?}" "$text"
done
exit $status
