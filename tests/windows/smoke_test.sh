#!/usr/bin/env bash
# The 32-bit DLL in a single 32-bit process: registration in the 32-bit registry view,
# creation by both ProgIDs, early- and late-bound reading of the three identifiers,
# the three identifiers of one application (IGerneralNodmark2) called late bound, and
# unregistration leaving none of the component's trees; the identifiers read must
# equal those the 64-bit DLL's run of the same tests read first in the same prefix, and
# in both runs each application identifier must be the first half of OpenSSL's
# HMAC-SHA256 of the application's name keyed with its identifier.
# Where 32-bit programs run only under emulation and each takes minutes, this stands
# in for the other 32-bit tests; elsewhere it runs beside them.
#
# An emulator may show the 32-bit process a processor of its own: qemu's TCG, which
# runs 32-bit programs on hosts without IA-32 emulation, cannot present every feature
# flag of the host's (vme and ht among them). nodmark_complicate digests the processor
# signature, so there the 32-bit DLL's value must instead equal the digest of the 64-bit
# tool's own inputs with the signature that the 32-bit process sees; a real 32-bit
# process on Windows sees the same processor as a 64-bit one.
#
# usage: smoke_test.sh WINE_RUN X86_REGISTERED_TEST X64_REGISTERED_TEST X64_TOOL
# (the shell_registered_test programs of the two test builds, each beside its DLL, and
# the 64-bit nodmark.exe)
set -euo pipefail
wine_run=$1 x64_tool=$4
declare -A program=([x86]=$2 [x64]=$3)
tests=(DllRegistrationTest.WritesEveryRowAsAStringWithItsTerminator
       DllRegistrationTest.UnregistrationRemovesTheSixTreesAndSucceedsWhenNothingIsThere
       DllDispatchTest.ComRuntimeCreatesTheClassByEitherProgId
       DllDispatchTest.InvokeOfEachDispidEqualsTheDirectGetter
       DllDispatchTest.MethodsOfTheDefaultInterfaceAreCalledByNameInAnyLetterCase)
# The application the dispatch test names.
application=com.example.invoicing
filter=$(IFS=:; echo "${tests[*]}")

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The identifiers (or with "processor_signature", the processor) a run recorded in its
# XML report, one "name value" line each.
recorded() {
  grep -oE "name=\"${2:-nodmark_[a-z]+(_for)?}\" value=\"[^\"]*\"" "$1" 2>/dev/null |
    sed -E 's/name="([^"]*)" value="([^"]*)"/\1 \2/' | sort
}

# The three identifiers of $1 (lines "nodmark_NAME VALUE"), each followed by its
# application's form as OpenSSL computes it, sorted as `recorded` sorts them.
with_application() {
  local name identifier
  {
    grep -v _for <<<"$1"
    for name in old new complicate; do
      identifier=$(sed -n "s/^nodmark_$name //p" <<<"$1")
      printf 'nodmark_%s_for %s\n' "$name" "$(printf %s "$application" |
        openssl dgst -sha256 -hmac "$identifier" | sed 's/.*= //' | cut -c1-32 | tr a-f A-F)"
    done
  } | sort
}

# nodmark_complicate of the 64-bit tool's inputs with processor signature $1.
digest_with_processor() {
  "$wine_run" "$x64_tool" --json 2>/dev/null | python3 -c '
import hashlib, json, sys
digest = json.load(sys.stdin)["digest"]
parts = digest["parts"]
data = parts["adapter"] + parts["volume"] + sys.argv[1].encode().hex().upper() + parts["firmware"]
text = digest["start_marker"] + data + digest["end_marker"]
print("nodmark_complicate " + hashlib.md5(text.encode()).hexdigest().upper())' "$1"
}

declare -A read processor
for arch in x64 x86; do
  report=$work/$arch.xml
  echo "smoke: the $arch DLL's registration and creation tests, in one $arch process"
  started=$(date +%s)
  "$wine_run" "${program[$arch]}" --gtest_brief=1 --gtest_filter="$filter" \
    --gtest_output="xml:$("$wine_run" winepath -w "$report" | tr -d '\r')" ||
    fail "the $arch tests failed (exit status $?)"
  echo "smoke: $arch took $(($(date +%s) - started)) s"
  ran=$(grep -c '<testcase ' "$report" 2>/dev/null) || true
  [ "${ran:-0}" -eq "${#tests[@]}" ] || fail "the $arch run reported ${ran:-no} tests, not ${#tests[@]}"
  read[$arch]=$(recorded "$report")
  processor[$arch]=$(recorded "$report" processor_signature)
  grep -qxE 'nodmark_old [0-9A-F]{16}' <<<"${read[$arch]}" &&
    grep -qxE 'nodmark_new [0-9A-F]{12}[0-9A-Z]{3}4' <<<"${read[$arch]}" &&
    grep -qxE 'nodmark_complicate [0-9A-F]{32}' <<<"${read[$arch]}" ||
    fail "the $arch run recorded no well-formed identifiers: ${read[$arch]:-nothing}"
  [ "${read[$arch]}" = "$(with_application "${read[$arch]}")" ] ||
    fail "the $arch run's application identifiers are not the HMACs of its identifiers"
done

expected=${read[x64]}
if [ "${processor[x86]}" != "${processor[x64]}" ]; then
  echo "smoke: the 32-bit process sees another processor (${processor[x86]#* }, not ${processor[x64]#* })"
  # The recomputation must first give the 64-bit DLL's own value.
  [ "$(digest_with_processor "${processor[x64]#* }")" = "$(grep '^nodmark_complicate ' <<<"${read[x64]}")" ] ||
    fail "the 64-bit tool's digest inputs do not give the 64-bit DLL's nodmark_complicate"
  expected=$(with_application "$(grep -v complicate <<<"$expected"
    digest_with_processor "${processor[x86]#* }")")
fi
if [ "${read[x86]}" != "$expected" ]; then
  fail "the 32-bit DLL read other identifiers than the 64-bit DLL"
  diff <(echo "$expected") <(echo "${read[x86]}") >&2 || true
fi
[ "$failures" -eq 0 ] || exit 1
echo "smoke: both DLLs read"
echo "${read[x86]}"
