#!/usr/bin/env bash
# Registration-free use of nodmark.dll for one architecture, under Wine. With nothing
# of the component registered, the clients of examples/regfree (each carrying a
# manifest that names the assembly nodmark.sxs), run from a folder holding only
# themselves, nodmark.dll and nodmark.sxs.manifest, must print what the registered DLL
# prints: early bound by CLSID, late bound by both ProgIDs with the property names in
# both letter cases. Afterwards the registry holds no key of the component. The same
# clients without their manifest, an assembly of another version or architecture, and
# a folder without the DLL must each fail with a message, never crash. Whatever the
# prefix held of the component's registration is put back at the end.
#
# usage: regfree_clients_test.sh WINE_RUN ARCH DLL ASSEMBLY_MANIFEST REGFREE_EARLY
#            REGFREE_LATE EARLY LATE [OTHER_ARCH_DLL OTHER_ARCH_MANIFEST]
#   ARCH is x86 or x64; EARLY and LATE are the clients without a manifest; the last
#   two are the other architecture's DLL and assembly manifest.
set -euo pipefail
wine_run=$1 arch=$2 dll=$3 manifest=$4 regfree_early=$5 regfree_late=$6 early=$7 late=$8
other_dll=${9:-} other_manifest=${10:-}

case $arch in
  x86) manifest_arch=x86 pe_machine=4c01 ;;
  x64) manifest_arch=amd64 pe_machine=6486 ;;
  *) echo "unknown architecture $arch" >&2; exit 2 ;;
esac
assembly=nodmark.sxs
# The ProgIDs and the five key trees, in the registry view of each architecture.
source "$(dirname "${BASH_SOURCE[0]}")/../component_trees.sh"
views=(32 64)

failures=0
fail() { echo "FAIL [$arch]: $*" >&2; failures=$((failures + 1)); }
work=$(mktemp -d)
# Wine's Z: drive is the Unix root.
windows_path() { local path; path=$(realpath "$1"); echo "Z:${path//\//\\}"; }

# Runs a Windows program; its output without carriage returns lands in $work/out and
# $work/err, its exit status in $status.
run() {
  status=0
  "$wine_run" "$@" >"$work/out" 2>"$work/err" </dev/null || status=$?
  sed -i 's/\r$//' "$work/out" "$work/err"
}

# Runs the given lines as one batch file, in one Windows process (Wine's cmd does not
# take "&&" after a redirection on one command line): the 64-bit cmd, whose reg reaches
# both registry views and which starts quickly on every host.
batch() {
  printf '%s\r\n' '@echo off' "$@" >"$work/batch.bat"
  run --64 cmd /c "$(windows_path "$work/batch.bat")"
}

# Prints "VIEW TREE" for every tree of the component present in the registry.
present_trees() {
  local lines=() view tree
  for view in "${views[@]}"; do
    for tree in "${trees[@]}"; do
      lines+=("reg query \"$tree\" /reg:$view >nul 2>&1" "if not errorlevel 1 echo $view $tree")
    done
  done
  batch "${lines[@]}"
  cat "$work/out"
}

# Saves and removes what the prefix holds of the registration; restore_registration
# puts it back.
# Keys such as the ProgIDs show in both views, so every tree is saved before any is
# deleted.
saved=()
save_registration() {
  local exports=() deletes=() view tree
  while read -r view tree; do
    [ -n "$view" ] || continue
    exports+=("reg export \"$tree\" \"$(windows_path "$work")\\saved${#saved[@]}.reg\" /y /reg:$view >nul")
    deletes+=("reg delete \"$tree\" /f /reg:$view >nul 2>&1")
    saved+=("$view ${#saved[@]}")
  done <<<"$(present_trees)"
  [ "${#saved[@]}" -eq 0 ] || batch "${exports[@]}" "${deletes[@]}"
}
restore_registration() {
  local lines=() view tree entry
  for view in "${views[@]}"; do
    for tree in "${trees[@]}"; do lines+=("reg delete \"$tree\" /f /reg:$view >nul 2>&1"); done
  done
  for entry in "${saved[@]}"; do
    lines+=("reg import \"$(windows_path "$work")\\saved${entry#* }.reg\" /reg:${entry% *} >nul 2>&1"
            "if errorlevel 1 echo could not restore a key of the registration")
  done
  batch "${lines[@]}"
  cat "$work/out" >&2
  rm -rf "$work"
}

# A folder holding only the given files.
folder() {
  local dir=$work/$1
  shift
  mkdir -p "$dir"
  cp "$@" "$dir/"
  echo "$dir"
}

# Expects the last run to have failed with the client's own message (exit status 1,
# not a crash) naming `call` and `code`, and, for a class or ProgID not found, how to
# make it available.
expect_clean_failure() {
  local what=$1 call=$2 code=$3
  if [ "$status" -ne 1 ]; then
    fail "$what: exit status $status instead of the client's 1"
  elif ! grep -q "$call.* failed with $code" "$work/err"; then
    fail "$what: no message naming $call and $code"
  elif [[ $code =~ ^(0x80040154|0x800401F3)$ ]] && ! grep -q "nor found without registration" "$work/err"; then
    fail "$what: no hint at registration or the assembly"
  fi
  grep -v '^[0-9a-f]*:\(fixme\|err\|warn\):' "$work/err" | sed "s/^/  $what: /" >&2 || true
}

