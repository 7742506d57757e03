#!/usr/bin/env bash
# Runs the real nodmark tool on this machine in its modes and checks that they agree:
# the --json output parses as JSON and its identifiers equal the plain output's, the
# --explain text shows the same identifiers, both name what of the machine they hold,
# --compare of the saved --json with this machine finds them the same (exit status 0),
# as it does a report written with --withhold, naming what it could not compare,
# a report that is not JSON is refused in one line naming the file (exit status 2), an
# unknown option is named first, then the usage, on standard error with exit status 2,
# --for gives each identifier's form for an application as OpenSSL computes it, and
# --seed-store prints nothing and answers by its exit status.
# Usage: check_tool_output.sh TOOL [RUNNER]   (RUNNER: scripts/wine-run.sh for the .exe)
set -euo pipefail
tool=$1 runner=${2:-}
# The native tool keeps its store file in a private directory rather than in
# /var/lib/nodmark; the Windows build ignores this and uses the Wine prefix's own
# system directory.
NODMARK_SYSTEM_DIR=$(mktemp -d)
export NODMARK_SYSTEM_DIR
trap 'rm -rf "$NODMARK_SYSTEM_DIR"' EXIT

run() { ${runner:+"$runner"} "$tool" "$@"; }

plain=$(run 2>/dev/null | tr -d '\r')
json=$(run --json | tr -d '\r')
explain=$(run --explain | tr -d '\r')

python3 - "$plain" "$json" "$explain" <<'PY'
import json, sys
plain, text, explain = sys.argv[1:4]
failures = []
identifiers = dict(line.split(" ", 1) for line in plain.splitlines())
names = ["nodmark_old", "nodmark_new", "nodmark_complicate"]
if sorted(identifiers) != sorted(names):
    failures.append(f"plain output has {sorted(identifiers)}")
try:
    report = json.loads(text)
except json.JSONDecodeError as error:
    sys.exit(f"FAIL: --json is not JSON: {error}\n{text}")
for name in names:
    if report.get(name) != identifiers.get(name):
        failures.append(f"{name}: --json {report.get(name)!r}, plain {identifiers.get(name)!r}")
    if f"{name:<20}{identifiers.get(name)}" not in explain.splitlines():
        failures.append(f"{name}: not shown by --explain")
digest = report["digest"]
if digest["hex_data"] != "".join(digest["parts"][p] for p in ("adapter", "volume", "processor", "firmware")):
    failures.append("digest hex_data is not its four parts joined")
# "contains" follows what the report holds, and --explain says first what it gives away.
contains = report.get("contains", [])
held = {"adapter_addresses": bool(report["adapters"]["list"]),
        "volume_serial": report["volume"]["serial"] is not None,
        "firmware_text": report["firmware"]["text"] is not None}
if contains[:1] != ["identifiers"] or any((code in contains) != is_held for code, is_held in held.items()):
    failures.append(f"contains {contains} does not match the report")
if not explain.startswith("This report gives whoever receives it this machine's three identifiers"):
    failures.append("--explain does not begin with what it gives away")
for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
PY

