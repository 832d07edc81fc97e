# The program's main window as the end-to-end tests drive it from X
# (sourced; needs xdotool and the test display).

# unpack_program PACKAGE.zip FOLDER: the package unpacked into FOLDER; prints
# the folder that holds userwarden.exe, and fails when there is none.
unpack_program() {
    local dir
    unzip -q "$1" -d "$2"
    dir=$(find "$2" -name userwarden.exe -printf '%h\n' | head -1)
    [ -n "$dir" ] || { echo "no userwarden.exe in $1" >&2; return 1; }
    echo "$dir"
}

# wine_background LOG PROGRAM ARGS...: starts a Windows program under Wine,
# with the program's locale and its output in LOG, in the background. $! is
# then Wine's loader, which becomes the program (env execs it): killing $!
# ends the program. (A shell function started with & would leave $! a
# subshell, whose end leaves the program and its windows running.)
wine_background() {
    local log=$1
    shift
    env LANG="$UW_WINE_LOCALE" LC_ALL="$UW_WINE_LOCALE" "$(uw_wine_for "$1")" "$@" > "$log" 2>&1 &
}

# unpack_into WORK PACKAGE.zip: the package unpacked into WORK/unpacked, the
# component's lists kept in WORK/lists.txt; sets program_dir.
unpack_into() {
    program_dir=$(unpack_program "$2" "$1/unpacked")
    export VMRDETECT_LIST_FILE="$(uw_windows_path "$1/lists.txt")"
}

# start_program WORK: the unpacked program started, its output in
# WORK/program.log; sets program (the process: kill it to end the program)
# and window (the shown main window's X id). Fails, printing the program's
# output, when no main window showed.
start_program() {
    wine_background "$1/program.log" "$program_dir/userwarden.exe"
    program=$!
    window=$(main_window_shown) ||
        { echo "the main window did not appear"; cat "$1/program.log"; return 1; }
}

# main_window_shown: the X id of the shown main window, waiting up to 30 s;
# nothing when none showed.
main_window_shown() {
    local window
    for _ in $(seq 1 150); do
        window=$(xdotool search --onlyvisible --name '^vmruserwarden$' 2>/dev/null | head -1 || true)
        [ -n "$window" ] && { echo "$window"; return 0; }
        sleep 0.2
    done
    return 1
}

# close_main_window WINDOW PID: clicks the window's close button, again
# while process PID runs (a window just mapped may not take the first
# click) for 15 s, and gives it 15 s more to end; then returns its exit
# code. 124 when it did not end; the screen is saved to
# /tmp/e2e-close-failure.png then.
close_main_window() {
    local window=$1 pid=$2 status=0 X Y WIDTH HEIGHT SCREEN
    for _ in 1 2 3 4 5; do
        eval "$(xdotool getwindowgeometry --shell "$window")"
        xdotool mousemove $((X + 628)) $((Y + 16)) click 1
        for _ in $(seq 1 15); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
        kill -0 "$pid" 2>/dev/null || break
    done
    for _ in $(seq 1 75); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
    if kill -0 "$pid" 2>/dev/null; then
        import -window root /tmp/e2e-close-failure.png 2>/dev/null || :
        return 124
    fi
    wait "$pid" || status=$?
    return "$status"
}
