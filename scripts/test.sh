#!/usr/bin/env bash
# Runs every test of every build: formatting, the native build (plain, under valgrind's
# memcheck, and with AddressSanitizer/UBSan), the 32- and 64-bit Windows builds under
# Wine, and a few seconds of each fuzz target from its committed seeds. Ends with how
# long each step took.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

work=$(mktemp -d)
timings=$work/timings
# step NAME SECONDS: one line of the closing table.
step() { printf '%-28s %4d s\n' "$1" "$2" >>"$timings"; }
started=$(date +%s)
since() { echo $(($(date +%s) - $1)); }

t=$(date +%s)
./scripts/install-deps.sh
step "install-deps" "$(since "$t")"
t=$(date +%s)
./scripts/check-format.sh
step "format" "$(since "$t")"

# The four builds run side by side, each in its own tree, while the Wine prefixes of the
# two architectures' tests are made: each build alone leaves one of the two cores idle
# much of the time (configure steps, links, the Windows build's external projects
# waiting on each other). The Windows build is the longest and starts first. Each
# build's output goes to a log, shown when that build fails.
source scripts/wine-session.sh
prefixes=("$NODMARK_ROOT/build/windows/wineprefix-x86" "$NODMARK_ROOT/build/windows/wineprefix-x64")
trap 'nodmark_wine_stop; rm -rf "$work"' EXIT
presets=(windows native asan fuzz)
declare -A build_jobs
t=$(date +%s)
for preset in "${presets[@]}"; do
  (
    s=$(date +%s)
    cmake --preset "$preset" && cmake --build --preset "$preset"
    since "$s" >"$work/$preset.build-time"
  ) >"$work/$preset.build.log" 2>&1 &
  build_jobs[$preset]=$!
done
for prefix in "${prefixes[@]}"; do
  NODMARK_WINEPREFIX=$prefix "$NODMARK_ROOT/scripts/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1 &
done
for preset in "${presets[@]}"; do
  if ! wait "${build_jobs[$preset]}"; then
    cat "$work/$preset.build.log" >&2
    echo "build of the $preset preset failed" >&2
    exit 1
  fi
  step "build: $preset" "$(cat "$work/$preset.build-time")"
done
wait
step "builds (side by side)" "$(since "$t")"
nodmark_wine_start "${prefixes[@]}"
trap 'nodmark_wine_stop; rm -rf "$work"' EXIT  # nodmark_wine_start set a trap of its own

# The tests run in two lanes at once: the Windows tests, which spend much of their time
# starting Wine processes and waiting on them, and the native presets one after the
# other. Each preset's output is kept and shown in order once both lanes are done.
# run_tests PRESET [CTEST OPTION...]: a preset's tests, its output in its log.
run_tests() {
  local preset=$1 s
  shift
  s=$(date +%s)
  ctest --preset "$preset" "$@" >"$work/$preset.test.log" 2>&1 || true
  since "$s" >"$work/$preset.test-time"
}
t=$(date +%s)
# Two prefixes, each with its tests serialised where they share its store file or
# registration, and the installer tests in prefixes of their own.
run_tests windows --parallel 4 &
windows_lane=$!
for preset in native memcheck asan fuzz; do run_tests "$preset"; done
wait "$windows_lane"
tests_time=$(since "$t")

status=0
passed=0
failed=0
for preset in native memcheck asan windows fuzz; do
  echo "== tests: $preset"
  cat "$work/$preset.test.log"
  step "tests: $preset" "$(cat "$work/$preset.test-time")"
  # CTest's summary: "NN% tests passed, F tests failed out of T".
  summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$work/$preset.test.log" |
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
step "tests (two lanes)" "$tests_time"
step "total" "$(since "$started")"
echo
echo "== where the time went"
cat "$timings"
echo "total: $passed passed, $failed failed"
exit $status
