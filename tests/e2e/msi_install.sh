#!/usr/bin/env bash
# The Windows Installer package as an administrator uses it, under Wine's
# msiexec in a new prefix of its own:
#   1. a silent install with the stand-ins asked for (ADDLOCAL): the files,
#      the Start menu shortcut and the Programs and Features entry; the
#      installed userwarden.exe starts from Program Files and its window
#      shows; the installed userlistctl.exe trusts a file and lists it;
#   2. a package of a higher version upgrades in place: one entry, the new
#      version, the stand-ins kept, the record still listed;
#   3. uninstall removes the binaries and leaves the records;
#   4. an install into a folder holding another vmrdetect.dll and qdump.dll,
#      the stand-ins asked for (STANDINS=1): both stay byte for byte, the
#      installed program uses the component it found there, and uninstall
#      leaves them too.
#   msi_install.sh ARCH PACKAGE.msi STAGE VERSION
# STAGE and VERSION are those the package was made from; the upgrade is
# made from them by scripts/msi with the next patch version.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../../scripts/env.sh"
. "$here/main_window.sh"
arch=$1 msi=$2 stage=$3 version=$4
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all
program=
cleanup() {
    [ -n "$program" ] && kill "$program" 2>/dev/null
    wineserver -k 2>/dev/null || :
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "msi_install: $*"; exit 1; }
wine64() { uw_wine_env "$UW_WINE64" "$@"; }
msiexec() {
    local log=$work/msiexec.log rc=0
    wine64 msiexec "$@" /qn /l*v "$(uw_windows_path "$log")" || rc=$?
    [ "$rc" -eq 0 ] || { tail -n 30 "$log"; fail "msiexec $* ended with $rc"; }
}
ctl() { (cd "$1" && uw_wine_env uw_wine ./userlistctl.exe "${@:2}"); }
md5() { md5sum "$1" | cut -d' ' -f1; }
# The Programs and Features entries in the registry view of the package's
# architecture (a 32-bit package's are in the 32-bit view).
uninstall_entries() {
    wine64 reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s "$registry_view" 2>/dev/null |
        tr -d '\r' | grep -a "$1" || true
}

wine64 wineboot -i >/dev/null 2>&1 || fail "wineboot could not make the prefix"
drive_c=$WINEPREFIX/drive_c
case $arch in
x86_64) installed="$drive_c/Program Files/UserWarden" registry_view=/reg:64 ;;
i686)
    registry_view=/reg:32
    # A 32-bit package goes to the 32-bit Program Files of a 64-bit prefix.
    installed="$drive_c/Program Files (x86)/UserWarden"
    [ -d "$drive_c/Program Files (x86)" ] || installed="$drive_c/Program Files/UserWarden" ;;
esac
sample='C:\windows\system32\notepad.exe'
next_version="${version%.*}.$((${version##*.} + 1))"
"$UW_ROOT/scripts/msi" "$arch" "$stage" "$next_version" "$work/upgrade.msi"

# 1. Install.
msiexec /i "$(uw_windows_path "$msi")" ADDLOCAL=Program,StandIns
for file in userwarden.exe userlistctl.exe README.txt vmrdetect.dll qdump.dll; do
    [ -f "$installed/$file" ] || fail "$file is not in $installed after the install"
done
find "$drive_c" -name UserWarden.lnk | grep -q . || fail "no Start menu shortcut UserWarden.lnk"
uninstall_entries DisplayVersion | grep -q "$version" || fail "Programs and Features lists no version $version"

wine_background "$work/program.log" "$installed/userwarden.exe"
program=$!
window=$(main_window_shown) ||
    { cat "$work/program.log"; fail "the installed userwarden.exe showed no window"; }
status=0
close_main_window "$window" "$program" || status=$?
[ "$status" -ne 124 ] ||
    fail "the installed userwarden.exe did not end at its close button (the screen: /tmp/e2e-close-failure.png)"
program=
[ "$status" -eq 0 ] || fail "the installed userwarden.exe ended with $status"

ctl "$installed" trust "$sample" > "$work/trust.txt" || fail "userlistctl trust: $(cat "$work/trust.txt")"
ctl "$installed" list | grep -q 'notepad.exe' || fail "userlistctl list does not show the trusted file"

# 2. Upgrade.
msiexec /i "$(uw_windows_path "$work/upgrade.msi")"
[ "$(uninstall_entries DisplayName | grep -c UserWarden)" = 1 ] ||
    fail "Programs and Features does not list UserWarden once after the upgrade"
uninstall_entries DisplayVersion | grep -q "$next_version" || fail "the upgrade's version $next_version is not listed"
for file in userwarden.exe userlistctl.exe vmrdetect.dll qdump.dll; do
    [ -f "$installed/$file" ] || fail "$file is gone after the upgrade"
done
ctl "$installed" list | grep -q 'notepad.exe' || fail "the record is not listed after the upgrade"

# 3. Uninstall.
msiexec /x "$(uw_windows_path "$work/upgrade.msi")"
for file in userwarden.exe userlistctl.exe README.txt vmrdetect.dll qdump.dll; do
    [ ! -e "$installed/$file" ] || fail "$file is still there after the uninstall"
done
[ -f "$installed/UserSign.dat" ] || fail "the uninstall removed UserSign.dat"
[ -f "$installed/vmrdetect.lists" ] || fail "the uninstall removed the component's list file"
uninstall_entries DisplayName | grep -q UserWarden && fail "Programs and Features still lists UserWarden"

# 4. The product's folder. Its component and monitor are working DLLs that
# differ from the stand-ins (bytes added after their images).
product=$drive_c/Product
mkdir -p "$product"
for dll in vmrdetect.dll qdump.dll; do
    cp "$stage/userwarden-$(uw_flavour "$arch")/$dll" "$product/$dll"
    printf 'the product'"'"'s own %s' "$dll" >> "$product/$dll"
done
component_md5=$(md5 "$product/vmrdetect.dll") monitor_md5=$(md5 "$product/qdump.dll")
msiexec /i "$(uw_windows_path "$msi")" 'INSTALLDIR=C:\Product\' STANDINS=1
[ -f "$product/userwarden.exe" ] && [ -f "$product/userlistctl.exe" ] ||
    fail "the programs were not installed into the product's folder"
[ "$(md5 "$product/vmrdetect.dll")" = "$component_md5" ] || fail "the install replaced the product's vmrdetect.dll"
[ "$(md5 "$product/qdump.dll")" = "$monitor_md5" ] || fail "the install replaced the product's qdump.dll"
ctl "$product" check | tr -d '\r' > "$work/check.txt" || :
grep -q $'^component\tC:\\\\Product\\\\vmrdetect.dll$' "$work/check.txt" &&
    grep -q $'^component state\tloaded$' "$work/check.txt" ||
    { cat "$work/check.txt"; fail "userlistctl check does not report the product's component loaded"; }
ctl "$product" block "$sample" > "$work/block.txt" || fail "userlistctl block: $(cat "$work/block.txt")"
[ -f "$product/vmrdetect.lists" ] || fail "the product's component wrote no list beside itself"
msiexec /x "$(uw_windows_path "$msi")"
[ ! -e "$product/userwarden.exe" ] || fail "userwarden.exe is still in the product's folder after the uninstall"
[ "$(md5 "$product/vmrdetect.dll")" = "$component_md5" ] || fail "the uninstall touched the product's vmrdetect.dll"
[ "$(md5 "$product/qdump.dll")" = "$monitor_md5" ] || fail "the uninstall touched the product's qdump.dll"
echo "msi_install: $(basename "$msi"): installed, started, upgraded to $next_version, removed; the product's DLLs kept"
