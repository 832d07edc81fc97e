#!/usr/bin/env bash
# userlistctl scan over a tree prints, for every accepted file, the MD5 that
# md5sum prints, and refuses the files that are not PE images.
set -euo pipefail
program=$1
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/env.sh"

tree=$(mktemp -d /tmp/uwscan.XXXXXX)
trap 'rm -rf "$tree"' EXIT
system32="$WINEPREFIX/drive_c/windows/system32"
mkdir -p "$tree/a b/深 层" "$tree/empty" "$tree/it's"
cp "$system32/kernel32.dll" "$system32/user32.dll" "$tree/"
cp "$system32/notepad.exe" "$tree/a b/深 层/记事本.exe"
cp "$system32/cmd.exe" "$tree/it's/"
printf 'plain text\n' > "$tree/readme.txt"
head -c 100000 /dev/urandom > "$tree/a b/noise.bin"

out=$(LANG=$UW_WINE_LOCALE LC_ALL=$UW_WINE_LOCALE uw_wine "$program" --store "$tree/../$(basename "$tree").dat" scan "$tree")
rm -f "$tree/../$(basename "$tree").dat"

# Accepted lines: "<md5>\tZ:\path" -> "<md5>  /path", sorted.
got=$(printf '%s\n' "$out" | grep -v -e '^refused' -e ' files, ' | \
      sed -e 's/\t[Zz]:/  /' -e 's/\\/\//g' | sort)
want=$(cd / && find "$tree" -type f \( -name '*.dll' -o -name '*.exe' \) -print0 | \
       xargs -0 md5sum | sort)
if [ "$got" != "$want" ]; then
    echo "userlistctl scan and md5sum differ"
    diff <(echo "$want") <(echo "$got") || true
    exit 1
fi
refused=$(printf '%s\n' "$out" | grep -c '^refused' || true)
summary=$(printf '%s\n' "$out" | tail -n 1)
[ "$refused" = 2 ] || { echo "expected 2 refused, got $refused"; echo "$out"; exit 1; }
[ "$summary" = "6 files, 2 refused" ] || { echo "summary: $summary"; exit 1; }
echo "userlistctl scan matches md5sum for $(echo "$want" | wc -l) accepted files"
