#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix
# (scripts/wine-env.sh), making the prefix on first use.
#
# usage: wine-run.sh [--64] PROGRAM [ARGUMENT...]
# A system program named without a folder or under C:\windows\system32 (regsvr32,
# cscript, reg, msiexec) starts as its 32-bit build from syswow64; --64 starts the
# 64-bit one. Programs given by their own path run as what they are. Wine's own tools
# (winepath, wineboot) always run as 64-bit programs: they answer the same either way.
# Every 64-bit program goes through the 64-bit loader alone, so that 64-bit programs
# run also where 32-bit programs do not.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh"

# The machine field of a PE file's header: 8664 for x86-64, 014c for i386.
pe_machine() {
  local pe_offset
  pe_offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 1
  [ -n "$pe_offset" ] || return 1
  od -An -tx2 -j$((pe_offset + 4)) -N2 "$1" 2>/dev/null | tr -d ' '
}

loader=$nodmark_wine32
case "${1:-}" in
  --64)
    loader=$nodmark_wine64
    shift
    ;;
  winepath | wineboot) loader=$nodmark_wine64 ;;
  *)
    if [ -f "${1:-}" ] && [ "$(pe_machine "$1")" = 8664 ]; then loader=$nodmark_wine64; fi
    ;;
esac

[ -f "$WINEPREFIX/system.reg" ] || "$here/wine-prefix.sh" make "$WINEPREFIX" >/dev/null
exec "$loader" "$@"
