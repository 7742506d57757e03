#!/usr/bin/env bash
# Authenticode signing of Windows binaries and installer packages with osslsigncode,
# SHA-256, as the Windows build does it after each link and after wixl.
#
# usage: authenticode_sign.sh SETTINGS --check
#        authenticode_sign.sh SETTINGS FILE...
# SETTINGS has one key=value a line, as cmake/signing.cmake writes it (never a
# password): pkcs12 (certificate and key as PKCS#12), or certs (PEM chain) and key (PEM
# file, or a pkcs11: URI with pkcs11_module and optionally pkcs11_engine);
# timestamp_url (an RFC 3161 server; empty: no timestamp); timestamp_optional (1: sign
# without the timestamp when the server cannot be reached); osslsigncode and openssl
# (the programs; default: from PATH).
#
# The password of the PKCS#12 file or key, or the token's PIN, is the environment
# variable NODMARK_SIGN_PASSWORD. openssl reads it from there (-passin env:) and
# osslsigncode from a pipe, so it is on no command line and in no file.
#
# --check checks the certificate (readable, password right, key matching, made for
# code signing, within its validity period) and prints its SHA-256 fingerprint.
# Otherwise the same check runs first, then each FILE is signed into a temporary file
# beside it that then replaces it. The first failure ends the run with one line,
# "sign: FILE: reason", and leaves that FILE and every later one as they were.
set -euo pipefail
settings=$1
shift

