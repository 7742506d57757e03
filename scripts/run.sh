#!/usr/bin/env bash
# The main job: builds both flavours and shows this machine's identifiers, natively
# (this Linux machine) and as the 32-bit Windows build computes them under Wine.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

./scripts/install-deps.sh
for preset in native win32; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" >/dev/null
done

source scripts/wine-session.sh
nodmark_wine_start

echo "== this Linux machine (native tool)"
build/native/tools/nodmark
echo "== under Wine (win32 tool, prefix $NODMARK_WINEPREFIX)"
scripts/wine-run.sh build/win32/tools/nodmark.exe | tr -d '\r'
