#!/usr/bin/env bash
# Builds the test build of one Windows architecture (which holds the creation benchmark)
# and runs the benchmark under Wine in the build tree's private prefix, after printing
# the machine it runs on. Where that architecture's programs do not run here, as the
# Windows build's configuration found, it says why and exits 1.
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
    --arch) arch=${2:-}; shift ;;
    -*) echo "usage: scripts/bench-creation.sh [--pin] [--arch x86|x64] [rounds]" >&2; exit 2 ;;
    *) break ;;
  esac
  shift
done
rounds=${1:-300}
system_flag=()
[ "$arch" = x64 ] && system_flag=(--64)

case $arch in x86 | x64) ;; *) echo "bench-creation.sh: --arch is x86 or x64, not '$arch'" >&2; exit 2 ;; esac
cmake --preset windows >/dev/null
read -r -a running <build/windows/running-architectures.txt
if [[ " ${running[*]} " != *" $arch "* ]]; then
  echo "bench-creation.sh: the $arch benchmark cannot run on this host: $(sed -n 2p build/windows/running-architectures.txt)" >&2
  echo "bench-creation.sh: --arch x64 runs here" >&2
  exit 1
fi
echo "bench-creation.sh: building the $arch test build"
cmake --build --preset windows --target "tests_$arch" >/dev/null

export NODMARK_WINEPREFIX=$PWD/build/windows/wineprefix
scripts/wine-prefix.sh start "$NODMARK_WINEPREFIX" >/dev/null

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
  scripts/wine-prefix.sh stop "$NODMARK_WINEPREFIX" >/dev/null
}
trap finish EXIT

echo "nodmark.dll registered for this run (Invoke needs its type library): $([ $registered_here = 1 ] && echo yes || echo no)"
echo "host: $(uname -srm); $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'); $(nproc) CPUs; $(wine --version)"
echo "command: scripts/bench-creation.sh ${pin:+--pin }--arch $arch $rounds"
# The program runs in the prefix's main apartment and finds nodmark.dll beside it.
"${pin[@]}" scripts/wine-run.sh "$bench_dir/creation_bench.exe" "$rounds"
