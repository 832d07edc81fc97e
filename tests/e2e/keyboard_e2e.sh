#!/usr/bin/env bash
# The whole job with the keyboard only, on the program as it ships: Tab to
# "添 加" and Enter open the file dialog, two files are picked by typing,
# Shift+Tab reaches the list, Space unchecks the first row, Enter commits;
# Ctrl+PageDown twice reaches the operated tab, Tab its list, Delete asks to
# remove the entry and Enter confirms; Alt+F4 closes the window. The store
# and the component's list are checked at the end.
#   keyboard_e2e.sh PACKAGE.zip
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/env.sh"
. "$(dirname "${BASH_SOURCE[0]}")/main_window.sh"
. "$(dirname "${BASH_SOURCE[0]}")/sample_files.sh"
package=$1
work=$(mktemp -d)
program=
cleanup() {
    [ -n "$program" ] && kill "$program" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    import -window root /tmp/keyboard-e2e-failure.png 2>/dev/null || :
    echo "keyboard_e2e: $* (the screen: /tmp/keyboard-e2e-failure.png)"
    exit 1
}
# until COMMAND...: true once the command succeeds, polled for up to 30 s.
until_true() {
    for _ in $(seq 1 150); do
        "$@" && return 0
        sleep 0.2
    done
    return 1
}
# The colour of a pixel of the window, as RRGGBB.
pixel() {
    import -window root -crop "1x1+$((X + $1))+$((Y + $2))" -depth 8 txt:- 2>/dev/null |
        sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tr 'a-f' 'A-F'
}
# The first row's box is blue while it is checked.
first_row_checked() { [ "$(pixel 9 98)" = "1F6FD8" ]; }
first_row_unchecked() { [ -n "$(pixel 9 98)" ] && ! first_row_checked; }
stored() { sqlite3 "$program_dir/UserSign.dat" "select count(*) from UserTrusted" 2>/dev/null; }
stored_is() { [ "$(stored)" = "$1" ]; }
shown() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
window_named() { [ -n "$(shown "$1")" ]; }
keys() { xdotool windowfocus --sync "$1" && shift && xdotool key --delay 150 "$@"; }

unpack_into "$work" "$package"
make_sample_files "$work"
two=$(md5sum "$work/two.exe" | cut -d' ' -f1)

start_program "$work"
eval "$(xdotool getwindowgeometry --shell "$window")"

# The list has the focus at the start; Tab reaches "添 加".
keys "$window" Tab Return
until_true window_named '^打开$' || fail "Tab and Enter did not open the file dialog"
dialog=$(shown '^打开$')
xdotool windowfocus --sync "$dialog"
xdotool type --delay 20 "$(uw_windows_path "$work")\\"
xdotool key Return
xdotool type --delay 20 '"one.exe" "two.exe"'
xdotool key Return
until_true first_row_checked || fail "the picked files were not listed checked"

# Shift+Tab twice: the select-all box, then the list; Space unchecks the
# first row (one.exe), Enter commits the rest.
keys "$window" shift+Tab shift+Tab Home space
until_true first_row_unchecked || fail "Space did not uncheck the first row"
keys "$window" Return
until_true stored_is 1 || fail "Enter in the list did not commit (stored: $(stored))"
sqlite3 "$program_dir/UserSign.dat" "select * from UserTrusted" | grep -q "$two" ||
    fail "the committed entry is not two.exe"
grep -q "$two" "$work/lists.txt" || fail "the component's whitelist does not hold two.exe"
# Its details: the file's SHA-256, read at the drop, and the window as its origin.
details=$(sqlite3 "$program_dir/UserSign.dat" "select Sha256, Origin from UserEntryDetail where Md5 = '$two'")
[ "$details" = "$(sha256sum < "$work/two.exe" | cut -d' ' -f1)|window" ] ||
    fail "the entry's details are '$details', not its SHA-256 and the window"

# The operated tab; its list; the entry (after its group's row); Delete.
keys "$window" ctrl+Next ctrl+Next Tab Tab Home Down Delete
until_true window_named '^消息对话框$' || fail "Delete did not ask to remove the entry"
keys "$(shown '^消息对话框$')" Return
until_true stored_is 0 || fail "the confirmed removal did not take the entry off (stored: $(stored))"

keys "$window" alt+F4
status=0
for _ in $(seq 1 75); do kill -0 "$program" 2>/dev/null || break; sleep 0.2; done
kill -0 "$program" 2>/dev/null && fail "Alt+F4 did not close the window"
wait "$program" || status=$?
program=
[ "$status" -eq 0 ] || { cat "$work/program.log"; fail "the program ended with $status"; }

stored_is 0 || fail "the store still holds a trusted entry"
if grep -q "$two" "$work/lists.txt"; then fail "the component's list still holds two.exe"; fi
echo "keyboard_e2e: two files added through the file dialog, one unchecked, one committed and removed again, the window closed, all by keyboard"
