#!/usr/bin/env bash
# Checks a shipped nodmark.dll from outside: a PE32 DLL for x86 or a PE32+ DLL for
# x86-64 that imports only system DLLs, exports exactly the four in-process server
# functions, carries no symbol table, stays within its size budget and carries no
# iostream or locale machinery.
# Usage: check_dll_layout.sh DLL OBJDUMP x86|x64
set -euo pipefail
dll=$1 objdump=$2 arch=$3
headers=$("$objdump" -p "$dll")
status=0
fail() { echo "FAIL: $*" >&2; status=1; }

if [ "$arch" = x64 ]; then
  format=pei-x86-64 magic="020b[[:space:]]+\(PE32\+\)"
else
  format=pei-i386 magic="010b[[:space:]]+\(PE32\)"
fi
grep -q "file format $format" <<<"$headers" || fail "not an image of format $format"
grep -Eq "^Magic[[:space:]]+$magic" <<<"$headers" || fail "not the PE flavour of $arch"
grep -Pq "^\tDLL$" <<<"$headers" || fail "not marked as a DLL"

# Debian 13's objdump (binutils 2.44) puts a column heading above the rows; 2.40 does not.
exports=$(awk '/\[Ordinal\/Name Pointer\] Table/ {on=1; next} on && /^[[:space:]]*\[/ {print $NF; listed=1; next} listed {exit}' <<<"$headers" | sort | tr '\n' ' ')
expected="DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer "
[ "$exports" = "$expected" ] || fail "exports are '$exports', expected '$expected'"

# DLLs every Windows installation carries in its system directory.
system_dlls="advapi32 gdi32 iphlpapi kernel32 msvcrt ntdll ole32 oleaut32 shell32 shlwapi user32 version"
while read -r name; do
  base=$(tr 'A-Z' 'a-z' <<<"${name%.*}")
  grep -qw "$base" <<<"$system_dlls" || fail "imports $name, which is not a system DLL"
done < <(awk '/DLL Name:/ {print $3}' <<<"$headers")

"$objdump" -t "$dll" | grep -q "no symbols" || fail "the DLL has a symbol table"
! "$objdump" -h "$dll" | grep -q "\.debug" || fail "the DLL has debug sections"

max_bytes=$((256 * 1024))
size=$(stat -c %s "$dll")
[ "$size" -le "$max_bytes" ] || fail "the DLL is $size bytes, over the budget of $max_bytes"
# The type names of the stream and locale classes stay in a stripped image (the
# runtime type information of std::ios_base and std::locale::facet).
! grep -aqE "St8ios_base|NSt6locale5facetE" "$dll" || fail "the DLL carries iostreams or locales"

[ $status -eq 0 ] && echo "1 passed, 0 failed"
exit $status
