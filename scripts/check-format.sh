#!/usr/bin/env bash
# Fails, naming the files, when a tracked C/C++ file differs from .clang-format's layout.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- \
  '*.h' '*.hpp' '*.c' '*.cc' '*.cpp' | while read -r f; do [ -f "$f" ] && echo "$f"; done)
[ ${#files[@]} -eq 0 ] && exit 0
# Eight files a clang-format run, on every core.
mapfile -t bad < <(printf '%s\0' "${files[@]}" | xargs -0 -n 8 -P "$(nproc)" sh -c '
  for f; do clang-format --style=file --dry-run -Werror "$f" >/dev/null 2>&1 || echo "$f"; done' sh |
  sort)
if [ ${#bad[@]} -ne 0 ]; then
  echo "not formatted with .clang-format (run: clang-format -i FILE):" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
