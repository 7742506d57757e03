#!/usr/bin/env bash
# Runs one fuzz target for a while: run_fuzzer.sh BINARY SEED_DIR WORK_DIR SECONDS.
# New inputs go to WORK_DIR/corpus/NAME, never into the committed seeds; a crash, leak or
# broken property leaves its input as WORK_DIR/artifacts/NAME-crash-... and fails the run.
# Prints libFuzzer's final count as "NAME: N runs in S s".
set -euo pipefail
binary=$1 seeds=$2 work=$3 seconds=$4
name=$(basename "$binary")
mkdir -p "$work/corpus/$name" "$work/artifacts"
log="$work/$name.log"

status=0
"$binary" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$work/artifacts/$name-" \
  "$work/corpus/$name" "$seeds" >"$log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
  tail -n 60 "$log" >&2
  echo "$name: FAILED (exit $status); input saved under $work/artifacts" >&2
  exit "$status"
fi
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
echo "$name: ${runs:-?} runs in ${seconds} s"
