#!/usr/bin/env bash
# The ZIP a Windows user takes away: cpack builds it from the Windows build tree and
# cmake --install lays out the same files; both must hold exactly the expected files,
# with each architecture's DLL, type library and command-line tool as built.
#
# usage: check_package.sh BUILD_DIR CPACK CMAKE VERSION DLL_X86 TLB_X86 DLL_X64 TLB_X64
set -euo pipefail
build=$1 cpack=$2 cmake=$3 version=$4
declare -A built=([x86/nodmark.dll]=$5 [x86/nodmark.tlb]=$6 [x64/nodmark.dll]=$7 [x64/nodmark.tlb]=$8
                  [x86/nodmark.sxs.manifest]=$(dirname "$5")/nodmark.sxs.manifest
                  [x64/nodmark.sxs.manifest]=$(dirname "$7")/nodmark.sxs.manifest
                  [x86/nodmark.exe]=$(dirname "$5")/../tools/nodmark.exe
                  [x64/nodmark.exe]=$(dirname "$7")/../tools/nodmark.exe)

top="nodmark-$version-windows"
expected=(
  USAGE.txt
  examples/early_bound_client.cpp
  examples/jscript_client.js
  examples/late_bound_client.cpp
  examples/vbscript_client.vbs
  include/nodmark.h
  include/nodmark.idl
)
for arch in x64 x86; do
  for client in early_bound_client late_bound_client; do
    expected+=("examples/$arch/$client.exe" "examples/$arch/regfree/$client.exe"
               "examples/$arch/regfree/$client.manifest")
  done
  expected+=("$arch/nodmark.dll" "$arch/nodmark.exe" "$arch/nodmark.sxs.manifest" "$arch/nodmark.tlb")
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

"$cpack" -G ZIP -B "$work/package" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; exit 1; }
zip="$work/package/$top.zip"
[ -f "$zip" ] || { echo "no $top.zip was made" >&2; exit 1; }

listed=$(unzip -Z1 "$zip" | grep -v '/$' | sed "s|^$top/||" | sort)
if [ "$listed" != "$(printf '%s\n' "${expected[@]}" | sort)" ]; then
  echo "the ZIP holds other files than expected:" >&2
  diff <(printf '%s\n' "${expected[@]}" | sort) <(echo "$listed") >&2 || true
  status=1
fi
if unzip -Z1 "$zip" | grep -qv "^$top/"; then
  echo "files outside the top folder $top/" >&2
  status=1
fi

unzip -q "$zip" -d "$work/unzipped"
for file in "${!built[@]}"; do
  cmp "${built[$file]}" "$work/unzipped/$top/$file" || status=1
done
if ! grep -q $'\r$' "$work/unzipped/$top/USAGE.txt"; then
  echo "USAGE.txt lacks Windows line ends" >&2
  status=1
fi
for section in Register "Use from a script" "Use from C++" Unregister "Use without registration" \
               "Why an identifier changed" "The random identifier and standard users" \
               "What a report and the identifiers reveal"; do
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
