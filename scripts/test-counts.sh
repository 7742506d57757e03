# Sourced by scripts/test.sh: adds up what the test presets' CTest logs say, and the
# Windows tests of the 32-bit DLL left out for want of 32-bit programs.
# shellcheck shell=bash

# nodmark_count_tests DIR PRESET...: prints DIR/tests-PRESET.log of each preset and adds
# up its summary; DIR/skipped-windows, where present, holds how many Windows tests were
# left out (labels $skipped_labels, for the reason $NODMARK_I386_WHY). Sets passed,
# failed and skipped, and count_status: 1 where a test failed, a log has no summary, or
# a test was skipped while NODMARK_REQUIRE_32BIT=1 (the skipped tests then count as
# failed).
nodmark_count_tests() {
  local dir=$1 preset summary total fails
  shift
  passed=0 failed=0 skipped=0 count_status=0
  for preset in "$@"; do
    echo "== tests: $preset"
    cat "$dir/tests-$preset.log"
    # CTest's summary: "NN% tests passed, F tests failed out of T".
    summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$dir/tests-$preset.log" |
              tail -n 1) || true
    if [ -z "$summary" ]; then
      echo "no test summary from the $preset preset" >&2
      count_status=1
      continue
    fi
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
    fails=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$summary")
    passed=$((passed + total - fails))
    failed=$((failed + fails))
    [ "$fails" -eq 0 ] || count_status=1
  done

  [ -s "$dir/skipped-windows" ] || return 0
  skipped=$(cat "$dir/skipped-windows")
  echo
  echo "== skipped: $skipped Windows tests of the 32-bit DLL (labels $skipped_labels): $NODMARK_I386_WHY"
  [ "$NODMARK_I386" = none ] || echo "   (the 32-bit DLL was tested by x86_smoke, in one 32-bit process)"
  if [ "${NODMARK_REQUIRE_32BIT:-0}" = 1 ]; then
    echo "NODMARK_REQUIRE_32BIT=1: every 32-bit test must run; the $skipped skipped fail the run" >&2
    failed=$((failed + skipped))
    skipped=0
    count_status=1
  fi
}
