#!/usr/bin/env bash
# scripts/wine-prefix.sh start over a prefix whose persistent server an interrupted run
# left behind: it ends that server and starts its own, rather than waiting for a server
# that never exits. Wine is faked: its server keeps its state in a file of the prefix.
#
# usage: wine_prefix_test.sh SCRIPTS_DIR
set -euo pipefail
scripts=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
mkdir -p "$prefix" "$work/bin"
touch "$prefix/system.reg"

cat >"$work/bin/wineserver" <<'FAKE'
#!/usr/bin/env bash
state=$WINEPREFIX/server
case $1 in
  -p) echo persistent >"$state" ;;
  -k) [ -e "$state" ] || exit 1; rm -f "$state" ;;
  -w) while [ "$(cat "$state" 2>/dev/null)" = persistent ]; do sleep 0.1; done ;;
esac
FAKE
printf '#!/bin/sh\nexit 0\n' >"$work/bin/loader"
chmod +x "$work/bin/wineserver" "$work/bin/loader"

echo persistent >"$prefix/server"
status=0
PATH=$work/bin:$PATH NODMARK_WINEARCH=win32 NODMARK_I386_LOADER=$work/bin/loader \
  timeout 20 bash "$scripts/wine-prefix.sh" start "$prefix" >"$work/out" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
  echo "FAIL: start over a leftover persistent server exited with $status (124: it waited)" >&2
  cat "$work/out" >&2
  exit 1
fi
[ "$(cat "$prefix/server")" = persistent ] || { echo "FAIL: no persistent server after start" >&2; exit 1; }
echo "1 passed, 0 failed"
