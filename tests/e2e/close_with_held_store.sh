#!/usr/bin/env bash
# The program as it ships, closed while another program holds its store
# locked (the start still waits for the store): the process ends within
# five seconds of the click on the close button, not when the other
# program lets go.
#   close_with_held_store.sh PACKAGE.zip STORE_HOLDER.exe
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/env.sh"
. "$(dirname "${BASH_SOURCE[0]}")/main_window.sh"
package=$1
holder_exe=$2
work=$(mktemp -d)
program=
holder=
cleanup() {
    [ -n "$program" ] && kill "$program" 2>/dev/null
    [ -n "$holder" ] && kill "$holder" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
unpack_into "$work" "$package"

wine_background "$work/holder.log" "$holder_exe" "$(uw_windows_path "$program_dir/UserSign.dat")" 120
holder=$!
for _ in $(seq 1 100); do grep -qs held "$work/holder.log" && break; sleep 0.1; done
grep -q held "$work/holder.log" || { echo "the store could not be held"; cat "$work/holder.log"; exit 1; }

start_program "$work"
sleep 1
start=$(date +%s%N)
status=0
close_main_window "$window" "$program" || status=$?
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
if [ "$status" -eq 124 ]; then
    echo "the program did not end after its close button was clicked (the screen: /tmp/e2e-close-failure.png)"
    exit 1
fi
program=
[ "$status" -eq 0 ] || { echo "the program ended with $status"; cat "$work/program.log"; exit 1; }
[ "$elapsed_ms" -le 5000 ] || { echo "the program ended $elapsed_ms ms after the close, not within 5000"; exit 1; }
echo "close_with_held_store: $(basename "$package"): the program ended $elapsed_ms ms after the close while the store was held"
