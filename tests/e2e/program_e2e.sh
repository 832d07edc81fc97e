#!/usr/bin/env bash
# The real program end to end, as it ships: the package is unpacked into a
# fresh folder and the program started from there under the test display;
# two PE files and a text file are dropped on it by another process as the
# shell drops them, OK is clicked, the window is closed with its close
# button; the store beside the program then holds the two files.
#   program_e2e.sh PACKAGE.zip DROP_DRIVER.exe
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/env.sh"
. "$(dirname "${BASH_SOURCE[0]}")/main_window.sh"
. "$(dirname "${BASH_SOURCE[0]}")/sample_files.sh"
package=$1
drop_driver=$2
work=$(mktemp -d)
program=
# A failing run leaves no program behind.
cleanup() {
    [ -n "$program" ] && kill "$program" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
unpack_into "$work" "$package"
make_sample_files "$work"
start_program "$work"

paths=()
for name in one.exe two.exe notes.txt; do
    paths+=("$(uw_windows_path "$work/$name")")
done
uw_wine_env uw_wine "$drop_driver" vmruserwarden "${paths[@]}" || {
    echo "drop_driver failed with code $?"; exit 1; }
sleep 2
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove $((X + 580)) $((Y + 453)) click 1   # "确 定" of the whitelist tab
sleep 2
status=0
close_main_window "$window" "$program" || status=$?
if [ "$status" -eq 124 ]; then
    echo "the program did not end after its close button was clicked (the screen: /tmp/e2e-close-failure.png)"
    exit 1
fi
program=
[ "$status" -eq 0 ] || { echo "the program ended with $status"; cat "$work/program.log"; exit 1; }

stored=$(sqlite3 "$program_dir/UserSign.dat" "select count(*) from UserTrusted")
[ "$stored" = 2 ] || { echo "UserSign.dat holds $stored trusted files, not 2"; exit 1; }
echo "program_e2e: $(basename "$package"): 2 files dropped, committed and stored; exit code 0"
