#!/usr/bin/env bash
# The main job: builds both flavours, registers nodmark.dll in the project's private
# Wine prefix with regsvr32, and shows this machine's identifiers side by side: as
# the native tool computes them on this Linux machine, and as a script host reads
# them from the registered component under Wine (examples/jscript_client.js).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

# Runs a command silently, showing its output only when it fails.
quietly() {
  local log
  log=$(mktemp)
  if ! "$@" >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    echo "run.sh: failed: $*" >&2
    exit 1
  fi
  rm -f "$log"
}

./scripts/install-deps.sh
for preset in native win32; do
  quietly cmake --preset "$preset"
  quietly cmake --build --preset "$preset"
done

source scripts/wine-session.sh
nodmark_wine_start
windows_path() { scripts/wine-run.sh winepath -w "$1" | tr -d '\r'; }

dll=$(windows_path build/win32/shell/nodmark.dll)
quietly scripts/wine-run.sh regsvr32 /s "$dll"
echo "registered $dll in the Wine prefix $NODMARK_WINEPREFIX"

native_notes=$(mktemp)
native=$(build/native/tools/nodmark 2>"$native_notes")
if ! script=$(scripts/wine-run.sh cscript //nologo "$(windows_path examples/jscript_client.js)" |
              tr -d '\r'); then
  echo "$script" >&2
  exit 1
fi

echo
printf '%-20s %-34s %s\n' property "this Linux machine (native tool)" \
  "under Wine (JScript client, by ProgID)"
paste -d ' ' <(echo "$native") <(echo "$script") |
  awk '{ printf "%-20s %-34s %s\n", $1, $2, ($3 == $1 ? $4 : "?") }'
echo
cat "$native_notes"
rm -f "$native_notes"