# --for: the plain lines, then each identifier's form for the application: the first
# 16 bytes of the HMAC-SHA256 of the name keyed with that identifier, as OpenSSL
# computes it; --json adds the same and "contains" stays as it was, --explain shows
# them and how they are made; another name gives other values; an empty name is
# refused before anything is read.
application=com.example.invoicing
for_plain=$(run --for "$application" 2>/dev/null | tr -d '\r')
for_other=$(run --for com.example.payroll 2>/dev/null | tr -d '\r')
for_explain=$(run --explain --for "$application" | tr -d '\r')
for_json=$(run --for "$application" --json | tr -d '\r' | python3 -c '
import json, sys
report = json.load(sys.stdin)
forms = report["for_application"]
print(forms["application"], " ".join(report["contains"]))
for name in ("old", "new", "complicate"):
    print(f"nodmark_{name}_for", forms[f"nodmark_{name}_for"])')
[ "$(head -n 3 <<<"$for_plain")" = "$plain" ] && [ "$(wc -l <<<"$for_plain")" -eq 6 ] ||
  { echo "FAIL: --for does not print the three identifiers, then three more:"; echo "$for_plain"; exit 1; }
[ "$(head -n 1 <<<"$for_json")" = "$application $(python3 -c '
import json, sys; print(" ".join(json.loads(sys.argv[1])["contains"]))' "$json")" ] ||
  { echo "FAIL: --json --for names another application or contains more:"; echo "$for_json"; exit 1; }
[ "$(tail -n 3 <<<"$for_json")" = "$(tail -n 3 <<<"$for_plain")" ] ||
  { echo "FAIL: --json --for and --for disagree:"; echo "$for_json"; exit 1; }
grep -q "HMAC-SHA256 of the application name" <<<"$for_explain" &&
  grep -q "cannot be read back" <<<"$for_explain" ||
  { echo "FAIL: --explain --for does not say how the forms are made"; exit 1; }
for name in old new complicate; do
  identifier=$(sed -n "s/^nodmark_$name //p" <<<"$plain")
  expected=$(printf %s "$application" | openssl dgst -sha256 -hmac "$identifier" |
    sed 's/.*= //' | cut -c1-32 | tr a-f A-F)
  value=$(sed -n "s/^nodmark_${name}_for //p" <<<"$for_plain")
  [ "$value" = "$expected" ] ||
    { echo "FAIL: nodmark_${name}_for $value is not the HMAC over the name, $expected"; exit 1; }
  grep -qE "^nodmark_${name}_for +$value\$" <<<"$for_explain" ||
    { echo "FAIL: --explain --for does not show nodmark_${name}_for $value"; exit 1; }
  ! grep -q "$value" <<<"$for_other" ||
    { echo "FAIL: nodmark_${name}_for is $value for another application too"; exit 1; }
done
status=0
refusal=$(run --for "" --json 2>&1 >/dev/null | tr -d '\r') || status=$?
[ "$status" -eq 2 ] && [ "$(head -n 1 <<<"$refusal")" = \
  "nodmark: --for needs a non-empty APPLICATION name, such as com.example.invoicing" ] ||
  { echo "FAIL: an empty application name exits $status with:"; echo "$refusal"; exit 1; }

# The reports are named relative to the folder the tool starts in, so that the Windows
# build reads them too.
cd "$NODMARK_SYSTEM_DIR"
printf '%s\n' "$json" >saved.json
status=0
compare=$(run --compare saved.json 2>&1 | tr -d '\r') || status=$?
if [ "$status" -ne 0 ] || ! grep -q '^All three identifiers are the same' <<<"$compare"; then
  echo "FAIL: --compare of the saved report with this machine exits $status:"; echo "$compare"
  exit 1
fi
# A report written without kinds of data compares with this machine as the same, and
# says what it could not compare.
status=0
run --json --withhold adapter_descriptions,volume_serial 2>/dev/null | tr -d '\r' >withheld.json
compare=$(run --compare withheld.json 2>&1 | tr -d '\r') || status=$?
[ "$status" -eq 0 ] && grep -q '^Not compared: withheld from a report' <<<"$compare" ||
  { echo "FAIL: --compare of a report with withheld kinds exits $status:"; echo "$compare"; exit 1; }
echo 'nodmark_old 0011223344550000' >notes.json
status=0
refusal=$(run --compare notes.json 2>&1 >/dev/null | tr -d '\r') || status=$?
[ "$status" -eq 2 ] && [ "$(wc -l <<<"$refusal")" -eq 1 ] &&
  [[ "$refusal" == "nodmark: notes.json: not JSON: "* ]] ||
  { echo "FAIL: a report that is not JSON exits $status with:"; echo "$refusal"; exit 1; }

status=0
usage=$(run --no-such-option 2>&1 >/dev/null) || status=$?
[ "$status" -eq 2 ] || { echo "FAIL: unknown option exits $status, expected 2"; exit 1; }
[ "$(head -n1 <<<"$usage" | tr -d '\r')" = "nodmark: unknown argument '--no-such-option'" ] ||
  { echo "FAIL: the unknown option is not named first:"; echo "$usage"; exit 1; }
grep -q "usage: nodmark" <<<"$usage" || { echo "FAIL: no usage for an unknown option"; exit 1; }
# --seed-store prints nothing; the runs above left a value in the store, so it exits 0.
status=0
seeding=$(run --seed-store 2>&1) || status=$?
[ "$status" -eq 0 ] && [ -z "$seeding" ] ||
  { echo "FAIL: --seed-store over a kept value exits $status and prints:"; echo "$seeding"; exit 1; }
# Natively, a private store directory of its own: a kind to withhold that does not
# exist is refused before anything is read or written; --seed-store creates the
# directory and draws a value, and leaves an empty value as it is, with status 4.
if [ -z "$runner" ]; then
  export NODMARK_SYSTEM_DIR=$NODMARK_SYSTEM_DIR/refused
  status=0
  out=$(run --json --withhold random_id,serial 2>/dev/null) || status=$?
  [ "$status" -eq 2 ] && [ -z "$out" ] && [ ! -e "$NODMARK_SYSTEM_DIR" ] ||
    { echo "FAIL: an unknown kind to withhold exits $status, or wrote the store"; exit 1; }
  export NODMARK_SYSTEM_DIR=${NODMARK_SYSTEM_DIR%/refused}/fresh
  store=$NODMARK_SYSTEM_DIR/pub_store.dat
  run --seed-store && grep -qxE 'rand=[0-9A-Z]{3}' "$store" ||
    { echo "FAIL: --seed-store did not draw into a fresh directory"; exit 1; }
  printf '[nodmark]\nrand=\n' >"$store"
  status=0
  run --seed-store || status=$?
  [ "$status" -eq 4 ] && [ "$(cat "$store")" = $'[nodmark]\nrand=' ] ||
    { echo "FAIL: --seed-store over an empty value exits $status, the file holds:"; cat "$store"; exit 1; }
fi
echo "1 passed, 0 failed"
