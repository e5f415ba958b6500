#!/usr/bin/env bash
# check_binary.sh SETUP.EXE — the setup program's file: PE32 for i386, GUI,
# loadable by Windows XP (OS and subsystem version 5.01), static imports from
# system DLLs only, and its resources.
set -uo pipefail
exe=$1
fail() { echo "FAIL: $*"; exit 1; }
[ -f "$exe" ] || fail "$exe missing"
head=$(i686-w64-mingw32-objdump -p "$exe") || fail "objdump cannot read $exe"

grep -q 'file format pei-i386' <<<"$head" || fail "not PE32 i386"
grep -qE '^Subsystem\s+00000002' <<<"$head" || fail "not a GUI program"
for f in MajorOSystemVersion:5 MinorOSystemVersion:1 MajorSubsystemVersion:5 MinorSubsystemVersion:1; do
  name=${f%%:*} want=${f##*:}
  got=$(awk -v n="$name" '$1==n {print $2}' <<<"$head")
  [ "$got" = "$want" ] || fail "$name is '$got', want $want"
done

allowed="kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll comdlg32.dll msvcrt.dll"
imports=$(awk '/DLL Name:/ {print tolower($3)}' <<<"$head" | sort -u)
[ -n "$imports" ] || fail "no import table found"
for dll in $imports; do
  grep -qw "$dll" <<<"$allowed" || fail "imports $dll (only system DLLs loaded from the system directory are allowed)"
done

# Resources, read back with windres.
rc=$(i686-w64-mingw32-windres -i "$exe" -O rc 2>/dev/null) || fail "windres cannot read the resources"
for id in 137 142 144; do
  grep -qE "^$id \"?PACKED_DATA" <<<"$rc" || fail "PACKED_DATA $id missing"
done
grep -qE '^128 14 ' <<<"$rc" || fail "icon group 128 missing"
grep -qF '101, L"\x5173\x4e8e Install(&A)..."' <<<"$rc" || fail "string 101 is not 关于 Install(&A)..."
grep -qE '^1 24 ' <<<"$rc" || fail "no application manifest"
grep -q 'level="requireAdministrator"' "$exe" || fail "the manifest does not request administrator rights"
grep -q 'supportedOS' "$exe" || fail "the manifest declares no supported Windows versions"
echo "Setup.exe: PE32 i386 GUI 5.01; imports: $(echo $imports)"
