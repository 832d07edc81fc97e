#!/usr/bin/env bash
# The Windows Installer package read back with msitools: the architecture in
# its summary, the version, a fixed UpgradeCode (the same in a package of
# the next version, with another ProductCode: a major upgrade), the folders,
# the files and their features, the shortcut, the Programs and Features
# icon, and the searches and conditions that keep the stand-ins off and off
# a file they did not install.
#   msi_tables.sh ARCH PACKAGE.msi STAGE VERSION
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../../scripts/env.sh"
arch=$1 msi=$2 stage=$3 version=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "msi_tables: $(basename "$msi"): $*"; exit 1; }
msi=$(realpath "$msi")
# Run in the work folder: msiinfo writes a table's binary streams (the
# icon) to files beside it.
table() { (cd "$work" && msiinfo export "$1" "$2") | tr -d '\r' | tail -n +4; }
# row TABLE KEY: the row of TABLE whose first column is KEY.
row() { table "$msi" "$1" | awk -F'\t' -v key="$2" '$1 == key'; }
property() { row Property "$1" | cut -f2; }

case $arch in
x86_64) template='x64;' program_files=ProgramFiles64Folder component_attributes=256 ;;
i686) template='Intel;' program_files=ProgramFilesFolder component_attributes=0 ;;
esac
msiinfo suminfo "$msi" | grep -q "^Template: $template" || fail "the summary's platform is not ${template%;}"
[ "$(property ProductVersion)" = "$version" ] || fail "ProductVersion is $(property ProductVersion), not $version"
[ "$(property ALLUSERS)" = 1 ] || fail "not a per-machine package (ALLUSERS)"
[ "$(property ARPPRODUCTICON)" = program.ico ] && [ -n "$(row Icon program.ico)" ] ||
    fail "no icon for Programs and Features"

"$UW_ROOT/scripts/msi" "$arch" "$stage" 9.9.9 "$work/next.msi"
upgrade_code=$(property UpgradeCode)
[[ $upgrade_code =~ ^\{[0-9A-F-]{36}\}$ ]] || fail "UpgradeCode '$upgrade_code' is no GUID"
next_code=$(table "$work/next.msi" Property | awk -F'\t' '$1 == "UpgradeCode" {print $2}')
next_product=$(table "$work/next.msi" Property | awk -F'\t' '$1 == "ProductCode" {print $2}')
[ "$next_code" = "$upgrade_code" ] || fail "a package of another version has another UpgradeCode"
[ "$next_product" != "$(property ProductCode)" ] || fail "a package of another version has the same ProductCode"
row Upgrade "$upgrade_code" | awk -F'\t' '$3 == "'"$version"'" && $5 == 1 {found = 1} END {exit !found}' ||
    fail "no Upgrade row that finds (and migrates the features of) earlier versions"
row InstallExecuteSequence RemoveExistingProducts | grep -q . || fail "RemoveExistingProducts is not sequenced"

row Directory INSTALLDIR | awk -F'\t' '{exit !($2 == "'"$program_files"'" && $3 == "UserWarden")}' ||
    fail "INSTALLDIR is not UserWarden under $program_files"
declare -A feature_of=([userwarden.exe]=Program [userlistctl.exe]=Program [README.txt]=Program
                       [vmrdetect.dll]=StandIns [qdump.dll]=StandIns)
[ "$(table "$msi" File | wc -l)" = 5 ] || fail "the package holds $(table "$msi" File | wc -l) files, not 5"
for file in "${!feature_of[@]}"; do
    component=$(row File "$file" | cut -f2)
    [ -n "$component" ] || fail "$file is not in the package"
    row Component "$component" | awk -F'\t' '{exit !($3 == "INSTALLDIR" && $4 == '"$component_attributes"')}' ||
        fail "$file's component is not in INSTALLDIR with attributes $component_attributes"
    table "$msi" FeatureComponents | grep -q "^${feature_of[$file]}"$'\t'"$component$" ||
        fail "$file is not in feature ${feature_of[$file]}"
done
row Shortcut StartMenuShortcut | awk -F'\t' '{exit !($2 == "ProgramMenuFolder" && $5 == "Program")}' ||
    fail "no Start menu shortcut to the program"
[ "$(row File userwarden.exe | cut -f2)" = "$(row Shortcut StartMenuShortcut | cut -f4)" ] ||
    fail "the shortcut does not belong to userwarden.exe's component"

# The stand-ins: off unless asked for, and only where no other file stands.
row Feature StandIns | awk -F'\t' '{exit !($6 > 1)}' || fail "the stand-ins' feature is on by default"
table "$msi" Condition | grep -q $'^StandIns\t1\tSTANDINS = 1' || fail "STANDINS=1 does not turn the stand-ins on"
for dll in vmrdetect qdump; do
    condition=$(row Component "$(row File "$dll.dll" | cut -f2)" | cut -f5)
    [[ $condition == *"NOT GIVEN${dll^^} OR GIVEN${dll^^} ~= OWN${dll^^}"* ]] ||
        fail "$dll.dll's component has no condition on a file found in INSTALLDIR: '$condition'"
    row AppSearch "GIVEN${dll^^}" | grep -q . || fail "nothing searches INSTALLDIR for $dll.dll"
done
echo "msi_tables: $(basename "$msi"): $template $version, UpgradeCode $upgrade_code, 5 files, shortcut, stand-ins off"
