#!/usr/bin/env bash
# The signing script (cmake/authenticode_sign.sh) and its place in the Windows build,
# with throwaway certificates and copies of one built DLL, without Wine:
#   - a certificate for code signing, as PKCS#12 or as a PEM certificate and encrypted
#     key, signs every file named, in place, keeping its mode, leaving nothing beside it;
#   - bad input ends with one line "sign: FILE: reason" and leaves FILE as it was: a
#     wrong or missing password, no certificate file, a key of another certificate, no
#     code-signing usage, an expired certificate, an unreachable timestamp server
#     (unless the settings allow signing without the timestamp, which then signs);
#   - the Windows build configured with the password as a cache variable keeps it
#     nowhere in its tree (nor the shipped build it configures), and a wrong one fails
#     the configure with that line; signing is the last command that makes each
#     package, and the shipped build signs its six binaries after their links.
#
# usage: sign_script_test.sh SIGN_SCRIPT DLL CMAKE SOURCE_DIR VERSION
set -euo pipefail
script=$1 dll=$2 cmake=$3 source=$4 version=$5
# Only what each case names: none of a publisher's own signing settings.
unset "${!NODMARK_SIGN_@}"
source "$(dirname "${BASH_SOURCE[0]}")/throwaway_certificate.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
certs=$work/certs
mkdir "$certs"
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

throwaway_certificate "$certs" good -addext extendedKeyUsage=codeSigning
throwaway_certificate "$certs" server -addext extendedKeyUsage=serverAuth
# openssl req cannot date a certificate in the past; openssl ca can.
mkdir "$certs/ca"
: >"$certs/ca/index.txt"
echo 01 >"$certs/ca/serial"
cat >"$certs/ca.cnf" <<EOF
[ca]
default_ca = past
[past]
database = $certs/ca/index.txt
new_certs_dir = $certs/ca
serial = $certs/ca/serial
policy = any_name
default_md = sha256
[any_name]
commonName = supplied
[code_signing]
extendedKeyUsage = codeSigning
EOF
openssl req -new -key "$certs/good.key" -subj "/CN=nodmark test expired" -out "$certs/expired.csr"
openssl ca -batch -config "$certs/ca.cnf" -selfsign -keyfile "$certs/good.key" -in "$certs/expired.csr" \
  -startdate 20200101000000Z -enddate 20200102000000Z -extensions code_signing -notext \
  -out "$certs/expired.pem" 2>/dev/null
NODMARK_SIGN_PASSWORD=$throwaway_password openssl pkey -in "$certs/good.key" -aes256 \
  -passout env:NODMARK_SIGN_PASSWORD -out "$certs/good.encrypted.key"

settings() { # settings NAME KEY=VALUE...: a settings file of its own
  printf '%s\n' "${@:2}" >"$certs/$1.settings"
  echo "$certs/$1.settings"
}
pem=$(settings pem "certs=$certs/good.pem" "key=$certs/good.encrypted.key")
unreachable=http://127.0.0.1:1/
timestamp_required=$(settings timestamp "pkcs12=$certs/good.p12" "timestamp_url=$unreachable")
timestamp_optional=$(settings optional "pkcs12=$certs/good.p12" "timestamp_url=$unreachable" \
  timestamp_optional=1)

# sign PASSWORD|--no-password SETTINGS FILE...
sign() {
  if [ "$1" = --no-password ]; then
    bash "$script" "${@:2}"
  else
    NODMARK_SIGN_PASSWORD=$1 bash "$script" "${@:2}"
  fi
}

# expect_signed WHAT PASSWORD SETTINGS CERTIFICATE: two copies, one with a mode of its own.
expect_signed() {
  local what=$1 folder=$work/signed
  rm -rf "$folder"
  mkdir "$folder"
  cp "$dll" "$folder/a.dll"
  install -m 750 "$dll" "$folder/b.dll"
  sign "$2" "$3" "$folder/a.dll" "$folder/b.dll" 2>"$work/stderr" ||
    fail "$what: not signed: $(cat "$work/stderr")"
  for file in a.dll b.dll; do
    osslsigncode verify -CAfile "$4" -in "$folder/$file" >/dev/null 2>&1 ||
      fail "$what: $file does not verify"
  done
  [ "$(stat -c %a "$folder/b.dll")" = 750 ] || fail "$what: the file's mode changed"
  [ "$(ls "$folder" | tr '\n' ' ')" = "a.dll b.dll " ] || fail "$what: left $(ls "$folder")"
}

# expect_refused WHAT REASON PASSWORD SETTINGS: REASON is part of the one line.
expect_refused() {
  local what=$1 reason=$2 folder=$work/refused
  rm -rf "$folder"
  mkdir "$folder"
  cp "$dll" "$folder/nodmark.dll"
  if sign "$3" "$4" "$folder/nodmark.dll" 2>"$work/stderr"; then fail "$what: signed"; fi
  local message
  message=$(cat "$work/stderr")
  if [ "$(wc -l <"$work/stderr")" -ne 1 ] || [[ $message != "sign: $folder/nodmark.dll: "*"$reason"* ]]; then
    fail "$what: not one line naming the file and \"$reason\": $message"
  fi
  cmp -s "$dll" "$folder/nodmark.dll" || fail "$what: the file changed"
  [ "$(ls "$folder")" = nodmark.dll ] || fail "$what: left $(ls "$folder")"
}

