#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix.
# The prefix lives in the build tree (NODMARK_WINEPREFIX, default build/windows/wineprefix),
# is 64-bit (it runs 32- and 64-bit programs, each in its own registry view, as 64-bit
# Windows does) and is created on first use; the user's own ~/.wine is never touched.
#
# usage: wine-run.sh [--64] PROGRAM [ARGUMENT...]
# A system program named without a folder or under C:\windows\system32 (regsvr32,
# cscript, reg, msiexec) starts as its 32-bit build from syswow64; --64 starts the
# 64-bit one. Programs given by their own path run as what they are.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX=${NODMARK_WINEPREFIX:-$here/../build/windows/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64
unset DISPLAY

loader=wine
if [ "${1:-}" = --64 ]; then
  loader=/usr/lib/wine/wine64
  shift
fi

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

exec "$loader" "$@"
