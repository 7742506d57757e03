#!/usr/bin/env bash
# Runs every test of every build: formatting, the native build (plain, under valgrind's
# memcheck, and with AddressSanitizer/UBSan), the 32- and 64-bit Windows builds under
# Wine, and a few seconds of each fuzz target from its committed seeds. Ends with how
# long each step took.
#
# Where 32-bit programs run only under emulation (scripts/i386-support.sh), the 32-bit
# DLL is tested by one smoke test (x86_smoke) and the other 32-bit tests are skipped;
# where they do not run at all, all 32-bit tests are skipped. NODMARK_REQUIRE_32BIT=1
# turns such a skip into a failure.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
say() { echo "test.sh: $*"; }

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
# build PRESET [CONFIGURE OPTION...]: configures and builds it, its output in its log.
configure_and_build() { cmake --preset "$1" "${@:2}" && cmake --build --preset "$1"; }
build() { timed "build-$1" configure_and_build "$@" >"$work/build-$1.log" 2>&1; }
# run_tests PRESET [CTEST OPTION...]: its tests, their output in its log.
run_tests() {
  local preset=$1
  shift
  timed "tests-$preset" ctest --preset "$preset" "$@" >"$work/tests-$preset.log" 2>&1 || true
}

say "installing what is missing (scripts/install-deps.sh)"
timed install-deps ./scripts/install-deps.sh
say "checking the formatting"
timed format ./scripts/check-format.sh

source scripts/i386-support.sh
nodmark_i386_support
export NODMARK_I386 NODMARK_I386_WHY
say "32-bit programs: $NODMARK_I386 ($NODMARK_I386_WHY)"
# The Windows tests left out here: by label, a regular expression.
# Of the 32-bit test programs only those that run are built.
case $NODMARK_I386 in
  native) skipped_labels= x86_test_targets=all ;;
  emulated) skipped_labels='^x86$' x86_test_targets=shell_registered_test ;;
  *) skipped_labels='^x86' x86_test_targets=shell_registered_test ;;
esac

# Two lanes run at once, so that neither core idles while there is work:
# - Windows: the longest build (two architectures, each a shipped and a test build),
#   while the Wine prefixes are made; then the Windows tests, each
#   architecture's in its own prefix, side by side.
# - native: the native, sanitizer and fuzz builds side by side at a lower priority, so
#   they take only what the Windows build leaves; then their tests, one preset after the
#   other.
windows_lane() {
  source scripts/wine-session.sh
  # The prefix of the 64-bit tests gets a 32-bit half only where 32-bit programs run
  # natively: under emulation that half takes minutes, and only the smoke test, in a
  # prefix of its own, needs it there.
  local prefixes=("$NODMARK_ROOT/build/windows/wineprefix-x64") prefix wow64
  [ "$NODMARK_I386" != native ] || prefixes+=("$NODMARK_ROOT/build/windows/wineprefix-x86")
  [ "$NODMARK_I386" = none ] || prefixes+=("$NODMARK_ROOT/build/windows/wineprefix-smoke")
  say "windows lane: building both architectures while making the Wine prefixes ${prefixes[*]##*/}"
  for prefix in "${prefixes[@]}"; do
    wow64=yes
    [ "${prefix##*-}" != x64 ] || [ "$NODMARK_I386" = native ] || wow64=no
    (
      started=$(date +%s)
      NODMARK_WINEPREFIX=$prefix NODMARK_WINE_WOW64=$wow64 "$NODMARK_ROOT/scripts/wine-run.sh" \
        --64 cmd /c exit </dev/null >/dev/null 2>&1
      say "windows lane: the Wine prefix ${prefix##*/} is ready ($(since "$started") s)"
    ) &
  done
  build windows "-DNODMARK_X86_TEST_TARGETS=$x86_test_targets" || { touch "$work/failed-windows"; return 1; }
  say "windows lane: built in $(cat "$work/build-windows.time") s; waiting for the prefixes"
  wait
  nodmark_wine_start "${prefixes[@]}"
  # Each prefix's tests are serialised where they share its store file or registration;
  # the installer tests make prefixes of their own.
  say "windows lane: running the tests under Wine${skipped_labels:+ (leaving out the labels $skipped_labels)}"
  run_tests windows --parallel 4 ${skipped_labels:+-LE "$skipped_labels"}
  say "windows lane: tests done in $(cat "$work/tests-windows.time") s"
  if [ -n "$skipped_labels" ]; then
    ctest --preset windows -N -L "$skipped_labels" | sed -nE 's/^Total Tests: ([0-9]+)$/\1/p' \
      >"$work/skipped-windows"
  fi
}
native_lane() {
  local preset failed=0
  declare -A jobs
  say "native lane: building the native, asan and fuzz presets at a lower priority"
  for preset in native asan fuzz; do
    (
      renice -n 10 "$BASHPID" >/dev/null
      build "$preset"
    ) &
    jobs[$preset]=$!
  done
  for preset in native asan fuzz; do
    wait "${jobs[$preset]}" || { touch "$work/failed-$preset"; failed=1; }
    say "native lane: the $preset build ended ($(cat "$work/build-$preset.time") s)"
  done
  [ "$failed" -eq 0 ] || return 1
  for preset in native memcheck asan fuzz; do
    say "native lane: running the $preset tests"
    run_tests "$preset"
  done
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

source scripts/test-counts.sh
nodmark_count_tests "$work" native memcheck asan windows fuzz
status=$count_status

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
skipped_text=
[ "$skipped" -eq 0 ] || skipped_text=", $skipped skipped"
echo "total: $passed passed, $failed failed$skipped_text"
exit $status
