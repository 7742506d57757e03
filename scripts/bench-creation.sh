#!/usr/bin/env bash
# Builds the win32 preset's creation benchmark and runs it under Wine in the build
# tree's private prefix, after printing the machine it runs on.
# Usage: scripts/bench-creation.sh [--pin] [rounds]
#   --pin   run on CPU 0 only (taskset -c 0), which steadies the figures
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

pin=()
if [ "${1:-}" = "--pin" ]; then
  pin=(taskset -c 0)
  shift
fi
rounds=${1:-300}

cmake --preset win32 >/dev/null
cmake --build --preset win32 --target creation_bench >/dev/null

source scripts/wine-session.sh
nodmark_wine_start

echo "host: $(uname -srm); $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'); $(nproc) CPUs; $(wine --version)"
echo "command: scripts/bench-creation.sh ${pin:+--pin }$rounds"
# The program runs in the prefix's main apartment and finds nodmark.dll beside it.
"${pin[@]}" scripts/wine-run.sh build/win32/bench/creation_bench.exe "$rounds"
