#!/usr/bin/env bash
# The four shipped clients of one architecture against that architecture's nodmark.dll,
# registered with the regsvr32 of the same architecture in the build's private prefix:
# the early-bound C++ client calls the getters directly and is the reference; the
# command-line tool, the late-bound C++ client and the JScript and VBScript clients
# under that architecture's cscript (each by both ProgIDs) must print the same three
# lines. Given an application name, every client but the tool prints three more
# lines, the application's identifiers, which must equal the first half of OpenSSL's
# HMAC-SHA256 of the name keyed with each identifier, and differ for another name.
# Unregistering with regsvr32 /u must leave the class uncreatable. Whatever the
# prefix's registry view of that architecture held of the component's registration is
# put back at the end.
#
# With SCOPE "loading", only registration, the tool, the C++ clients by the first
# ProgID and unregistration run: enough for copies of binaries that differ from tested
# ones by their signature alone (tests/signing/signed_binaries_test.sh).
#
# usage: clients_test.sh x86|x64 WINE_RUN DLL EXAMPLES_DIR EARLY_BOUND LATE_BOUND TOOL [SCOPE]
set -euo pipefail
arch=$1 wine_run=$2 dll=$3 examples=$4 early_bound=$5 late_bound=$6 tool=$7 scope=${8:-all}
case $scope in all | loading) ;; *) echo "clients_test.sh: unknown scope $scope" >&2; exit 2 ;; esac
# The system programs of the architecture: the 64-bit ones start through the 64-bit loader.
system_flag=() view=32
[ "$arch" = x64 ] && system_flag=(--64) view=64
system() { "$wine_run" "${system_flag[@]}" "$@"; }
# The registration is saved and put back by the 64-bit reg, in the architecture's view:
# where 32-bit programs run under emulation, it starts several times faster.
registry() { "$wine_run" --64 reg "$@" "/reg:$view"; }

source "$(dirname "${BASH_SOURCE[0]}")/../component_trees.sh"

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# A Windows program's standard output, without the carriage returns.
wine_out() { "$wine_run" "$@" 2>/dev/null | tr -d '\r'; }
system_out() { system "$@" 2>/dev/null | tr -d '\r'; }
windows_path() { wine_out winepath -w "$1"; }

saved=$(mktemp -d)
restore_registration() {
  for i in "${!trees[@]}"; do
    registry delete "${trees[$i]}" /f >/dev/null 2>&1 || true
    if [ -f "$saved/$i.reg" ]; then
      registry import "$(windows_path "$saved/$i.reg")" >/dev/null 2>&1 ||
        echo "could not restore ${trees[$i]}" >&2
    fi
  done
  rm -rf "$saved"
}
for i in "${!trees[@]}"; do
  if registry query "${trees[$i]}" >/dev/null 2>&1; then
    registry export "${trees[$i]}" "$(windows_path "$saved/$i.reg")" /y >/dev/null 2>&1
  fi
done
trap restore_registration EXIT

dll_path=$(windows_path "$dll")
js=$(windows_path "$examples/jscript_client.js")
vbs=$(windows_path "$examples/vbscript_client.vbs")

# Compares one client's output with the reference (or with $3).
expect_reference() {
  local what=$1 output=$2 expected=${3:-$reference}
  if [ "$output" != "$expected" ]; then
    fail "$what printed something else than the direct getters"
    diff <(echo "$expected") <(echo "$output") >&2 || true
  fi
}

system regsvr32 /s "$dll_path" || fail "regsvr32 $dll_path exited with $?"

reference=$(wine_out "$early_bound") || fail "early-bound client exited with $?"
echo "$reference"
if ! grep -qxE 'nodmark_old [0-9A-F]{16}' <<<"$reference" ||
   ! grep -qxE 'nodmark_new [0-9A-F]{12}[0-9A-Z]{4}' <<<"$reference" ||
   ! grep -qxE 'nodmark_complicate [0-9A-F]{32}' <<<"$reference" ||
   [ "$(wc -l <<<"$reference")" -ne 3 ]; then
  fail "the early-bound client did not print the three identifiers"
fi

expect_reference "the command-line tool" "$(wine_out "$tool")"
if [ "$scope" = loading ]; then
  expect_reference "late-bound client (${prog_ids[0]})" "$(wine_out "$late_bound" "${prog_ids[0]}")"
else
  for prog_id in "${prog_ids[@]}"; do
    expect_reference "late-bound client ($prog_id)" "$(wine_out "$late_bound" "$prog_id")"
    expect_reference "JScript client ($prog_id)" "$(system_out cscript //nologo "$js" "$prog_id")"
    expect_reference "VBScript client ($prog_id)" "$(system_out cscript //nologo "$vbs" "$prog_id")"
  done

  # The application's identifiers, early bound: the reference of the other clients.
  application=com.example.invoicing
  for_application=$(wine_out "$early_bound" "$application") ||
    fail "early-bound client with an application exited with $?"
  echo "$for_application" | tail -n 3
  [ "$(head -n 3 <<<"$for_application")" = "$reference" ] ||
    fail "an application name changed the three identifiers"
  other_application=$(wine_out "$early_bound" com.example.payroll | tail -n 3) || true
  for name in old new complicate; do
    identifier=$(sed -n "s/^nodmark_$name //p" <<<"$reference")
    expected=$(printf %s "$application" | openssl dgst -sha256 -hmac "$identifier" |
      sed 's/.*= //' | cut -c1-32 | tr a-f A-F)
    grep -qx "nodmark_${name}_for $expected" <<<"$for_application" ||
      fail "nodmark_${name}_for is not the HMAC of nodmark_$name over the name ($expected)"
    value=$(sed -n "s/^nodmark_${name}_for //p" <<<"$for_application")
    if grep -q "$value" <<<"$other_application"; then
      fail "nodmark_${name}_for gave $value for another application too"
    fi
  done
  expect_reference "the command-line tool with an application" \
    "$(wine_out "$tool" --for "$application")" "$for_application"
  calls=(nodmark_old nodmark_new nodmark_complicate "nodmark_old_for($application)"
         "NODMARK_NEW_FOR($application)" "nodmark_complicate_for($application)")
  for prog_id in "${prog_ids[@]}"; do
    expect_reference "late-bound client with an application ($prog_id)" \
      "$(wine_out "$late_bound" "$prog_id" "${calls[@]}" | sed 's/^NODMARK_NEW_FOR /nodmark_new_for /')" \
      "$for_application"
    expect_reference "JScript client with an application ($prog_id)" \
      "$(system_out cscript //nologo "$js" "$prog_id" "$application")" "$for_application"
    expect_reference "VBScript client with an application ($prog_id)" \
      "$(system_out cscript //nologo "$vbs" "$prog_id" "$application")" "$for_application"
  done
fi

system regsvr32 /u /s "$dll_path" || fail "regsvr32 /u $dll_path exited with $?"
if wine_out "$early_bound" >/dev/null; then
  fail "the early-bound client still created the class after regsvr32 /u"
fi
if [ "$scope" != loading ] && system_out cscript //nologo "$js" >/dev/null; then
  fail "the JScript client still created the class after regsvr32 /u"
fi

if [ "$failures" -ne 0 ]; then exit 1; fi
echo "all clients agree"
