#!/usr/bin/env bash
# Builds the fuzz targets (build preset "fuzz" of the "asan" build: clang, libFuzzer,
# AddressSanitizer, UBSan) and runs each for a while, one after the other, from its
# committed seeds and whatever the earlier runs found (build/asan/fuzz/work/corpus/NAME).
#
#   scripts/fuzz.sh [-t SECONDS] [--merge] [TARGET...]
#
#   -t SECONDS  how long each target runs (default 60)
#   --merge     afterwards, add to fuzz/corpus/NAME the inputs found that reach coverage
#               its seeds do not, to be committed as seeds
#   TARGET      only these targets (default: every one)
#
# Stops at the first target that crashes, leaks or breaks a property; its input is saved
# under build/asan/fuzz/work/artifacts.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

seconds=60
merge=0
targets=()
while [ $# -gt 0 ]; do
  case $1 in
    -t) seconds=$2; shift 2 ;;
    --merge) merge=1; shift ;;
    -h|--help) sed -n '2,15p' "$0"; exit 0 ;;
    *) targets+=("$1"); shift ;;
  esac
done
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets < <(cd fuzz/corpus && ls)
fi

cmake --preset asan >/dev/null
cmake --build --preset fuzz >/dev/null

bin=build/asan/fuzz
work=$bin/work
for target in "${targets[@]}"; do
  bash fuzz/run_fuzzer.sh "$bin/$target" "fuzz/corpus/$target" "$work" "$seconds"
  if [ "$merge" -eq 1 ]; then
    "$bin/$target" -merge=1 -max_len=4096 "fuzz/corpus/$target" "$work/corpus/$target" \
      >"$work/$target.merge.log" 2>&1
    echo "$target: $(ls "fuzz/corpus/$target" | wc -l) seeds"
  fi
done
