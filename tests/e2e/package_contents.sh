#!/usr/bin/env bash
# What ships: the package holds one folder with the two programs, the two
# DLLs and the text on installing them; every binary is a stripped PE file of
# the package's architecture that imports only DLLs Windows itself ships, and
# each exports exactly the names its callers look up.
#   package_contents.sh PACKAGE.zip OBJDUMP
set -euo pipefail
package=$1
objdump=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "package_contents: $(basename "$package"): $*"; exit 1; }

name=$(basename "$package" .zip)
case "$name" in
    *-win64) pe='PE32+ executable'; machine='x86-64' ;;
    *-win32) pe='PE32 executable'; machine='Intel 80386' ;;
    *) fail "not a package name" ;;
esac
unzip -q "$package" -d "$work"
dir="$work/$name"
listing=$(cd "$work" && find . -type f | LC_ALL=C sort | tr '\n' ' ')
[ "$listing" = "./$name/README.txt ./$name/qdump.dll ./$name/userlistctl.exe ./$name/userwarden.exe ./$name/vmrdetect.dll " ] ||
    fail "unexpected files: $listing"

expect_file() {
    local what
    what=$(file -b "$dir/$1")
    [[ "$what" == "$2"* ]] || fail "$1 is '$what', not '$2'"
}
# `file` says "stripped to external PDB" of a PE file without its symbols.
stripped='(stripped to external PDB), for MS Windows'
expect_file userwarden.exe "$pe (GUI) $machine $stripped"
expect_file userlistctl.exe "$pe (console) $machine $stripped"
expect_file vmrdetect.dll "$pe (DLL) (console) $machine $stripped"
expect_file qdump.dll "$pe (DLL) (console) $machine $stripped"

# DLLs that every Windows installation has; nothing of the compiler's own.
system_dlls=' advapi32.dll bcrypt.dll comctl32.dll comdlg32.dll dbghelp.dll gdi32.dll gdiplus.dll kernel32.dll msimg32.dll msvcrt.dll oleacc.dll ole32.dll oleaut32.dll shell32.dll shlwapi.dll user32.dll uxtheme.dll '
exports() {
    "$objdump" -p "$dir/$1" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
        sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\] //p' | LC_ALL=C sort | tr '\n' ' '
}
for binary in userwarden.exe userlistctl.exe vmrdetect.dll qdump.dll; do
    while read -r dll; do
        [[ "$system_dlls" == *" ${dll,,} "* ]] || fail "$binary imports $dll"
    done < <("$objdump" -p "$dir/$binary" | sed -n 's/^[[:space:]]*DLL Name: //p')
done

# A 32-bit program gets 4 GB of address space on 64-bit Windows instead of 2
# only when its PE header says it is large-address-aware (64-bit programs
# have all of it whatever the flag says).
if [ "$machine" = 'Intel 80386' ]; then
    for program in userwarden.exe userlistctl.exe; do
        "$objdump" -p "$dir/$program" | sed -n '/^Characteristics/,/^$/p' |
            grep -q 'large address aware' || fail "$program is not large-address-aware"
    done
fi

[ "$(exports userwarden.exe)" = "_sqlite3_key_interop@12 _sqlite3_rekey_interop@12 " ] ||
    fail "userwarden.exe exports: $(exports userwarden.exe)"
[ "$(exports vmrdetect.dll)" = "VxDllCanUnloadNow VxDllGetClassCount VxDllGetClassInfo VxDllGetClassObject " ] ||
    fail "vmrdetect.dll exports: $(exports vmrdetect.dll)"
[ "$(exports qdump.dll)" = "QlVOpenDumpMonitorEx2 " ] || fail "qdump.dll exports: $(exports qdump.dll)"
[ -z "$(exports userlistctl.exe)" ] || fail "userlistctl.exe exports: $(exports userlistctl.exe)"
grep -q 'userwarden-win32.zip' "$dir/README.txt" || fail "README.txt does not say which package to choose"
echo "package_contents: $name.zip: $(du -k "$package" | cut -f1) KB, PE files of $machine, system imports only"
