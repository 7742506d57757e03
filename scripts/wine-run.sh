#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix.
# The prefix lives in the build tree (NODMARK_WINEPREFIX, default build/win32/wineprefix)
# and is created on first use; the user's own ~/.wine is never touched.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX=${NODMARK_WINEPREFIX:-$here/../build/win32/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win32
unset DISPLAY

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  # Two test programs may start at once on a fresh tree: one of them creates the prefix.
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  flock -u 9
fi

exec wine "$@"