declare -A setting=()
while IFS= read -r line || [ -n "$line" ]; do
  [[ $line == *=* ]] && setting[${line%%=*}]=${line#*=}
done <"$settings"
pkcs12=${setting[pkcs12]:-} certs=${setting[certs]:-} key=${setting[key]:-}
openssl=${setting[openssl]:-openssl} osslsigncode=${setting[osslsigncode]:-osslsigncode}
timestamp_url=${setting[timestamp_url]:-}

# What the messages name: the file being signed (the first one while the certificate
# is checked), nothing for --check.
subject=""
[ "${1:-}" = --check ] || subject=${1:-}
die() {
  echo "sign: ${subject:+$subject: }$*" >&2
  exit 1
}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"; [ -z "${partial:-}" ] || rm -f "$partial"' EXIT

have_password() { [ -n "${NODMARK_SIGN_PASSWORD+set}" ]; }
need_password() {
  have_password || die "NODMARK_SIGN_PASSWORD is not set: the build reads the password of $1 from its environment"
}
readable() { [ -f "$1" ] && [ -r "$1" ] || die "cannot read $2 $1"; }

# openssl's first error reason, without its error-stack prefix.
openssl_reason() { grep -m1 -oE 'error:[0-9A-F]+:[^:]*:[^:]*:[^:]*' "$1" | cut -d: -f5 || true; }

# The leaf certificate into $scratch/leaf.pem, the private key's public half into
# $scratch/key.pub (not for a key on a token). The private key itself goes through a
# pipe only.
read_pkcs12() {
  readable "$pkcs12" "the PKCS#12 file"
  need_password "$pkcs12"
  local legacy=()
  for attempt in modern legacy; do
    if "$openssl" pkcs12 "${legacy[@]}" -in "$pkcs12" -passin env:NODMARK_SIGN_PASSWORD \
        -nokeys -clcerts -out "$scratch/leaf.pem" 2>"$scratch/error"; then
      break
    fi
    # Files exported with the older algorithms (RC2, 3DES) need OpenSSL's legacy provider.
    if [ "$attempt" = modern ] && grep -q unsupported "$scratch/error"; then
      legacy=(-legacy)
      continue
    fi
    if grep -qiE 'mac verify|invalid password' "$scratch/error"; then
      die "wrong password for $pkcs12"
    fi
    die "$pkcs12 is not a PKCS#12 file that OpenSSL can read ($(openssl_reason "$scratch/error"))"
  done
  "$openssl" pkcs12 "${legacy[@]}" -in "$pkcs12" -passin env:NODMARK_SIGN_PASSWORD -nocerts -nodes \
    2>/dev/null | "$openssl" pkey -pubout -out "$scratch/key.pub" 2>/dev/null ||
    die "$pkcs12 holds no private key"
}

read_pem() {
  readable "$certs" "the certificate file"
  "$openssl" x509 -in "$certs" -out "$scratch/leaf.pem" 2>/dev/null ||
    die "$certs holds no PEM certificate"
  if [[ $key == pkcs11:* ]]; then
    [ -n "${setting[pkcs11_module]:-}" ] || die "the key $key is on a token: name its PKCS#11 module"
    return
  fi
  readable "$key" "the key file"
  local pass=(-passin pass:)
  if grep -q ENCRYPTED "$key"; then
    need_password "$key"
    pass=(-passin env:NODMARK_SIGN_PASSWORD)
  fi
  if ! "$openssl" pkey -in "$key" "${pass[@]}" -pubout -out "$scratch/key.pub" 2>"$scratch/error"; then
    if grep -qiE 'bad decrypt|maybe wrong password' "$scratch/error"; then die "wrong password for $key"; fi
    die "$key is not a PEM private key ($(openssl_reason "$scratch/error"))"
  fi
}

check_certificate() {
  local source=$pkcs12
  if [ -n "$pkcs12" ]; then
    read_pkcs12
  elif [ -n "$certs" ]; then
    [ -n "$key" ] || die "the certificate file $certs needs its key (NODMARK_SIGN_KEY)"
    source=$certs
    read_pem
  else
    die "the settings name no certificate (pkcs12, or certs and key)"
  fi
  local leaf=$scratch/leaf.pem
  if [ -f "$scratch/key.pub" ]; then
    "$openssl" x509 -in "$leaf" -noout -pubkey | cmp -s - "$scratch/key.pub" ||
      die "the private key does not belong to the certificate in $source"
  fi
  local name
  name=$("$openssl" x509 -in "$leaf" -noout -subject -nameopt oneline | sed 's/^subject= *//')
  "$openssl" x509 -in "$leaf" -noout -ext extendedKeyUsage 2>/dev/null | grep -q 'Code Signing' ||
    die "the certificate \"$name\" in $source is not for code signing (no codeSigning extended key usage)"
  if ! "$openssl" x509 -in "$leaf" -noout -checkend 0 >/dev/null; then
    die "the certificate \"$name\" in $source expired on $("$openssl" x509 -in "$leaf" -noout -enddate | cut -d= -f2)"
  fi
  local not_before
  not_before=$("$openssl" x509 -in "$leaf" -noout -startdate | cut -d= -f2)
  if (($(date -d "$not_before" +%s) > $(date +%s))); then
    die "the certificate \"$name\" in $source is not valid before $not_before"
  fi
  fingerprint=$("$openssl" x509 -in "$leaf" -noout -fingerprint -sha256 | cut -d= -f2 | tr -d :)
}

# osslsigncode's arguments for the certificate and key.
credentials=()
if [ -n "$pkcs12" ]; then
  credentials=(-pkcs12 "$pkcs12")
else
  [ -z "${setting[pkcs11_module]:-}" ] || credentials+=(-pkcs11module "${setting[pkcs11_module]}")
  [ -z "${setting[pkcs11_engine]:-}" ] || credentials+=(-pkcs11engine "${setting[pkcs11_engine]}")
  credentials+=(-certs "$certs" -key "$key")
fi

# Signs $1 into $2, with the timestamp when $3 is "timestamped"; osslsigncode's output
# goes to $scratch/osslsigncode.
run_osslsigncode() {
  local in=$1 out=$2 timestamp=()
  [ "$3" = timestamped ] && timestamp=(-ts "$timestamp_url")
  rm -f "$out"
  if have_password; then
    # A pipe that only osslsigncode reads: its name, /dev/fd/N, is all a command line shows.
    "$osslsigncode" sign "${credentials[@]}" -readpass <(printf '%s' "$NODMARK_SIGN_PASSWORD") \
      -h sha256 "${timestamp[@]}" -in "$in" -out "$out" >"$scratch/osslsigncode" 2>&1
  else
    "$osslsigncode" sign "${credentials[@]}" -h sha256 "${timestamp[@]}" -in "$in" -out "$out" \
      >"$scratch/osslsigncode" 2>&1
  fi
}

# The line of osslsigncode's output that says why it failed.
osslsigncode_reason() {
  grep -vE '^(Connecting to |Failed$|Succeeded$|[0-9A-F]+:error:|$)' "$scratch/osslsigncode" |
    head -n 1 || true
}

sign_file() {
  local file=$1
  subject=$file
  [ -f "$file" ] && [ -r "$file" ] && [ -w "$(dirname "$file")" ] ||
    die "no such file, or its folder cannot be written"
  partial=$(mktemp "$file.signing.XXXXXX")
  local stamp=timestamped
  [ -n "$timestamp_url" ] || stamp=untimestamped
  if ! run_osslsigncode "$file" "$partial" "$stamp"; then
    local reason
    reason=$(osslsigncode_reason)
    # Whether the timestamp server was the cause: the same signature without it works.
    if [ "$stamp" = timestamped ] && run_osslsigncode "$file" "$partial" untimestamped; then
      if [ "${setting[timestamp_optional]:-0}" != 1 ]; then
        die "the timestamp server $timestamp_url could not be reached${reason:+ ($reason)}; set NODMARK_SIGN_TIMESTAMP_OPTIONAL to sign without a timestamp"
      fi
      echo "sign: $file: the timestamp server $timestamp_url could not be reached; signed without a timestamp" >&2
    else
      die "osslsigncode failed: ${reason:-$(osslsigncode_reason)}"
    fi
  fi
  chmod --reference="$file" "$partial"
  mv -f "$partial" "$file"
  partial=
}

check_certificate
if [ "${1:-}" = --check ]; then
  echo "$fingerprint"
  exit 0
fi
for file in "$@"; do
  sign_file "$file"
done
