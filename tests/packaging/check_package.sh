#!/usr/bin/env bash
# The ZIP a Windows user takes away: cpack builds it from the win32 build tree and
# cmake --install lays out the same files; both must hold exactly the expected files,
# with the DLL and the type library as built.
#
# usage: check_package.sh BUILD_DIR CPACK CMAKE DLL TYPE_LIBRARY VERSION
set -euo pipefail
build=$1 cpack=$2 cmake=$3 dll=$4 type_library=$5 version=$6

top="nodmark-$version-win32"
expected=(
  USAGE.txt
  examples/early_bound_client.cpp
  examples/early_bound_client.exe
  examples/jscript_client.js
  examples/late_bound_client.cpp
  examples/late_bound_client.exe
  examples/regfree/early_bound_client.exe
  examples/regfree/early_bound_client.manifest
  examples/regfree/late_bound_client.exe
  examples/regfree/late_bound_client.manifest
  examples/vbscript_client.vbs
  include/nodmark.h
  include/nodmark.idl
  nodmark.dll
  nodmark.sxs.manifest
  nodmark.tlb
)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

"$cpack" -G ZIP -B "$work/package" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; exit 1; }
zip="$work/package/$top.zip"
[ -f "$zip" ] || { echo "no $top.zip was made" >&2; exit 1; }

listed=$(unzip -Z1 "$zip" | grep -v '/$' | sed "s|^$top/||" | sort)
if [ "$listed" != "$(printf '%s\n' "${expected[@]}")" ]; then
  echo "the ZIP holds other files than expected:" >&2
  diff <(printf '%s\n' "${expected[@]}") <(echo "$listed") >&2 || true
  status=1
fi
if unzip -Z1 "$zip" | grep -qv "^$top/"; then
  echo "files outside the top folder $top/" >&2
  status=1
fi

unzip -q "$zip" -d "$work/unzipped"
cmp "$dll" "$work/unzipped/$top/nodmark.dll" || status=1
cmp "$(dirname "$dll")/nodmark.sxs.manifest" "$work/unzipped/$top/nodmark.sxs.manifest" || status=1
cmp "$type_library" "$work/unzipped/$top/nodmark.tlb" || status=1
if ! grep -q $'\r$' "$work/unzipped/$top/USAGE.txt"; then
  echo "USAGE.txt lacks Windows line ends" >&2
  status=1
fi
for section in Register "Use from a script" "Use from C++" Unregister "Use without registration"; do
  grep -q "^$section" "$work/unzipped/$top/USAGE.txt" || { echo "USAGE.txt: no $section" >&2; status=1; }
done

"$cmake" --install "$build" --prefix "$work/installed" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log" >&2; exit 1; }
installed=$(cd "$work/installed" && find . -type f | sed 's|^\./||' | sort)
if [ "$installed" != "$listed" ]; then
  echo "cmake --install lays out other files than the ZIP:" >&2
  diff <(echo "$listed") <(echo "$installed") >&2 || true
  status=1
fi

[ "$status" -eq 0 ] && echo "$top.zip: ${#expected[@]} files as expected"
exit "$status"
