#!/usr/bin/env bash
# nodmark.exe --compare of one architecture against a report that the other
# architecture's nodmark.exe saved in the same prefix: both builds read the same
# machine and the same store file, so every identifier is the same and no input moved
# (exit status 0), in the text and in --json.
#
# usage: compare_across_architectures.sh WINE_RUN TOOL OTHER_ARCHITECTURE_TOOL
set -euo pipefail
wine_run=$1 tool=$2 other=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The Windows programs take the report by a path relative to the folder they start in.
cd "$work"

"$wine_run" "$other" --json >report.json 2>/dev/null
status=0
"$wine_run" "$tool" --compare report.json >text.txt 2>&1 || status=$?
tr -d '\r' <text.txt >compare.txt
if [ "$status" -ne 0 ] || ! grep -q '^All three identifiers are the same' compare.txt ||
   ! grep -q '^  nothing: every input is as it was$' compare.txt; then
  echo "FAIL: --compare against the other architecture's report exited $status:"
  cat compare.txt
  exit 1
fi
status=0
"$wine_run" "$tool" --compare report.json --json >json.txt 2>&1 || status=$?
python3 - json.txt "$status" <<'PY' || exit 1
import json, sys
text, status = open(sys.argv[1]).read(), int(sys.argv[2])
comparison = json.loads(text)
if status != 0 or not comparison["all_same"] or comparison["changes"]:
    sys.exit(f"FAIL: --compare --json exited {status}: {text}")
PY
echo "1 passed, 0 failed"
