#!/usr/bin/env bash
# One architecture's shipped binaries and installer package, copied and signed by the
# build's own signing script with a throwaway certificate made here:
#   - osslsigncode verifies every signed file with that certificate as trust anchor;
#   - the signature is all that changed: a binary without it is the unsigned one byte
#     for byte, the package holds the same tables and streams and one stream more;
#   - WinVerifyTrust (tests/signing/verify_trust_main.cpp, under Wine) answers
#     TRUST_E_NOSIGNATURE for the unsigned DLL, 0 for every signed file and
#     TRUST_E_BAD_DIGEST once a byte of the signed DLL's code is changed;
#   - the signed DLL, command-line tool and C++ clients load and work: registration,
#     creation, the three identifiers, unregistration (tests/shell/clients_test.sh,
#     scope "loading": a signed file is its unsigned twin, which the whole test ran,
#     plus the signature, as checked above). (The signed package's install, repair and
#     uninstall are part of tests/installer/msi_test.sh.)
# A build that signs with the publisher's certificate gives signed files: their
# signature is removed first, so the unsigned copies are what the link made.
#
# usage: signed_binaries_test.sh ARCH WINE_RUN SIGN_SCRIPT OBJDUMP VERIFY_TRUST EXAMPLES \
#          PACKAGE DLL TOOL EARLY_BOUND LATE_BOUND REGFREE_EARLY_BOUND REGFREE_LATE_BOUND
set -euo pipefail
arch=$1 wine_run=$2 script=$3 objdump=$4 verify_trust=$5 examples=$6
shift 6
here=$(dirname "${BASH_SOURCE[0]}")
source "$here/throwaway_certificate.sh"
# The files by the names they are signed under.
names=(package.msi nodmark.dll nodmark.exe early_bound_client.exe late_bound_client.exe
       regfree_early_bound_client.exe regfree_late_bound_client.exe)
declare -A built=()
for name in "${names[@]}"; do
  built[$name]=$1
  shift
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/unsigned" "$work/signed"
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

started=$SECONDS
throwaway_certificate "$work" publisher -addext extendedKeyUsage=codeSigning
for name in "${names[@]}"; do
  osslsigncode remove-signature -in "${built[$name]}" -out "$work/unsigned/$name" >/dev/null 2>&1 ||
    cp "${built[$name]}" "$work/unsigned/$name"
  cp "$work/unsigned/$name" "$work/signed/$name"
done
NODMARK_SIGN_PASSWORD=$throwaway_password bash "$script" "$work/publisher.settings" \
  "${names[@]/#/$work/signed/}" || fail "the signing script failed"

for name in "${names[@]}"; do
  signed=$work/signed/$name
  osslsigncode verify -CAfile "$work/publisher.pem" -in "$signed" >"$work/verify" 2>&1 ||
    fail "$name does not verify: $(grep -v '^$' "$work/verify" | tail -n 3)"
  if [ "$name" = package.msi ]; then
    for kind in unsigned signed; do
      mkdir "$work/$kind.dump"
      (cd "$work/$kind.dump" && msidump --tables --streams "$work/$kind/$name" >/dev/null)
    done
    difference=$(diff -r "$work/unsigned.dump" "$work/signed.dump" || true)
    # The signature's stream name starts with the control character 0x05.
    [[ $difference == "Only in $work/signed.dump/_Streams: "?DigitalSignature ]] ||
      fail "signing changed the package: $difference"
  else
    osslsigncode remove-signature -in "$signed" -out "$work/stripped" >/dev/null 2>&1
    cmp -s "$work/stripped" "$work/unsigned/$name" || fail "signing changed more than the signature of $name"
    rm -f "$work/stripped"
  fi
done
echo "signed and verified in $((SECONDS - started)) s"

# One byte in the middle of the signed DLL's code, inverted.
cp "$work/signed/nodmark.dll" "$work/tampered.dll"
read -r text_size text_offset < <("$objdump" -h "$work/tampered.dll" | awk '$2 == ".text" { print $3, $6 }')
offset=$((16#$text_offset + 16#$text_size / 2))
byte=$(od -An -tu1 -j "$offset" -N1 "$work/tampered.dll" | tr -d ' ')
printf "\\$(printf %03o $((byte ^ 0xFF)))" |
  dd of="$work/tampered.dll" bs=1 seek="$offset" conv=notrunc status=none

started=$SECONDS
files=("$work/unsigned/nodmark.dll" "$work/tampered.dll" "${names[@]/#/$work/signed/}")
# Drive Z: is the root of the Linux file system.
answers=$("$wine_run" "$verify_trust" "${files[@]/#/Z:}" 2>/dev/null | tr -d '\r' | tr '\n' ' ')
# TRUST_E_NOSIGNATURE, TRUST_E_BAD_DIGEST, then success for every signed file.
expected="800B0100 80096010 $(printf '00000000 %.0s' "${names[@]}")"
[ "$answers" = "$expected" ] ||
  fail "WinVerifyTrust answered $answers for the unsigned DLL, the changed DLL and ${names[*]}"

bash "$here/../shell/clients_test.sh" "$arch" "$wine_run" "$work/signed/nodmark.dll" "$examples" \
  "$work/signed/early_bound_client.exe" "$work/signed/late_bound_client.exe" \
  "$work/signed/nodmark.exe" loading >"$work/clients" 2>&1 || fail "the signed binaries: $(cat "$work/clients")"
echo "under Wine in $((SECONDS - started)) s"

if [ "$failures" -ne 0 ]; then exit 1; fi
echo "$arch: every signed file verifies, changed nothing else, and works as the unsigned one"
