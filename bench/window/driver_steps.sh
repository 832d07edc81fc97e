# The steps of a benchmark that drives the packaged program from another
# process (window_bench_driver), shared by bench/window_bench.sh and
# bench/feed_bench.sh. Sourced; the script sets before it:
#   bench_name   the name its lines start with
#   work         its work folder; figures   the figures file ("size name value")
#   driver       window_bench_driver.exe;   limit   each step's limit in seconds
#   bench_keep   1 to keep the work folder
# and may set figure_prefix, put before the name of each figure recorded.
program_pid=
program_window=
driver_job=

bench_cleanup() {
    [ -n "$driver_job" ] && kill "$driver_job" 2>/dev/null
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    # The private prefix's server ends by itself shortly after its programs.
    if [ -d "$work/prefix" ] && ! WINEPREFIX=$work/prefix timeout 60 wineserver -w 2>/dev/null; then
        uw_say "$bench_name: the Wine server of $work/prefix is still running"
    fi
    uw_stop_display
    if [ "$bench_keep" = 1 ]; then
        uw_say "$bench_name: work folder kept: $work"
    else
        rm -rf "$work"
    fi
}

# A private copy of the Wine prefix (no other program's windows in it), a
# display and one Wine server for the whole run.
bench_private_prefix() {
    say "a private copy of the Wine prefix (no other program's windows in it)"
    cp -a "$WINEPREFIX" "$work/prefix"
    export WINEPREFIX=$work/prefix
    uw_ensure_display
    uw_wine_env wineserver -p5
    uw_wine_env uw_wine cmd /c exit > /dev/null 2>&1 || true
}
say() { uw_say "$bench_name: $*"; }
now() { date +%s.%N; }
ms_since() { echo "($(now) - $1) * 1000" | bc; }
record() { echo "$1 $2 $3" >> "$figures"; }
# Wine with the program's locale, runnable by `timeout`: wine_cmd starts the
# driver, wine_env PROGRAM another program of the package.
wine_env=(env LANG=$UW_WINE_LOCALE LC_ALL=$UW_WINE_LOCALE)
wine_cmd=("${wine_env[@]}" "$(uw_wine_for "$driver")")

# Records the figures a driver step printed ("name value" lines) under the
# size; a start-up is recorded under the name given.
record_step() {
    local size=$1 out=$2 startup=$3 name value
    while read -r name value; do
        case $name in
            startup_ms) name=$startup ;;
            window_ms) name=${startup%_ms}_window_ms ;;
        esac
        name=${figure_prefix:-}$name
        record "$size" "$name" "$value"
        say "$size files: $name $value"
    done < "$out"
}

# Runs a driver step with its output in files (a pipe could be held open by
# the program a step starts) and records its figures. Returns the step's
# status: 0 measured, 1 over the limit, 2 not taken.
driver_step() {
    local size=$1 step=$2 startup=$3 status=0
    shift 3
    timeout $((limit + 120)) "${wine_cmd[@]}" "$driver" "$step" "$@" > "$work/step.out" \
        2> "$work/step.err" || status=$?
    record_step "$size" "$work/step.out" "$startup"
    if [ -s "$work/step.err" ]; then cat "$work/step.err" >&2; fi
    [ $status -le 2 ] || status=2
    return $status
}

# Ends the program's process: asked first, then forced (a process whose
# main thread ended while others did not keeps its windows on the display).
end_program() {
    local size=$1
    say "$size files: the program did not close; ending it"
    local state
    kill "$program_pid" 2>/dev/null || true
    for _ in $(seq 1 50); do
        state=$(ps -o stat= -p "$program_pid" 2>/dev/null || true)
        # Gone, or a zombie with no thread left ("l": threads remain).
        [[ -z $state || ($state == Z* && $state != *l*) ]] && return 0
        sleep 0.1
    done
    kill -KILL "$program_pid" 2>/dev/null || true
}

close_program() {
    local size=$1
    if ! driver_step "$size" close "" "$limit" && [ -n "$program_pid" ]; then
        end_program "$size"
    fi
    program_pid=
    program_window=
}

# Starts the program through the driver; remembers its window on the
# display (the one that was not there before) and the Unix process id that
# window names, to drop on it and to end the process should it not close.
launch_program() {
    local size=$1 figure=$2 stored=$3 exe=$4 status=0 before
    before=$(xdotool search --name '^vmruserwarden$' 2>/dev/null || true)
    driver_step "$size" launch "$figure" "$(uw_windows_path "$exe")" "$stored" "$limit" || status=$?
    program_window=$(xdotool search --name '^vmruserwarden$' 2>/dev/null | grep -v -x -F "${before:-none}" |
        head -1 || true)
    program_pid=
    if [ -n "$program_window" ]; then
        program_pid=$(xdotool getwindowpid "$program_window" 2>/dev/null || true)
    fi
    [ -n "$program_pid" ] || say "$size files: the program's window is not on the display"
    return $status
}

