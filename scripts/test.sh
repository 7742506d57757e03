#!/usr/bin/env bash
# Runs every test: the formatting; the native build's tests, plain and whole under
# valgrind's memcheck; the clang build's, with AddressSanitizer and UBSan, which runs
# each fuzz target from its committed seeds too for a few seconds; and both Windows
# architectures' under Wine. What runs on this host is CTest's plan, made when the builds are configured
# (cmake/host_kind.cmake); this script only builds and calls CTest. Ends with how long
# each step took and the closing line "total: N passed, F failed[, M not run]".
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
say() { echo "test.sh: $*"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
started=$(date +%s)
# timed NAME COMMAND...: runs the command, its output in NAME's log and its duration
# kept for the closing table.
timed() {
  local name=$1 s status=0
  shift
  s=$(date +%s)
  "$@" >"$work/$name.log" 2>&1 || status=$?
  echo $(($(date +%s) - s)) >"$work/$name.time"
  return $status
}
build() { cmake --preset "$1" && cmake --build --preset "$1"; }

say "installing what is missing (scripts/install-deps.sh)"
./scripts/install-deps.sh
say "checking the formatting"
timed format ./scripts/check-format.sh || { cat "$work/format.log" >&2; exit 1; }

# Two lanes at once, so that neither core idles while there is work: the Windows build
# (two architectures, each a shipped and a test build), then its tests under Wine,
# which are the longest; beside it, at a lower priority, the native and sanitizer
# builds one after the other, then their tests.
windows_lane() {
  timed build-windows build windows || { touch "$work/failed-windows"; return 1; }
  say "windows lane: built in $(cat "$work/build-windows.time") s; running its tests under Wine"
  timed tests-windows ctest --preset windows || true
  say "windows lane: tests done in $(cat "$work/tests-windows.time") s"
}
native_lane() {
  local preset
  renice -n 10 "$BASHPID" >/dev/null
  for preset in native asan; do
    timed "build-$preset" build "$preset" || { touch "$work/failed-$preset"; return 1; }
    say "native lane: the $preset build ended ($(cat "$work/build-$preset.time") s)"
  done
  for preset in native memcheck asan; do
    timed "tests-$preset" ctest --preset "$preset" || true
    say "native lane: the $preset tests ended ($(cat "$work/tests-$preset.time") s)"
  done
}
say "building and testing: the Windows lane beside the native one"
lanes_started=$(date +%s)
windows_lane &
windows_job=$!
native_lane &
native_job=$!
wait "$windows_job" || true
wait "$native_job" || true
echo $(($(date +%s) - lanes_started)) >"$work/lanes.time"
for preset in windows native asan; do
  if [ -e "$work/failed-$preset" ]; then
    tail -n 60 "$work/build-$preset.log" >&2
    echo "test.sh: the $preset build failed (its log's end above)" >&2
    exit 1
  fi
done
sed -n 's/^-- 32-bit programs: /test.sh: 32-bit programs: /p' "$work/build-windows.log" | head -n 1

# CTest's own summaries, added up: "NN% tests passed, F tests failed out of T", and the
# tests it did not run ("(Disabled)"), with the reason the configuration gave.
passed=0 failed=0 not_run=0 status=0
for preset in native memcheck asan windows; do
  echo "== tests: $preset"
  cat "$work/tests-$preset.log"
  summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$work/tests-$preset.log" | tail -n 1) || true
  if [ -z "$summary" ]; then
    echo "test.sh: no test summary from the $preset preset" >&2
    status=1
    continue
  fi
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
  fails=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$summary")
  disabled=$(grep -cE '^\s+[0-9]+ - .* \(Disabled\)$' "$work/tests-$preset.log") || true
  passed=$((passed + total - fails))
  failed=$((failed + fails))
  not_run=$((not_run + disabled))
  [ "$fails" -eq 0 ] || status=1
done
if [ "$not_run" -ne 0 ]; then
  echo
  echo "== not run: $not_run tests that start 32-bit programs, which this host runs none of:"
  echo "   $(sed -n 's/^-- 32-bit programs: none (\(.*\))$/\1/p' "$work/build-windows.log" | head -n 1)"
fi

echo
echo "== where the time went (seconds; the two lanes run at once)"
row() { printf '  %-22s %4s\n' "$1" "$(cat "$work/$2.time")"; }
row format format
echo "  Windows lane:"
row "build: windows" build-windows
row "tests: windows" tests-windows
echo "  native lane:"
for preset in native asan; do row "build: $preset" "build-$preset"; done
for preset in native memcheck asan; do row "tests: $preset" "tests-$preset"; done
row "both lanes" lanes
printf '  %-22s %4s\n' total $(($(date +%s) - started))
echo "total: $passed passed, $failed failed${not_run:+, $not_run skipped}" | sed 's/, 0 skipped$//'
exit $status