# The build's files agree with the architecture: the DLL's machine, the assembly's
# processorArchitecture and the reference each client's embedded manifest makes.
version=$(sed -n "s/.*name=\"$assembly\" version=\"\([0-9.]*\)\".*/\1/p" "$manifest")
machine=$(od -An -tx1 -j "$(od -An -tu4 -j 60 -N 4 "$dll" | tr -d ' ')" -N 6 "$dll" | tr -d ' \n')
[ "$machine" = "50450000$pe_machine" ] || fail "$dll is not a $arch DLL (PE header $machine)"
reference="name=\"$assembly\" version=\"$version\" processorArchitecture=\"$manifest_arch\""
grep -q "$reference" "$manifest" || fail "$manifest does not describe the $arch assembly"
for client in "$regfree_early" "$regfree_late"; do
  grep -aq "$reference" "$client" || fail "$client does not name $assembly $version $manifest_arch"
done

trap restore_registration EXIT
save_registration

# Without registration, by CLSID and both ProgIDs, the names in both letter cases.
regfree=$(folder regfree "$regfree_early" "$regfree_late" "$dll" "$manifest")
run "$regfree/$(basename "$regfree_early")"
[ "$status" -eq 0 ] || fail "registration-free early-bound client exited with $status: $(cat "$work/err")"
regfree_output=$(cat "$work/out")
run "$regfree/$(basename "$regfree_late")" "${prog_ids[0]}"
late_output[0]=$(cat "$work/out")
run "$regfree/$(basename "$regfree_late")" "${prog_ids[1]}" NODMARK_OLD Nodmark_New NODMARK_COMPLICATE
late_output[1]=$(sed 's/^[^ ]*/\L&/' "$work/out")
# The per-application identifiers through IGerneralNodmark2, early and late bound.
application=com.example.invoicing
run "$regfree/$(basename "$regfree_early")" "$application"
regfree_for=$(cat "$work/out")
run "$regfree/$(basename "$regfree_late")" "${prog_ids[0]}" "nodmark_old_for($application)" \
  "NODMARK_NEW_FOR($application)" "nodmark_complicate_for($application)"
late_for=$(sed 's/^[^ ]*/\L&/' "$work/out")
left=$(present_trees)
[ -z "$left" ] || fail "the registry holds keys of the component after registration-free use: $left"

# The same clients without their manifest find no class.
plain=$(folder plain "$early" "$late" "$dll" "$manifest")
run "$plain/$(basename "$early")"
expect_clean_failure "no manifest, early bound" CoCreateInstance 0x80040154
for prog_id in "${prog_ids[@]}"; do
  run "$plain/$(basename "$late")" "$prog_id"
  expect_clean_failure "no manifest, $prog_id" CLSIDFromProgID 0x800401F3
done

# An assembly of another version than the client names: Windows refuses to start the
# client with its side-by-side error (read it with sxstrace). Wine 8 starts it without
# the activation context and reports the assembly it could not find on its fixme
# channel, so the class is then not registered.
version_mismatch=$(folder version "$regfree_early" "$dll")
sed "s/name=\"$assembly\" version=\"$version\"/name=\"$assembly\" version=\"9.9.9.9\"/" "$manifest" \
  >"$version_mismatch/$assembly.manifest"
WINEDEBUG=-all,fixme+actctx run "$version_mismatch/$(basename "$regfree_early")"
expect_clean_failure "assembly version 9.9.9.9" CoCreateInstance 0x80040154
grep -q "Could not find dependent assembly L\"$assembly\"" "$work/err" ||
  fail "assembly version 9.9.9.9: the loader did not report the missing assembly"

# The other architecture's DLL and assembly: Windows refuses to start the client with
# its side-by-side error. Wine 8 does not compare processorArchitecture and fails to
# load the DLL into the process instead.
if [ -n "$other_dll" ]; then
  other=$(folder other_arch "$regfree_early" "$other_dll" "$other_manifest")
  run "$other/$(basename "$regfree_early")"
  expect_clean_failure "the other architecture's assembly" CoCreateInstance 0x8007
fi

# The DLL missing from the folder: the loader's error, passed on by CoCreateInstance.
no_dll=$(folder no_dll "$regfree_early" "$manifest")
run "$no_dll/$(basename "$regfree_early")"
expect_clean_failure "nodmark.dll missing" CoCreateInstance 0x8007

# What the registered DLL prints, with the client that has no manifest.
# The regsvr32 of the DLL's architecture: the 64-bit one starts through the 64-bit loader.
system_flag=()
[ "$arch" = x64 ] && system_flag=(--64)
run "${system_flag[@]}" regsvr32 /s "$(windows_path "$dll")"
[ "$status" -eq 0 ] || fail "regsvr32 exited with $status"
run "$plain/$(basename "$early")"
registered_output=$(cat "$work/out")
run "$plain/$(basename "$early")" "$application"
registered_for=$(cat "$work/out")
run "${system_flag[@]}" regsvr32 /u /s "$(windows_path "$dll")"
echo "$registered_output"
if [ "$(grep -cE '^nodmark_(old|new|complicate) [0-9A-Z]+$' <<<"$registered_output")" -ne 3 ]; then
  fail "the registered DLL did not print three identifiers"
fi
[ "$regfree_output" = "$registered_output" ] || fail "early bound by CLSID printed: $regfree_output"
for i in 0 1; do
  [ "${late_output[$i]}" = "$registered_output" ] ||
    fail "late bound by ${prog_ids[$i]} printed: ${late_output[$i]}"
done
if [ "$(grep -cE '^nodmark_(old|new|complicate)_for [0-9A-F]{32}$' <<<"$registered_for")" -ne 3 ]; then
  fail "the registered DLL did not print three identifiers of the application: $registered_for"
fi
[ "$regfree_for" = "$registered_for" ] || fail "early bound with an application printed: $regfree_for"
[ "$late_for" = "$(tail -n 3 <<<"$registered_for")" ] ||
  fail "late bound methods printed: $late_for"

if [ "$failures" -ne 0 ]; then exit 1; fi
echo "registration-free clients ($arch) agree with the registered DLL"
