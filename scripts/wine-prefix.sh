#!/usr/bin/env bash
# Makes a Wine prefix and keeps its server running, or stops it: the setup and cleanup
# of the CTest fixture that each prefix's tests require, and of the main job's prefix.
#
# usage: wine-prefix.sh make|start|stop PREFIX
# make makes PREFIX where it does not exist (scripts/wine-env.sh says what kind). start
# makes it too, then starts a persistent wineserver and Wine's background services, so that no program of
# the tests pays for their start. Everything it leaves running has its output on
# /dev/null: a test runner reading the output of this script would otherwise wait for
# them. stop ends the server and every program of the prefix.
set -euo pipefail
action=${1:-} prefix=${2:-}
usage() { echo "usage: wine-prefix.sh make|start|stop PREFIX" >&2; exit 2; }
case $action in make | start | stop) ;; *) usage ;; esac
[ -n "$prefix" ] || usage
export NODMARK_WINEPREFIX=$prefix
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

if [ "$action" = stop ]; then
  wineserver -k >/dev/null 2>&1 || true
  echo "wine-prefix: stopped the server of $prefix"
  exit 0
fi

started=$(date +%s)
loader=$nodmark_wine64
[ "$WINEARCH" != win32 ] || loader=$nodmark_wine32
if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$(dirname "$prefix")"
  # Two runs may start at once on a fresh tree: one of them makes the prefix.
  exec 9>"$prefix.lock"
  flock 9
  if [ ! -f "$prefix/system.reg" ]; then
    echo "wine-prefix: making $prefix ($WINEARCH)"
    "$loader" wineboot -i </dev/null >/dev/null 2>&1 || true
    wineserver -w
  fi
  flock -u 9
fi
[ "$action" = start ] || exit 0
# A server that a program started lingers for a few seconds after it; a persistent one
# can only take over once it has gone. A persistent server left by a run that never
# reached its stop would never go by itself: it is ended first.
wineserver -k >/dev/null 2>&1 || true
wineserver -w
wineserver -p </dev/null >/dev/null 2>&1
# The first program of a server session starts the background services, which live as
# long as the server.
"$loader" cmd /c exit </dev/null >/dev/null 2>&1 || true
echo "wine-prefix: $prefix ready, its server running ($(($(date +%s) - started)) s)"
