#!/usr/bin/env bash
# Runs every test of both builds: formatting, the native build (plain, under valgrind's
# memcheck, and with AddressSanitizer/UBSan), the 32-bit Windows build under Wine, and a
# few seconds of each fuzz target from its committed seeds.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

./scripts/install-deps.sh
./scripts/check-format.sh

for preset in native asan win32 fuzz; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

source scripts/wine-session.sh
nodmark_wine_start

status=0
for preset in native memcheck asan win32 fuzz; do
  echo "== tests: $preset"
  ctest --preset "$preset" || status=1
done
exit $status
