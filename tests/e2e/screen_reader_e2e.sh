#!/usr/bin/env bash
# The program as a screen reader finds it, from another process: the package
# is unpacked into a fresh folder and the program started from there;
# accessible_client walks its accessible tree, drops two PE files and a text
# file with drop_driver and hears the summary's events, reads the tip of a
# hovered row (the pointer moved with xdotool) and the PE-format bubble,
# switches tabs, clicks the select-all box and OK by their default actions
# (the store and the component's list then hold both files), and takes one
# entry off again through its restore link and the question box (the store
# and the list then hold the other alone).
#   screen_reader_e2e.sh PACKAGE.zip ACCESSIBLE_CLIENT.exe DROP_DRIVER.exe
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/env.sh"
. "$(dirname "${BASH_SOURCE[0]}")/main_window.sh"
. "$(dirname "${BASH_SOURCE[0]}")/sample_files.sh"
package=$1
client=$2
drop_driver=$3
work=$(mktemp -d)
program=
tip=
# A failing run leaves no program behind.
cleanup() {
    [ -n "$tip" ] && kill "$tip" 2>/dev/null
    [ -n "$program" ] && kill "$program" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
unpack_into "$work" "$package"
lists="$work/lists.txt"
make_sample_files "$work"
md5_one=$(md5sum < "$work/one.exe" | cut -d' ' -f1)
md5_two=$(md5sum < "$work/two.exe" | cut -d' ' -f1)

# step_done STEP STATUS: prints what the client's step printed; a failed
# step ends the test with the client's message.
step_done() {
    cat "$work/$1.out"
    [ "$2" -eq 0 ] && return 0
    echo "screen_reader_e2e: step '$1' failed with $2"
    if ! kill -0 "$program" 2>/dev/null; then
        local code=0
        wait "$program" || code=$?
        program=
        echo "the program had ended, with exit code $code; it printed:"
        cat "$work/program.log"
    fi
    exit 1
}
# client STEP ARGS...: one step of the client, its output in $work/STEP.out.
client() {
    local status=0
    uw_wine_env uw_wine "$client" "$@" > "$work/$1.out" 2>&1 || status=$?
    step_done "$1" "$status"
}

# stored LIST-TABLE: the MD5s the store holds in that table, sorted.
stored() { sqlite3 "$program_dir/UserSign.dat" "select lower(MD5) from $1 order by 1" | tr '\n' ' '; }
# listed: the MD5s the component's list file holds as trusted, sorted.
listed() { sed -n 's/^T //p' "$lists" | tr 'A-F' 'a-f' | sort | tr '\n' ' '; }
expect_held() {
    local want=$1 store component
    store=$(stored UserTrusted)
    component=$(listed)
    [ "$store" = "$want" ] || { echo "UserSign.dat holds trusted: '$store', not '$want'"; exit 1; }
    [ "$component" = "$want" ] || { echo "the component's list holds trusted: '$component', not '$want'"; exit 1; }
    echo "store and component hold trusted: $want"
}

start_program "$work"

client start
client drop "$(uw_windows_path "$drop_driver")" 3 1 "one.exe, $md5_one" "two.exe, $md5_two" -- \
    "$(uw_windows_path "$work/one.exe")" "$(uw_windows_path "$work/two.exe")" \
    "$(uw_windows_path "$work/notes.txt")"

# The tip of a hovered row: its file's full path. The pointer moves once the
# client waits for the tip (which shows for five seconds).
client where "one.exe, $md5_one"
read -r x y < "$work/where.out"
wine_background "$work/hover-tip.out" "$client" hover-tip "$(uw_windows_path "$work/one.exe")"
tip=$!
for _ in $(seq 1 150); do
    grep -q '^waiting for the tip' "$work/hover-tip.out" && break
    kill -0 "$tip" 2>/dev/null || break
    sleep 0.2
done
# From elsewhere onto the row: the list hears the pointer move even when it
# was left there.
xdotool mousemove 0 0 mousemove "$x" "$y"
status=0
wait "$tip" || status=$?
tip=
step_done hover-tip "$status"
xdotool mousemove 0 0

client format-tip
client tabs
client select-all
client commit
sorted=$(printf '%s\n' "$md5_one" "$md5_two" | sort | tr '\n' ' ')
expect_held "$sorted"

client remove one.exe
expect_held "$md5_two "

status=0
close_main_window "$(main_window_shown)" "$program" || status=$?
program=
[ "$status" -eq 0 ] || { echo "the program ended with $status"; cat "$work/program.log"; exit 1; }
echo "screen_reader_e2e: $(basename "$package"): the tree read, worked and heard from another process"
