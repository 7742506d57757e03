#!/usr/bin/env bash
# Runs every test of every build: formatting, the native build (plain, under valgrind's
# memcheck, and with AddressSanitizer/UBSan), the 32- and 64-bit Windows builds under
# Wine, and a few seconds of each fuzz target from its committed seeds. Ends with how
# long each step took.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
started=$(date +%s)
since() { echo $(($(date +%s) - $1)); }
# timed NAME COMMAND...: runs the command, keeping its duration for the closing table.
timed() {
  local name=$1 s status=0
  shift
  s=$(date +%s)
  "$@" || status=$?
  since "$s" >"$work/$name.time"
  return $status
}
# build PRESET: configures and builds it, its output in its log.
build() { timed "build-$1" eval "cmake --preset $1 && cmake --build --preset $1" >"$work/build-$1.log" 2>&1; }
# run_tests PRESET [CTEST OPTION...]: its tests, their output in its log.
run_tests() {
  local preset=$1
  shift
  timed "tests-$preset" ctest --preset "$preset" "$@" >"$work/tests-$preset.log" 2>&1 || true
}

timed install-deps ./scripts/install-deps.sh
timed format ./scripts/check-format.sh

# Two lanes run at once, so that neither core idles while there is work:
# - Windows: the longest build (two architectures, each a shipped and a test build),
#   while the two architectures' Wine prefixes are made; then the Windows tests, each
#   architecture's in its own prefix, side by side.
# - native: the native, sanitizer and fuzz builds side by side at a lower priority, so
#   they take only what the Windows build leaves; then their tests, one preset after the
#   other.
windows_lane() {
  source scripts/wine-session.sh
  local prefixes=("$NODMARK_ROOT/build/windows/wineprefix-x86"
                  "$NODMARK_ROOT/build/windows/wineprefix-x64")
  local prefix
  for prefix in "${prefixes[@]}"; do
    NODMARK_WINEPREFIX=$prefix "$NODMARK_ROOT/scripts/wine-run.sh" cmd /c exit </dev/null \
      >/dev/null 2>&1 &
  done
  build windows || { touch "$work/failed-windows"; return 1; }
  wait
  nodmark_wine_start "${prefixes[@]}"
  # Each prefix's tests are serialised where they share its store file or registration;
  # the installer tests make prefixes of their own.
  run_tests windows --parallel 4
}
native_lane() {
  local preset failed=0
  declare -A jobs
  for preset in native asan fuzz; do
    (
      renice -n 10 "$BASHPID" >/dev/null
      build "$preset"
    ) &
    jobs[$preset]=$!
  done
  for preset in native asan fuzz; do
    wait "${jobs[$preset]}" || { touch "$work/failed-$preset"; failed=1; }
  done
  [ "$failed" -eq 0 ] || return 1
  for preset in native memcheck asan fuzz; do run_tests "$preset"; done
}
lanes_started=$(date +%s)
(windows_lane) &
windows_job=$!
(native_lane) &
native_job=$!
wait "$windows_job" || true
wait "$native_job" || true
since "$lanes_started" >"$work/lanes.time"

for preset in windows native asan fuzz; do
  if [ -e "$work/failed-$preset" ]; then
    cat "$work/build-$preset.log" >&2
    echo "build of the $preset preset failed" >&2
    exit 1
  fi
done

status=0
passed=0
failed=0
for preset in native memcheck asan windows fuzz; do
  echo "== tests: $preset"
  cat "$work/tests-$preset.log"
  # CTest's summary: "NN% tests passed, F tests failed out of T".
  summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$work/tests-$preset.log" |
            tail -n 1)
  if [ -z "$summary" ]; then
    echo "no test summary from the $preset preset" >&2
    status=1
    continue
  fi
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
  fails=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$summary")
  passed=$((passed + total - fails))
  failed=$((failed + fails))
  [ "$fails" -eq 0 ] || status=1
done

echo
echo "== where the time went (seconds; the two lanes run at once)"
row() { printf '  %-22s %4s\n' "$1" "$(cat "$work/$2.time")"; }
row install-deps install-deps
row format format
echo "  Windows lane:"
row "build: windows" build-windows
row "tests: windows" tests-windows
echo "  native lane:"
for preset in native asan fuzz; do row "build: $preset" "build-$preset"; done
for preset in native memcheck asan fuzz; do row "tests: $preset" "tests-$preset"; done
row "both lanes" lanes
printf '  %-22s %4s\n' total "$(since "$started")"
echo "total: $passed passed, $failed failed"
exit $status
