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

# uw_try_step DESCRIPTION COMMAND...: runs a set-up step quietly; when it
# fails, says which step failed, with its exit code and what the command
# printed, and returns the command's exit code.
uw_try_step() {
    local what=$1 log rc=0
    shift
    log=$(mktemp)
    "$@" >"$log" 2>&1 || rc=$?
    if [ "$rc" -ne 0 ]; then
        uw_say "set-up step failed: $what (exit code $rc). It printed:"
        tail -n 40 "$log" >&2
    fi
    rm -f "$log"
    return "$rc"
}

# uw_step DESCRIPTION COMMAND...: as uw_try_step, and a failure stops the
# script.
uw_step() {
    local rc=0
    uw_try_step "$@" || rc=$?
    [ "$rc" -eq 0 ] || exit "$rc"
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

# Whether this machine runs 32-bit x86 (i386) Linux programs, which Wine's
# 32-bit side (and so every 32-bit Windows program under Wine) needs: the
# kernel runs them itself when it has IA32 emulation, or through a binfmt_misc
# handler (QEMU's qemu-i386, which scripts/setup registers where neither is
# there). Probed with a hand-made i386 ELF program (no assembler needed, so
# the probe works before set-up has installed anything) that exits with 42;
# "Exec format error" or any other code means no. It is written under .cache:
# /tmp may be mounted noexec.
uw_runs_32bit_programs() {
    local dir rc=0
    mkdir -p "$UW_ROOT/.cache"
    dir=$(mktemp -d "$UW_ROOT/.cache/i386-probe.XXXXXX")
    # ELF header (52 bytes), one PT_LOAD program header (32 bytes) mapping the
    # file at 0x08048000, then: mov eax, 1 (exit); mov ebx, 42; int 0x80.
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00%b%b%b%b' \
        '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' \
        '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x28\x00\x00\x00\x00\x00' \
        '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' \
        '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' > "$dir/probe"
    printf '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >> "$dir/probe"
    chmod +x "$dir/probe"
    "$dir/probe" 2>/dev/null || rc=$?
    rm -rf "$dir"
    [ "$rc" -eq 42 ]
}

# Wine's loaders. /usr/bin/wine starts every program through the 32-bit
# loader when Wine's 32-bit side is installed (which hands a 64-bit program
# on to wine64: about 0.5 s more a start when the 32-bit side runs under
# emulation), so 64-bit programs are started with wine64 itself. Both use
# the one server /usr/bin/wineserver starts (wineserver64, which serves 32-
# and 64-bit programs alike).
UW_WINE64=/usr/lib/wine/wine64
UW_WINE32=/usr/lib/wine/wine

# uw_pe_machine FILE: x86_64 or i686 for a PE image of that machine; nothing
# for any other file, or a name that is no file (a builtin such as `cmd`).
uw_pe_machine() {
    local file=$1 offset header
    [ -f "$file" ] && [ "$(head -c 2 "$file" 2>/dev/null)" = MZ ] || return 0
    offset=$(od -An -tu4 -j60 -N4 "$file" | tr -d ' ')
    [ -n "$offset" ] || return 0
    # "PE\0\0" and the COFF header's Machine field (little-endian).
    header=$(od -An -tx1 -j"$offset" -N6 "$file" | tr -d ' \n')
    case "$header" in
        504500006486) echo x86_64 ;;
        504500004c01) echo i686 ;;
    esac
}

# uw_wine_for PROGRAM: the Wine loader to start PROGRAM with: `wine` for a
# 32-bit PE file, wine64 for anything else (64-bit programs and Wine's own
# builtins such as cmd, reg and wineboot, which are 64-bit in the prefix).
uw_wine_for() {
    if [ "$(uw_pe_machine "$1")" = i686 ] || [ ! -x "$UW_WINE64" ]; then
        echo wine
    else
        echo "$UW_WINE64"
    fi
}

# uw_wine PROGRAM ARGS...: starts PROGRAM under Wine with the loader
# uw_wine_for chooses.
uw_wine() {
    local loader
    loader=$(uw_wine_for "$1")
    "$loader" "$@"
}

# The architectures whose programs run here under Wine: both where Wine's
# 32-bit side is installed and can run, else only x86_64.
uw_runnable_archs() {
    if [ -x "$UW_WINE32" ] && uw_runs_32bit_programs; then
        echo "x86_64 i686"
    else
        echo "x86_64"
    fi
}
