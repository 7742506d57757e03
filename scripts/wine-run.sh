#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix.
# The prefix lives in the build tree (NODMARK_WINEPREFIX, default build/windows/wineprefix),
# is 64-bit (it runs 32- and 64-bit programs, each in its own registry view, as 64-bit
# Windows does) and is created on first use; the user's own ~/.wine is never touched.
#
# usage: wine-run.sh [--64] PROGRAM [ARGUMENT...]
# A system program named without a folder or under C:\windows\system32 (regsvr32,
# cscript, reg, msiexec) starts as its 32-bit build from syswow64; --64 starts the
# 64-bit one. Programs given by their own path run as what they are. Wine's own tools
# (winepath, wineboot) always run as 64-bit programs: they answer the same either way.
#
# Every 32-bit program goes through Wine's i386 loader, itself a 32-bit Linux program,
# and every 64-bit one through the 64-bit loader alone, so that 64-bit programs run on a
# host whose kernel runs no 32-bit programs (scripts/i386-support.sh). With
# NODMARK_WINE_WOW64=no a prefix made here gets no 32-bit half where 32-bit programs run
# only under emulation, where that half would take minutes: for the tests of 64-bit
# programs alone.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX=${NODMARK_WINEPREFIX:-$here/../build/windows/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64
unset DISPLAY

wine32=${NODMARK_I386_LOADER:-/usr/lib/wine/wine}
wine64=/usr/lib/wine/wine64

# The machine field of a PE file's header: 8664 for x86-64, 014c for i386.
pe_machine() {
  local pe_offset
  pe_offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 1
  [ -n "$pe_offset" ] || return 1
  od -An -tx2 -j$((pe_offset + 4)) -N2 "$1" 2>/dev/null | tr -d ' '
}

loader=$wine32
case "${1:-}" in
  --64)
    loader=$wine64
    shift
    ;;
  winepath | wineboot) loader=$wine64 ;;
  *)
    if [ -f "${1:-}" ] && [ "$(pe_machine "$1")" = 8664 ]; then loader=$wine64; fi
    ;;
esac

if [ "$loader" = "$wine32" ] && [ "${NODMARK_I386:-}" = none ]; then
  echo "wine-run.sh: cannot run the 32-bit program $1: ${NODMARK_I386_WHY:-this host runs no 32-bit programs}" >&2
  exit 126
fi

# Makes the prefix with the 64-bit wineboot. Where NODMARK_WINE_WOW64=no and 32-bit
# programs run only under emulation, the 32-bit loader is hidden from it in a mount
# namespace of its own (root only; elsewhere the prefix gets its 32-bit half, slowly).
make_prefix() {
  source "$here/i386-support.sh"
  [ -n "${NODMARK_I386:-}" ] || nodmark_i386_support
  if [ "${NODMARK_WINE_WOW64:-yes}" = no ] && [ "$NODMARK_I386" = emulated ] &&
     unshare --mount true 2>/dev/null; then
    unshare --mount sh -c 'mount --bind /dev/null "$1" && exec "$2" wineboot -i' sh \
      "$wine32" "$wine64" >/dev/null 2>&1 || true
  else
    "$wine64" wineboot -i >/dev/null 2>&1 || true
  fi
  wineserver -w
}

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  # Two test programs may start at once on a fresh tree: one of them creates the prefix.
  exec 9>"$WINEPREFIX.lock"
  flock 9
  [ -f "$WINEPREFIX/system.reg" ] || make_prefix
  flock -u 9
fi

exec "$loader" "$@"
