#!/usr/bin/env bash
# Runs every test of every build: formatting, the native build (plain, under valgrind's
# memcheck, and with AddressSanitizer/UBSan), the 32- and 64-bit Windows builds under
# Wine, and a few seconds of each fuzz target from its committed seeds.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

./scripts/install-deps.sh
./scripts/check-format.sh

# The four builds run side by side, each in its own tree, with the Wine prefix being
# created meanwhile: each of them alone leaves one of the two cores idle much of the
# time (configure steps, links, the Windows build's external projects waiting on each
# other). Each build's output goes to a log, shown when that build fails.
source scripts/wine-session.sh
build_logs=$(mktemp -d)
"$NODMARK_ROOT/scripts/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1 &
prefix_job=$!
declare -A build_jobs
for preset in native asan windows fuzz; do
  { cmake --preset "$preset" && cmake --build --preset "$preset"; } >"$build_logs/$preset.log" 2>&1 &
  build_jobs[$preset]=$!
done
for preset in native asan windows fuzz; do
  if ! wait "${build_jobs[$preset]}"; then
    cat "$build_logs/$preset.log" >&2
    echo "build of the $preset preset failed" >&2
    exit 1
  fi
  echo "== built: $preset"
done
rm -rf "$build_logs"
wait "$prefix_job" || true
nodmark_wine_start

status=0
passed=0
failed=0
log=$(mktemp)
trap 'rm -f "$log"; wineserver -k >/dev/null 2>&1 || true' EXIT
for preset in native memcheck asan windows fuzz; do
  echo "== tests: $preset"
  ctest --preset "$preset" 2>&1 | tee "$log" || true
  # CTest's summary: "NN% tests passed, F tests failed out of T".
  summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
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
echo "total: $passed passed, $failed failed"
exit $status
