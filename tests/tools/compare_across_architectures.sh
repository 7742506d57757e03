#!/usr/bin/env bash
# nodmark.exe --compare of one architecture against a report that the other
# architecture's nodmark.exe saved in the same prefix: both builds read the same
# machine and the same store file, so every input is the same and all three identifiers
# are the same (exit status 0), in the text and in --json. Where the two processes see
# different processors (one of them under an emulator, tests/windows/processor_seen.py),
# the processor signature is the one input that moved and nodmark_complicate the one
# identifier that differs, by exactly what that signature makes of it.
#
# usage: compare_across_architectures.sh WINE_RUN TOOL OTHER_ARCHITECTURE_TOOL
set -euo pipefail
wine_run=$1 tool=$2 other=$3
processor_seen=$(cd "$(dirname "${BASH_SOURCE[0]}")/../windows" && pwd)/processor_seen.py
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The Windows programs take the report by a path relative to the folder they start in.
cd "$work"

"$wine_run" "$other" --json >report.json 2>/dev/null
"$wine_run" "$tool" --json >own.json 2>/dev/null
status=0
"$wine_run" "$tool" --compare report.json >text.txt 2>&1 || status=$?
tr -d '\r' <text.txt >compare.txt
text_status=$status
status=0
"$wine_run" "$tool" --compare report.json --json >json.txt 2>&1 || status=$?
PYTHONPATH=${processor_seen%/*} python3 - "$text_status" "$status" <<'PY' || { cat compare.txt; exit 1; }
import json, sys
from processor_seen import identifiers_seen_by, processor_of
text_status, json_status = int(sys.argv[1]), int(sys.argv[2])
before, after = json.load(open("report.json")), json.load(open("own.json"))
comparison = json.loads(open("json.txt").read())
text = open("compare.txt").read()
names = ("nodmark_old", "nodmark_new", "nodmark_complicate")
expected = identifiers_seen_by(before, processor_of(after))
if {name: after[name] for name in names} != expected:
    sys.exit(f"FAIL: this tool's identifiers are not those of the other's inputs: {expected}")
moved = [change["input"] for change in comparison["changes"]]
differing = [name for name, identifier in comparison["identifiers"].items() if not identifier["same"]]
if processor_of(before) == processor_of(after):
    if (text_status, json_status) != (0, 0) or not comparison["all_same"] or comparison["changes"]:
        sys.exit(f"FAIL: --compare exited {text_status} and --json {json_status}: {comparison}")
    if "All three identifiers are the same" not in text or "nothing: every input is as it was" not in text:
        sys.exit("FAIL: the text does not say that nothing moved")
else:
    print(f"the processes see different processors: {processor_of(before)}, {processor_of(after)}")
    if text_status == 0 or text_status != json_status or comparison["all_same"]:
        sys.exit(f"FAIL: --compare exited {text_status} and --json {json_status}: {comparison}")
    if moved != ["processor"] or differing != ["nodmark_complicate"]:
        sys.exit(f"FAIL: moved {moved}, differing {differing}, not the processor and nodmark_complicate alone")
    if "Processor signature" not in text:
        sys.exit("FAIL: the text does not name the processor signature")
print("1 passed, 0 failed")
PY