expect_signed "PKCS#12" "$throwaway_password" "$certs/good.settings" "$certs/good.pem"
expect_signed "PEM and encrypted key" "$throwaway_password" "$pem" "$certs/good.pem"
expect_refused "wrong password" "wrong password for $certs/good.p12" wrong "$certs/good.settings"
expect_refused "wrong password of a key" "wrong password for $certs/good.encrypted.key" wrong "$pem"
expect_refused "no password" "NODMARK_SIGN_PASSWORD is not set" --no-password "$certs/good.settings"
expect_refused "no certificate file" "cannot read the PKCS#12 file $certs/none.p12" \
  "$throwaway_password" "$(settings none "pkcs12=$certs/none.p12")"
expect_refused "another certificate's key" "does not belong to the certificate" "" \
  "$(settings mismatch "certs=$certs/good.pem" "key=$certs/server.key")"
expect_refused "no code-signing usage" "is not for code signing" \
  "$throwaway_password" "$certs/server.settings"
expect_refused "expired" "expired on Jan  2 00:00:00 2020 GMT" "" \
  "$(settings expired "certs=$certs/expired.pem" "key=$certs/good.key")"
expect_refused "unreachable timestamp server" "timestamp server $unreachable could not be reached" \
  "$throwaway_password" "$timestamp_required"
sign "$throwaway_password" "$timestamp_optional" "$work/signed/a.dll" 2>"$work/stderr" ||
  fail "an optional timestamp kept the file from being signed: $(cat "$work/stderr")"
grep -q "signed without a timestamp" "$work/stderr" || fail "signing without the timestamp went unsaid"

# The Windows build, configured with the password as a cache variable; then the shipped
# x86 build as the Windows build configures it.
secret="not-in-the-tree-$RANDOM$RANDOM"
NODMARK_SIGN_PASSWORD=$secret openssl pkcs12 -export -in "$certs/good.pem" -inkey "$certs/good.key" \
  -out "$certs/secret.p12" -passout env:NODMARK_SIGN_PASSWORD
build=$work/build
configure() {
  "$cmake" -S "$source" -B "$build" -DNODMARK_WINDOWS_SUPERBUILD=ON -DCMAKE_BUILD_TYPE=Release \
    "-DNODMARK_SIGN_PKCS12=$certs/secret.p12" "$@" >"$work/configure.log" 2>&1
}
if configure -DNODMARK_SIGN_PASSWORD=wrong; then fail "configured with a wrong password"; fi
grep -qF "sign: wrong password for $certs/secret.p12" "$work/configure.log" ||
  fail "the failed configure did not say why: $(cat "$work/configure.log")"
configure "-DNODMARK_SIGN_PASSWORD=$secret" || fail "configure: $(cat "$work/configure.log")"
make -C "$build" -f CMakeFiles/shipped_x86.dir/build.make \
  shipped_x86-prefix/src/shipped_x86-stamp/shipped_x86-configure >"$work/subbuild.log" 2>&1 ||
  fail "the shipped x86 build did not configure: $(cat "$work/subbuild.log")"
found=$(grep -rlF -- "$secret" "$build" "$work/configure.log" "$work/subbuild.log" || true)
[ -z "$found" ] || fail "the password is written in: $found"

for arch in x64 x86; do
  package=nodmark-$version-$arch.msi
  last=$(awk -v rule="$package:" 'index($0, rule) == 1 { in_rule = 1 }
           in_rule && /^\t/ { last = $0 } in_rule && /^$/ { in_rule = 0 } END { print last }' \
         "$build/CMakeFiles/nodmark-$version-$arch.dir/build.make")
  [[ $last == *"authenticode_sign.sh "*"/$package" ]] || fail "$package: the last command is not signing: $last"
done
signed_links=$(cd "$build/x86" && grep -rlF authenticode_sign.sh --include=build.make . | sort | tr '\n' ' ')
expected="./examples/CMakeFiles/early_bound_client.dir/build.make ./examples/CMakeFiles/late_bound_client.dir/build.make "
expected+="./examples/regfree/CMakeFiles/early_bound_client_regfree.dir/build.make "
expected+="./examples/regfree/CMakeFiles/late_bound_client_regfree.dir/build.make "
expected+="./shell/CMakeFiles/nodmark.dir/build.make ./tools/CMakeFiles/nodmark_tool.dir/build.make "
[ "$signed_links" = "$expected" ] || fail "the shipped build signs after these links: $signed_links"

if [ "$failures" -ne 0 ]; then exit 1; fi
echo "signing: good certificates sign, bad input refused with one line, the password kept out of the build"
