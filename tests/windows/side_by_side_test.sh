#!/usr/bin/env bash
# The 32-bit and the 64-bit nodmark.dll registered side by side in one 64-bit prefix,
# each with the regsvr32 of its architecture:
# - the JScript and VBScript clients under the 32-bit and the 64-bit cscript, by both
#   ProgIDs, print the same three identifiers (nodmark_complicate as the processor each
#   process sees makes it, tests/windows/processor_seen.py); with no store file,
#   whichever architecture runs first draws the random identifier and the other reads it;
# - unregistering one, the one registered last included, leaves the other creatable by
#   both ProgIDs and readable late bound, with the type library's help directory naming
#   the other's folder; unregistering a DLL that was never registered leaves the other's
#   registration alone;
# - unregistering both leaves none of the component's trees in either registry view.
# Starts and ends with nothing of the component registered; the store file is put back.
#
# usage: side_by_side_test.sh WINE_RUN DLL_X86 DLL_X64 EXAMPLES_DIR TOOL_X86 TOOL_X64
# (the tools of both architectures tell which processor each architecture's process sees)
set -euo pipefail
wine_run=$1 dll_x86=$2 dll_x64=$3 examples=$4
declare -A tool=([x86]=$5 [x64]=$6)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d)

source "$(dirname "${BASH_SOURCE[0]}")/both_dlls.sh"
# Output without carriage returns.
out() { run "$@" 2>/dev/null | tr -d '\r'; }

js=$("$wine_run" winepath -w "$examples/jscript_client.js" | tr -d '\r')
vbs=$("$wine_run" winepath -w "$examples/vbscript_client.vbs" | tr -d '\r')
source "$(dirname "${BASH_SOURCE[0]}")/../component_trees.sh"

finish() {
  unregister x86 2>/dev/null
  unregister x64 2>/dev/null
  restore_store
  rm -rf "$work"
}
trap finish EXIT

# What one script client of one architecture prints by one ProgID.
read_ids() { out "$1" cscript //nologo "$2" "$3"; }
well_formed() {
  grep -qxE 'nodmark_old [0-9A-F]{16}' <<<"$1" && grep -qxE 'nodmark_new [0-9A-F]{12}[0-9A-Z]{4}' <<<"$1" &&
    grep -qxE 'nodmark_complicate [0-9A-F]{32}' <<<"$1"
}
# What a process of each architecture must read on this machine, with the store file as
# it is now: the 64-bit tool's inputs with the processor that architecture's tool sees.
declare -A expected
expect_identifiers() {
  local arch
  for arch in x64 x86; do "$wine_run" "${tool[$arch]}" --json >"$work/$arch.json" 2>/dev/null; done
  for arch in x86 x64; do
    expected[$arch]=$(python3 "$here/processor_seen.py" "$work/x64.json" "$work/$arch.json") ||
      fail "no identifiers expected for $arch"
  done
}
# Every client of both architectures by both ProgIDs prints what its architecture must.
all_read() {
  local arch script prog_id
  for arch in x86 x64; do
    for script in "$js" "$vbs"; do
      for prog_id in "${prog_ids[@]}"; do
        [ "$(read_ids "$arch" "$script" "$prog_id")" = "${expected[$arch]}" ] ||
          fail "$arch cscript ${script##*\\} $prog_id printed other identifiers"
      done
    done
  done
}
# The one architecture still registered is creatable by both ProgIDs and reads late bound.
only_works() {
  local arch=$1 prog_id
  for prog_id in "${prog_ids[@]}"; do
    [ "$(read_ids "$arch" "$js" "$prog_id")" = "${expected[$arch]}" ] ||
      fail "$arch no longer reads by $prog_id after the other DLL was unregistered"
  done
}

unregister x86
unregister x64

# The first reader of either architecture draws the random identifier.
for first in x64 x86; do
  rm -f "$store"
  register x86
  register x64
  second=$([ "$first" = x64 ] && echo x86 || echo x64)
  reference=$(read_ids "$first" "$js" Nodmark.GerneralNodmark)
  well_formed "$reference" || fail "$first cscript printed no identifiers: $reference"
  [ -f "$store" ] || fail "the $first DLL kept its random identifier elsewhere than $store"
  expect_identifiers
  [ "$reference" = "${expected[$first]}" ] || fail "$first read other identifiers than its tool"
  [ "$(read_ids "$second" "$js" Nodmark.GerneralNodmark)" = "${expected[$second]}" ] ||
    fail "$second read other identifiers than $first drew"
done
echo "$reference"
[ "${expected[x86]}" = "${expected[x64]}" ] || echo "the 32-bit processes see another processor"
all_read

# The type library's help directory, shared by both views, names the folder of the DLL
# that stays, whichever of the two was registered last.
helpdir_names() {
  local arch=$1 value
  value=$(out x64 reg query "${trees[3]}\\1.0\\HELPDIR" /ve | sed -n 's/.*REG_SZ *//p')
  [ "$value" = "${dll[$arch]%\\*}\\" ] || fail "HELPDIR is '$value' with only the $arch DLL registered"
}

# One application's identifiers, with both DLLs registered: each script host prints, for
# one name, each identifier's form as OpenSSL computes it from the identifier that host
# reads, and both print the same nodmark_old_for and nodmark_new_for (nodmark_complicate_for
# follows nodmark_complicate, which an emulated processor may change).
application=com.example.invoicing
declare -A for_application
for arch in x86 x64; do
  for_application[$arch]=$(out "$arch" cscript //nologo "$js" Nodmark.GerneralNodmark "$application")
  for name in old new complicate; do
    identifier=$(sed -n "s/^nodmark_$name //p" <<<"${for_application[$arch]}")
    hmac=$(printf %s "$application" | openssl dgst -sha256 -hmac "$identifier" | sed 's/.*= //' |
      cut -c1-32 | tr a-f A-F)
    grep -qx "nodmark_${name}_for $hmac" <<<"${for_application[$arch]}" ||
      fail "$arch cscript: nodmark_${name}_for is not the HMAC of nodmark_$name ($hmac)"
  done
done
[ "$(grep -E '^nodmark_(old|new)_for ' <<<"${for_application[x86]}")" = \
  "$(grep -E '^nodmark_(old|new)_for ' <<<"${for_application[x64]}")" ] ||
  fail "the two architectures gave the application other identifiers"

unregister x64 # registered last
only_works x86
helpdir_names x86
register x64
register x86
unregister x86 # registered last
only_works x64
helpdir_names x64
unregister x86 # never registered now: the 64-bit registration survives
only_works x64
unregister x64
# Each view read by the 64-bit reg, which starts natively where 32-bit programs are emulated.
for view in 32 64; do
  for tree in "${trees[@]}"; do
    if "$wine_run" --64 reg query "$tree" "/reg:$view" >/dev/null 2>&1; then
      fail "$tree left in the $view-bit view"
    fi
  done
done

if [ "$failures" -ne 0 ]; then exit 1; fi
echo "both architectures agree"
