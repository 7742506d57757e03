#!/usr/bin/env bash
# The installer package under Wine's msiexec, in a fresh prefix of its own:
#   - a hand registration from another folder, then an install that fails midway
#     (its DLL's place is taken by a folder) leaves the registry as it was;
#   - install over what another tool left under the class key in every view (a
#     threading model, a TreatAs key, a subkey and a value of its own): all of it is
#     gone, as after DllRegisterServer, and a value of another name under the
#     interface key stays; the install seeds the store file before any host runs, and
#     the 32-bit (and 64-bit) late-bound C++ client and script host read the
#     identifiers with that value by both ProgIDs, and the installed nodmark.exe beside
#     each DLL prints the same and names the file where it lies; the registry rows, in
#     every view, equal what the DLLs' own DllRegisterServer writes for the installed
#     files, key by key;
#   - repair brings back deleted DLLs and tools and a deleted key, and seeds a store
#     file that was deleted;
#   - a package of a later version leaves one product installed, still working, also
#     where the store file cannot be written (the hosts then answer ZZZ); the tool
#     leaves a value longer than its read buffer, with bytes above 0x7F, as it is;
#   - uninstall leaves none of the component's keys or files, and keeps the store file;
#   - the same package signed by the build's signing script with a throwaway
#     certificate installs, serves the clients, repairs and uninstalls as it did, and
#     keeps the store's value "abc" through install and repair.
#
# usage: msi_test.sh RUN PREFIX PACKAGE UPGRADE_PACKAGE JSCRIPT_CLIENT REGISTRY_TREES \
#                    X86_DLL X86_LATE_BOUND X86_TOOL [X64_DLL X64_LATE_BOUND X64_TOOL]
# With the x64 triple, PACKAGE is the x64 package and PREFIX is made 64-bit; without
# it, PACKAGE is the x86 package and PREFIX is 32-bit. REGISTRY_TREES is the build's
# registry_trees.exe of the prefix's architecture. PREFIX is deleted first. RUN is "all",
# or "x64" where the host runs no 32-bit programs (cmake/host_kind.cmake): the
# x64 package is then tested as far as its 64-bit half goes, both DLLs installed and
# only 64-bit programs run.
set -euo pipefail
run_arches=$1 prefix=$2 package=$3 upgrade=$4 jscript=$5 registry_trees=$6
shift 6
dlls=() clients=() tools=()
while (($# >= 3)); do
  dlls+=("$1") clients+=("$2") tools+=("$3")
  shift 3
done
arch_count=${#dlls[@]}

scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)
processor_seen=$(cd "$(dirname "${BASH_SOURCE[0]}")/../windows" && pwd)/processor_seen.py
((arch_count == 2)) || export NODMARK_WINEARCH=win32
export NODMARK_WINEPREFIX=$prefix
source "$scripts/wine-env.sh"
# Per architecture (0: 32-bit, 1: 64-bit): the loader of its system programs, its
# system folder, and where the package puts its DLL.
if ((arch_count == 2)); then
  loaders=("$nodmark_wine32" "$nodmark_wine64") system_dirs=(syswow64 system32)
  install_dirs=("Program Files (x86)/nodmark" "Program Files/nodmark")
  registry_loader=$nodmark_wine64 # sees both views: the 32-bit one under Wow6432Node
  views=('' 'Wow6432Node\')
else
  loaders=("$nodmark_wine32") system_dirs=(system32) install_dirs=("Program Files/nodmark")
  registry_loader=$nodmark_wine32
  views=('')
fi
# The architectures whose programs run here.
arches=("${!dlls[@]}")
[ "$run_arches" = all ] || arches=(1)
drive_c=$prefix/drive_c
# Both DLLs keep the machine's random identifier in the 32-bit system folder.
store_file=$drive_c/windows/${system_dirs[0]}/pub_store.dat

rm -rf "$prefix"
"$scripts/wine-prefix.sh" start "$prefix" >/dev/null
trap '"$scripts/wine-prefix.sh" stop "$prefix" >/dev/null' EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# A Linux path as Windows programs reach it: drive Z: is the root of the file system in
# every prefix Wine makes. (winepath answers the same, at a program start each, which
# in the 32-bit prefix runs under emulation where the kernel runs no 32-bit programs.)
windows_path() {
  local path
  path=$(realpath -m "$1")
  printf 'Z:%s\n' "${path//\//\\}"
}
# A program of architecture $1's system folder, with arguments.
system_program() {
  local arch=$1 name=$2
  shift 2
  "${loaders[$arch]}" "C:\\windows\\${system_dirs[$arch]}\\$name" "$@" 2>/dev/null | tr -d '\r'
}
# Every msiexec run logs verbosely into PREFIX.logs, kept for a look after a failure.
logs=$prefix.logs runs=0
rm -rf "$logs"
mkdir -p "$logs"
msiexec() {
  runs=$((runs + 1))
  log=$logs/$runs.log
  "${loaders[$((arch_count - 1))]}" msiexec "$@" /l*v "$(windows_path "$logs")\\$runs.log" \
    >/dev/null 2>&1
}
# The package runs the installed nodmark.exe --seed-store as the custom action
# SeedStore. Windows Installer logs its exit status ("CustomAction SeedStore returned
# actual error code 3 but will be translated to success due to continue marking");
# Wine 8 does not read the exit status of an action whose result is ignored, so its
# log shows only that the action ran, and the status is checked by running the tool.
seeding_logged() { grep -aq 'Action start .*: SeedStore\.' "$log"; }
# The store file's value when it is one the tool draws: three of 0-9 and A-Z.
drawn_value() {
  local value
  value=$(tr -d '\r' <"$store_file" | sed -n 's/^rand=//p')
  grep -xE '[0-9A-Z]{3}' <<<"$value" | grep -vxE '000|ZZZ'
}

package_path=$(windows_path "$package")
upgrade_path=$(windows_path "$upgrade")
jscript_path=$(windows_path "$jscript")

# The component's six trees, in every registry view, as "[key]" sections in name order.
component_trees=()
for view in "${views[@]}"; do
  for tree in Nodmark.GerneralNodmark Nodmark.GerneralNodmark.1 \
    'CLSID\{0A47E819-F82E-4D5D-B806-6A9EA94D68CD}' 'TypeLib\{54BAE923-A008-4AA2-82E1-47F612C9A090}' \
    'Interface\{0C2F6F40-9D45-437B-A61E-2470148259AB}' 'Interface\{FB475E00-132F-40D6-BAFF-A1DBF9F7197D}'; do
    component_trees+=("Software\\Classes\\$view$tree")
  done
done
export_component() {
  "$registry_loader" "$registry_trees" "${component_trees[@]}" 2>/dev/null | tr -d '\r' >"$1" ||
    fail "registry_trees could not read every key for $(basename "$1")"
}

# One client's three lines: the late-bound C++ client (by ProgID) or, with "script",
# the script host of the architecture.
read_identifiers() {
  local arch=$1 kind=$2 prog_id=$3
  if [ "$kind" = script ]; then
    system_program "$arch" cscript.exe //nologo "$jscript_path" "$prog_id"
  else
    "${loaders[$arch]}" "${clients[$arch]}" "$prog_id" 2>/dev/null | tr -d '\r'
  fi
}

# The installed nodmark.exe of architecture $1, with arguments.
installed_tool() {
  local arch=$1
  shift
  "${loaders[$arch]}" "C:\\${install_dirs[$arch]//\//\\}\\nodmark.exe" "$@"
}
# Its three lines; what it writes on standard error goes to the caller's.
installed_tool_identifiers() { installed_tool "$1" | tr -d '\r'; }

# Every installed product named nodmark, one DisplayVersion line each.
installed_versions() {
  "$registry_loader" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s \
    2>/dev/null | tr -d '\r' |
    awk '/^HKEY/ { name = 0 } $1 == "DisplayName" && $3 == "nodmark" { name = 1 }
         name && $1 == "DisplayVersion" { print $3; name = 0 }'
}

work=$(mktemp -d)
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

# A hand registration of every DLL from a folder of its own.
for arch in "${arches[@]}"; do
  mkdir -p "$drive_c/handreg/$arch"
  cp "${dlls[$arch]}" "$drive_c/handreg/$arch/nodmark.dll"
  system_program "$arch" regsvr32.exe /s "C:\\handreg\\$arch\\nodmark.dll" ||
    fail "regsvr32 of the hand-registered DLL ($arch)"
done
export_component "$work/hand.reg"
grep -qi 'handreg' "$work/hand.reg" || fail "the hand registration wrote no module path"

# A failed install: the last DLL's place is taken by a folder, so the file cannot be
# written. Windows Installer rolls back: no product, no files, the registry as it was.
blocked="$drive_c/${install_dirs[$((arch_count - 1))]}/nodmark.dll"
mkdir -p "$blocked"
if msiexec /i "$package_path" /qn; then fail "the install over a blocked file succeeded"; fi
export_component "$work/failed.reg"
# Windows Installer restores the keys the rollback script recorded. Wine 8's rollback
# uninstalls the components instead, which removes the component's trees: under Wine
# the registry is left without the hand registration, never half written.
if ! cmp -s "$work/hand.reg" "$work/failed.reg" && [ -s "$work/failed.reg" ]; then
  diff -u "$work/hand.reg" "$work/failed.reg" >&2 || true
  fail "the failed install left the registry half changed"
fi
[ -z "$(installed_versions)" ] || fail "the failed install left a product installed"
rmdir "$blocked"
for dir in "${install_dirs[@]}"; do
  [ ! -e "$drive_c/$dir/nodmark.dll" ] || fail "the failed install left $dir/nodmark.dll"
done

# Another tool's leftovers in every view: a threading model would hand the
# single-threaded object to any thread, and TreatAs sends creation to another class.
cat >"$work/leftovers.reg" <<'EOF'
REGEDIT4

[HKEY_CLASSES_ROOT\CLSID\{0A47E819-F82E-4D5D-B806-6A9EA94D68CD}]
"LeftoverValue"="tool"
[HKEY_CLASSES_ROOT\CLSID\{0A47E819-F82E-4D5D-B806-6A9EA94D68CD}\InprocServer32]
"ThreadingModel"="Both"
[HKEY_CLASSES_ROOT\CLSID\{0A47E819-F82E-4D5D-B806-6A9EA94D68CD}\TreatAs]
@="{00020424-0000-0000-C000-000000000046}"
[HKEY_CLASSES_ROOT\CLSID\{0A47E819-F82E-4D5D-B806-6A9EA94D68CD}\LeftoverKey]
@="tool"
[HKEY_CLASSES_ROOT\Interface\{0C2F6F40-9D45-437B-A61E-2470148259AB}]
"KeptValue"="tool"
EOF
for arch in "${arches[@]}"; do
  system_program "$arch" reg.exe import "$(windows_path "$work/leftovers.reg")" >/dev/null
done
export_component "$work/leftovers.before"
leftovers='ThreadingModel|TreatAs|Leftover'
[ "$(grep -cE "$leftovers" "$work/leftovers.before")" -eq $((4 * ${#arches[@]})) ] ||
  fail "the leftovers were not seeded in every view"

# Install over the hand registration and the leftovers, on a machine without a store
# file: the install draws the machine's value before any host has run.
[ ! -e "$store_file" ] || fail "a store file was there before the install"
msiexec /i "$package_path" /qn || fail "msiexec /i exited with $?"
seeded=$(drawn_value) || fail "the install did not seed the store file: $(cat "$store_file" 2>&1)"
cp "$store_file" "$work/seeded.store"
export_component "$work/installed.reg"
if grep -qi 'handreg' "$work/installed.reg"; then fail "a key still points at the hand registration"; fi
if grep -E "$leftovers" "$work/installed.reg" >&2; then fail "the install kept the leftovers above"; fi
[ "$(grep -c '"KeptValue"' "$work/installed.reg")" -eq "${#arches[@]}" ] ||
  fail "the install removed another value under the interface key"
# regsvr32 /u below deletes the interface key's tree, that value with it.
sed -i '/"KeptValue"/d' "$work/installed.reg"

# What every host of an architecture must read: the identifiers of the last
# architecture's installed tool with the processor that architecture's processes see
# (under an emulator another one: tests/windows/processor_seen.py).
declare -A reference
installed_tool "${arches[-1]}" --json >"$work/inputs.json" 2>/dev/null ||
  fail "the installed nodmark.exe (${arches[-1]}) --json exited with $?"
for arch in "${arches[@]}"; do
  installed_tool "$arch" --json >"$work/seen-$arch.json" 2>/dev/null
  reference[$arch]=$(python3 "$processor_seen" "$work/inputs.json" "$work/seen-$arch.json") ||
    fail "no identifiers expected for arch $arch"
done
for arch in "${arches[@]}"; do
  for kind in client script; do
    for prog_id in Nodmark.GerneralNodmark Nodmark.GerneralNodmark.1; do
      output=$(read_identifiers "$arch" "$kind" "$prog_id") || true
      if ! grep -qxE 'nodmark_old [0-9A-F]{16}' <<<"$output" ||
         ! grep -qxE 'nodmark_new [0-9A-F]{12}[0-9A-Z]{4}' <<<"$output" ||
         ! grep -qxE 'nodmark_complicate [0-9A-F]{32}' <<<"$output"; then
        fail "arch $arch $kind ($prog_id) did not read the three identifiers: $output"
        continue
      fi
      # Both DLLs keep their random identifier in one store file: every client of
      # either architecture reads the same identifiers.
      [ "$output" = "${reference[$arch]}" ] || fail "arch $arch $kind ($prog_id) read other identifiers"
    done
  done
  grep -qx "nodmark_new [0-9A-F]\{12\}${seeded}4" <<<"${reference[$arch]}" ||
    fail "the arch $arch hosts did not read the seeded value $seeded: ${reference[$arch]}"
done
# What the hosts of architecture $1 read when the store gives the random identifier $2.
reference_with() { sed -E "s/^(nodmark_new [0-9A-F]{12}).{3}4\$/\\1${2}4/" <<<"${reference[$1]}"; }
# The tool a customer runs to save a report computes what the hosts read, and both
# architectures' tools name the store file where it lies.
store_note="nodmark: random identifier store file: C:\\windows\\${system_dirs[0]}\\pub_store.dat"
for arch in "${arches[@]}"; do
  output=$(installed_tool_identifiers "$arch" 2>"$work/note") ||
    fail "the installed nodmark.exe ($arch) exited with $?"
  [ "$output" = "${reference[$arch]}" ] || fail "the installed nodmark.exe ($arch) printed: $output"
  tr -d '\r' <"$work/note" | grep -qixF "$store_note" ||
    fail "the installed nodmark.exe ($arch) named the store file otherwise: $(cat "$work/note")"
done

# What DllRegisterServer writes for the installed files, in the same order as the
# package (32-bit first: the type library's key is shared by both views, and its
# HELPDIR holds the folder of the DLL registered last).
for arch in "${arches[@]}"; do
  system_program "$arch" regsvr32.exe /u /s "C:\\${install_dirs[$arch]//\//\\}\\nodmark.dll"
done
for arch in "${arches[@]}"; do
  system_program "$arch" regsvr32.exe /s "C:\\${install_dirs[$arch]//\//\\}\\nodmark.dll" ||
    fail "regsvr32 of the installed DLL ($arch)"
done
export_component "$work/registered.reg"
# A 32-bit process writes the ProgID keys into the key both views share, as on
# Windows; Wine 8's msiexec writes a 32-bit component's ProgID rows under
# Wow6432Node instead. Those copies are left out of this comparison only (the
# uninstall below must still remove them).
shared_prog_ids='^\[HKEY_LOCAL_MACHINE\\Software\\Classes\\Wow6432Node\\Nodmark\.'
without_wow_prog_ids() { p=$shared_prog_ids awk '/^\[/ { keep = $0 !~ ENVIRON["p"] } keep' "$1"; }
diff -u <(without_wow_prog_ids "$work/registered.reg") <(without_wow_prog_ids "$work/installed.reg") >&2 ||
  fail "the package's registry rows differ from DllRegisterServer's"

# Repair of package $1 after the DLLs, the tools and a key of every view are gone.
repair() {
  for arch in "${!dlls[@]}"; do
    rm -f "$drive_c/${install_dirs[$arch]}/nodmark.dll" "$drive_c/${install_dirs[$arch]}/nodmark.exe"
  done
  for arch in "${arches[@]}"; do
    system_program "$arch" reg.exe delete \
      'HKCR\CLSID\{0A47E819-F82E-4D5D-B806-6A9EA94D68CD}\InprocServer32' /f >/dev/null || true
  done
  msiexec /i "$1" REINSTALL=ALL REINSTALLMODE=amus /qn || fail "repair exited with $?"
  for arch in "${!dlls[@]}"; do
    cmp -s "${dlls[$arch]}" "$drive_c/${install_dirs[$arch]}/nodmark.dll" ||
      fail "repair did not bring back ${install_dirs[$arch]}/nodmark.dll"
    cmp -s "${tools[$arch]}" "$drive_c/${install_dirs[$arch]}/nodmark.exe" ||
      fail "repair did not bring back ${install_dirs[$arch]}/nodmark.exe"
  done
  export_component "$work/repaired.reg"
  diff -u "$work/installed.reg" "$work/repaired.reg" >&2 || fail "repair did not restore the keys"
}
# Repair seeds a store file that was deleted.
rm "$store_file"
repair "$package_path"
drawn_value >/dev/null || fail "the repair did not seed the store file: $(cat "$store_file" 2>&1)"
cp "$work/seeded.store" "$store_file"

# A later version replaces this one, on a machine whose system folder refuses the store
# file (here a folder stands in its place): the upgrade completes, the hosts answer ZZZ
# as they do without a value, and seeding fails with status 3.
rm "$store_file"
mkdir "$store_file"
first_version=$(installed_versions)
msiexec /i "$upgrade_path" /qn || fail "the upgrade exited with $?"
seeding_logged || fail "the upgrade's log does not show the action SeedStore"
versions=$(installed_versions)
if [ "$(wc -l <<<"$versions")" -ne 1 ] || [ "$versions" = "$first_version" ]; then
  fail "after the upgrade the installed versions are: $versions (before: $first_version)"
fi
export_component "$work/upgraded.reg"
diff -u "$work/installed.reg" "$work/upgraded.reg" >&2 || fail "the upgrade changed the keys"
for arch in "${arches[@]}"; do
  [ "$(read_identifiers "$arch" client Nodmark.GerneralNodmark)" = "$(reference_with "$arch" ZZZ)" ] ||
    fail "after the upgrade the arch $arch client read something else"
done
last_arch=$((arch_count - 1))
status=0
installed_tool "$last_arch" --seed-store >/dev/null 2>&1 || status=$?
[ "$status" -eq 3 ] || fail "nodmark.exe --seed-store exited with $status, not 3, for a refused write"
# A value longer than the read buffer, with bytes above 0x7F, is a value: left as it is.
rmdir "$store_file"
{ printf '[nodmark]\r\nrand='; printf '\xe9\xff%.0s' {1..1500}; printf '\r\n'; } >"$store_file"
cp "$store_file" "$work/odd.store"
installed_tool "$last_arch" --seed-store >/dev/null 2>&1 ||
  fail "nodmark.exe --seed-store exited with $? over a long value"
cmp -s "$store_file" "$work/odd.store" || fail "nodmark.exe --seed-store changed a long value"
cp "$work/seeded.store" "$store_file"

# Uninstall of package $1: nothing of the component is left but the machine's store
# file, which no uninstall seeds.
uninstall() {
  cat "$store_file" >"$work/store.before" || fail "no store file before the uninstall"
  msiexec /x "$1" /qn || fail "msiexec /x exited with $?"
  if seeding_logged; then fail "the uninstall ran the action SeedStore"; fi
  export_component "$work/uninstalled.reg"
  if [ -s "$work/uninstalled.reg" ]; then
    fail "uninstall left keys of the component:"
    cat "$work/uninstalled.reg" >&2
  fi
  for dir in "${install_dirs[@]}"; do
    [ ! -e "$drive_c/$dir" ] || fail "uninstall left $dir"
  done
  [ -z "$(installed_versions)" ] || fail "uninstall left a product installed"
  cmp -s "$store_file" "$work/store.before" || fail "uninstall touched the store file"
  for arch in "${arches[@]}"; do
    if read_identifiers "$arch" client Nodmark.GerneralNodmark >/dev/null; then
      fail "the arch $arch client still created the class after uninstall"
    fi
  done
}
uninstall "$upgrade_path"

# The package signed by the build's own signing script, with a throwaway certificate.
here=$(dirname "${BASH_SOURCE[0]}")
source "$here/../signing/throwaway_certificate.sh"
throwaway_certificate "$work" publisher -addext extendedKeyUsage=codeSigning
signed=$work/signed.msi
cp "$package" "$signed"
NODMARK_SIGN_PASSWORD=$throwaway_password bash "$here/../../cmake/authenticode_sign.sh" \
  "$work/publisher.settings" "$signed" || fail "the package could not be signed"
signed_path=$(windows_path "$signed")
# A store file that holds any value but "000" keeps it, through install and repair.
printf '[nodmark]\r\nrand=abc\r\n' >"$store_file"
cp "$store_file" "$work/abc.store"
msiexec /i "$signed_path" /qn || fail "msiexec /i of the signed package exited with $?"
export_component "$work/signed.reg"
diff -u "$work/installed.reg" "$work/signed.reg" >&2 || fail "the signed package wrote other keys"
for arch in "${arches[@]}"; do
  [ "$(read_identifiers "$arch" client Nodmark.GerneralNodmark)" = "$(reference_with "$arch" abc)" ] ||
    fail "from the signed package the arch $arch client read something else"
done
repair "$signed_path"
cmp -s "$store_file" "$work/abc.store" || fail "install or repair replaced the value abc"
uninstall "$signed_path"

if [ "$failures" -ne 0 ]; then exit 1; fi
echo "package $(basename "$package"): install, seeding, clients, rows, repair, upgrade and uninstall as expected, signed too"
[ "${#arches[@]}" -eq "$arch_count" ] || echo "(64-bit programs only)"
