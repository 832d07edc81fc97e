#!/usr/bin/env bash
# The ClamAV databases that userlistctl exports, read by the real clamscan:
# the .hdb of the blacklist finds exactly the blacklisted files of a tree,
# by size and MD5 where the file is still at its stored path and by MD5 alone
# ("*") where it moved; a .fp of the whitelist beside a .hdb that lists the
# whitelisted files keeps them from being reported.
set -euo pipefail
program=$1
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/env.sh"

if ! command -v clamscan >/dev/null 2>&1; then
    echo "FAILED: clamscan is missing: install Debian's clamav package (scripts/setup does)"
    exit 1
fi

work=$(mktemp -d /tmp/uwclam.XXXXXX)
trap 'rm -rf "$work"' EXIT
tree="$work/tree"
system32="$WINEPREFIX/drive_c/windows/system32"
mkdir -p "$tree/black" "$tree/深 层" "$tree/trusted" "$tree/other" "$work/db" "$work/allow" \
    "$work/both"
cp "$system32/notepad.exe" "$tree/black/"
cp "$system32/cmd.exe" "$tree/深 层/命令 a.exe"
cp "$system32/kernel32.dll" "$tree/trusted/"
cp "$system32/user32.dll" "$tree/trusted/user 32.dll"
cp "$system32/attrib.exe" "$tree/other/"
printf 'plain text\n' > "$tree/other/readme.txt"

windows_path() { printf 'Z:%s' "${1//\//\\}"; }
ctl() {
    VMRDETECT_LIST_FILE=$(windows_path "$work/vmrdetect.lists") LANG=$UW_WINE_LOCALE \
        LC_ALL=$UW_WINE_LOCALE uw_wine "$program" --store "$work/UserSign.dat" "$@"
}
fail() { echo "FAILED: $*"; exit 1; }

ctl block "$tree/black" "$tree/深 层" > /dev/null
ctl trust "$tree/trusted" > /dev/null
# Moved away from their stored paths: their sizes can no longer be told.
mv "$tree/black/notepad.exe" "$tree/other/moved notepad.exe"
mv "$tree/trusted/user 32.dll" "$tree/other/user32-moved.dll"

ctl export hdb -o "$work/db/black.hdb" > /dev/null
ctl export hdb trusted -o "$work/allow/trusted.hdb" > /dev/null
ctl export fp -o "$work/allow/trusted.fp" > /dev/null
cp "$work/db/black.hdb" "$work/allow/trusted.hdb" "$work/allow/trusted.fp" "$work/both/"

# Both forms of line are in the databases.
cmd_size=$(stat -c %s "$tree/深 层/命令 a.exe")
grep -qx "[0-9a-f]\{32\}:$cmd_size:UserWarden.Black.__ a.exe" "$work/db/black.hdb" ||
    fail "no sized line for the file still in place: $(cat "$work/db/black.hdb")"
grep -qx '[0-9a-f]\{32\}:\*:UserWarden.Black.notepad.exe:73' "$work/db/black.hdb" ||
    fail "no any-size line for the moved file: $(cat "$work/db/black.hdb")"
grep -qx '[0-9a-f]\{32\}:\*:UserWarden.Trusted.user 32.dll:73' "$work/allow/trusted.fp" ||
    fail "no any-size line in the .fp: $(cat "$work/allow/trusted.fp")"

# The files clamscan reports with a database (a file or a folder), sorted.
reported() {
    local out status=0
    out=$(clamscan --no-summary --infected -r -d "$1" "$tree" 2>&1) || status=$?
    [ "$status" -le 1 ] || fail "clamscan -d $1 failed ($status): $out"
    printf '%s\n' "$out" | sed -n 's/: UserWarden\.[^:]* FOUND$//p' | sort
}
expect() {
    local what=$1 got=$2 want
    want=$(printf '%s\n' "${@:3}" | sort)
    [ "$got" = "$want" ] || { echo "FAILED: $what"; diff <(echo "$want") <(echo "$got") || true; exit 1; }
}

expect "clamscan -d black.hdb reports exactly the blacklisted files" \
    "$(reported "$work/db/black.hdb")" "$tree/深 层/命令 a.exe" "$tree/other/moved notepad.exe"
expect "clamscan -d trusted.hdb reports the whitelisted files" \
    "$(reported "$work/allow/trusted.hdb")" "$tree/trusted/kernel32.dll" \
    "$tree/other/user32-moved.dll"
expect "with the .fp beside it, the whitelisted files are not reported" \
    "$(reported "$work/allow")"
expect "the blacklist with the whitelist's .hdb and .fp reports the blacklisted files" \
    "$(reported "$work/both")" "$tree/深 层/命令 a.exe" "$tree/other/moved notepad.exe"
echo "clamscan reads the exported .hdb and .fp: 2 blacklisted files found, 2 whitelisted allowed"
