#!/usr/bin/env bash
# Fails, naming the files, when a tracked C/C++ file differs from .clang-format's layout.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- \
  '*.h' '*.hpp' '*.c' '*.cc' '*.cpp' | while read -r f; do [ -f "$f" ] && echo "$f"; done)
[ ${#files[@]} -eq 0 ] && exit 0
# One clang-format run for every file: starting it costs more than checking a file. It
# reports each place that differs as "FILE:LINE:COLUMN: error: ...".
status=0
report=$(clang-format --style=file --dry-run -Werror "${files[@]}" 2>&1 >/dev/null) || status=$?
mapfile -t bad < <(sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: .*/\1/p' <<<"$report" | sort -u)
if [ ${#bad[@]} -ne 0 ]; then
  echo "not formatted with .clang-format (run: clang-format -i FILE):" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
if [ "$status" -ne 0 ]; then
  echo "clang-format failed ($status):" >&2
  echo "$report" >&2
  exit 1
fi
