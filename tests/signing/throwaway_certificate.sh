# Sourced by the signing tests.
# throwaway_certificate DIR NAME [OPENSSL_REQ_OPTION...]: a self-signed certificate
# valid for a day, with the extensions the options add: DIR/NAME.pem (the certificate),
# DIR/NAME.key (its key, unencrypted), DIR/NAME.p12 (both, under the password
# $throwaway_password) and DIR/NAME.settings (signing settings naming NAME.p12).
throwaway_password='throw away'
throwaway_certificate() {
  local dir=$1 name=$2
  shift 2
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$dir/$name.key" -out "$dir/$name.pem" \
    -days 1 -subj "/CN=nodmark test $name" "$@" 2>/dev/null
  NODMARK_SIGN_PASSWORD=$throwaway_password openssl pkcs12 -export -in "$dir/$name.pem" \
    -inkey "$dir/$name.key" -out "$dir/$name.p12" -passout env:NODMARK_SIGN_PASSWORD
  echo "pkcs12=$dir/$name.p12" >"$dir/$name.settings"
}
