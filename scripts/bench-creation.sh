#!/usr/bin/env bash
# Builds the Windows preset (whose test builds hold the creation benchmark) and runs the
# benchmark of one architecture under Wine in the build tree's private prefix, after
# printing the machine it runs on.
# Usage: scripts/bench-creation.sh [--pin] [--arch x86|x64] [rounds]
#   --pin   run on CPU 0 only (taskset -c 0), which steadies the figures
#   --arch  the DLL to measure (default x86)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

pin=()
arch=x86
while [ $# -gt 0 ]; do
  case $1 in
    --pin) pin=(taskset -c 0) ;;
    --arch) arch=$2; shift ;;
    *) break ;;
  esac
  shift
done
rounds=${1:-300}
system_flag=()
[ "$arch" = x64 ] && system_flag=(--64)

cmake --preset windows >/dev/null
cmake --build --preset windows >/dev/null

source scripts/wine-session.sh
nodmark_wine_start

# Invoke answers from the registered type library, so the DLL beside the benchmark is
# registered for the run when the prefix has no registration of the class yet, and
# unregistered afterwards. A registration already there is left alone.
bench_dir=build/windows/$arch-tests/bench
clsid_key='HKCR\CLSID\{0A47E819-F82E-4D5D-B806-6A9EA94D68CD}\InprocServer32'
dll_path=$(scripts/wine-run.sh winepath -w "$bench_dir/nodmark.dll" 2>/dev/null | tr -d '\r')
registered_here=0
if ! scripts/wine-run.sh "${system_flag[@]}" reg query "$clsid_key" >/dev/null 2>&1 &&
  scripts/wine-run.sh "${system_flag[@]}" regsvr32 /s "$dll_path" >/dev/null 2>&1; then
  registered_here=1
fi
finish() {
  if [ "$registered_here" = 1 ]; then
    scripts/wine-run.sh "${system_flag[@]}" regsvr32 /u /s "$dll_path" >/dev/null 2>&1 || true
  fi
  wineserver -k >/dev/null 2>&1 || true
}
trap finish EXIT

echo "nodmark.dll registered for this run (Invoke needs its type library): $([ $registered_here = 1 ] && echo yes || echo no)"
echo "host: $(uname -srm); $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'); $(nproc) CPUs; $(wine --version)"
echo "command: scripts/bench-creation.sh ${pin:+--pin }--arch $arch $rounds"
# The program runs in the prefix's main apartment and finds nodmark.dll beside it.
"${pin[@]}" scripts/wine-run.sh "$bench_dir/creation_bench.exe" "$rounds"
