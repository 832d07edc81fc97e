# Shared settings of the project's scripts; sourced, not run.
# The Wine prefix is the project's own, outside the tracked files.

UW_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# The Windows architectures built and shipped, as MinGW-w64 names them.
UW_ARCHS="x86_64 i686"
export WINEPREFIX=${UW_WINEPREFIX:-$UW_ROOT/.cache/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko offer (and no download) when a prefix is made.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Wine takes its ANSI code page from the locale: the product's users run a
# Chinese system (code page 936).
UW_WINE_LOCALE=zh_CN.UTF-8

# Runs a command with the Wine locale.
uw_wine_env() { LANG=$UW_WINE_LOCALE LC_ALL=$UW_WINE_LOCALE "$@"; }

uw_say() { printf '%s\n' "$*" >&2; }

# The Windows path under which Wine's programs see a Unix path: drive Z: is
# the Unix root. (No `winepath`: it starts a Wine program, and when that
# fails its error message would stand in for the path.)
uw_windows_path() {
    local path
    path=$(realpath -m "$1")
    printf 'Z:%s\n' "${path//\//\\}"
}

# uw_step DESCRIPTION COMMAND...: runs a set-up step quietly; when it fails,
# says which step failed, with its exit code and what the command printed,
# and stops the script.
uw_step() {
    local what=$1 log rc=0
    shift
    log=$(mktemp)
    "$@" >"$log" 2>&1 || rc=$?
    if [ "$rc" -ne 0 ]; then
        uw_say "set-up step failed: $what (exit code $rc). It printed:"
        tail -n 40 "$log" >&2
        rm -f "$log"
        exit "$rc"
    fi
    rm -f "$log"
}

# Starts a private Xvfb when no display is set; uw_stop_display ends it. A
# display number taken by another X server (its lock file, or its socket in
# the abstract namespace, which a chroot shares) makes Xvfb exit: the next
# number is tried.
UW_XVFB_PID=
uw_ensure_display() {
    if [ -n "${DISPLAY:-}" ]; then
        return 0
    fi
    local n i log
    log=$(mktemp)
    for n in $(seq 90 140); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$log" 2>&1 &
        UW_XVFB_PID=$!
        for i in $(seq 1 50); do
            if [ -e "/tmp/.X11-unix/X$n" ]; then
                export DISPLAY=":$n"
                rm -f "$log"
                return 0
            fi
            kill -0 "$UW_XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill "$UW_XVFB_PID" 2>/dev/null || :
        wait "$UW_XVFB_PID" 2>/dev/null || :
        UW_XVFB_PID=
    done
    uw_say "no display: Xvfb could not start on any of :90 to :140. Its last words:"
    tail -n 5 "$log" >&2
    rm -f "$log"
    return 1
}
uw_stop_display() {
    if [ -n "$UW_XVFB_PID" ]; then
        kill "$UW_XVFB_PID" 2>/dev/null || true
        wait "$UW_XVFB_PID" 2>/dev/null || true
        UW_XVFB_PID=
    fi
}

# The build folder of an architecture: build/win64 or build/win32.
uw_build_dir() {
    case "$1" in
        x86_64) echo "$UW_ROOT/build/win64" ;;
        i686) echo "$UW_ROOT/build/win32" ;;
        *) uw_say "unknown architecture $1"; return 1 ;;
    esac
}
# The package name of an architecture: win64 or win32.
uw_flavour() { basename "$(uw_build_dir "$1")"; }

# Whether this machine's kernel runs 32-bit x86 programs, which Wine's 32-bit
# side (and so every 32-bit Windows program under Wine) needs. Some kernels
# are built or booted without it. Probed with a three-instruction program.
uw_runs_32bit_programs() {
    local dir rc=0
    dir=$(mktemp -d)
    printf '.globl _start\n_start: mov $1, %%eax\n xor %%ebx, %%ebx\n int $0x80\n' > "$dir/probe.s"
    if as --32 "$dir/probe.s" -o "$dir/probe.o" 2>/dev/null &&
        ld -m elf_i386 "$dir/probe.o" -o "$dir/probe" 2>/dev/null; then
        "$dir/probe" 2>/dev/null || rc=$?
    else
        rc=1
    fi
    rm -rf "$dir"
    return $rc
}

# The architectures whose programs run here under Wine: both where Wine's
# 32-bit side can run, else only x86_64.
uw_runnable_archs() {
    if uw_runs_32bit_programs && [ -x /usr/lib/wine/wine ]; then
        echo "x86_64 i686"
    else
        echo "x86_64"
    fi
}
