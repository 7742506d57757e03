# Sourced by every script and test that runs Windows programs under Wine: the one place
# that sets Wine's environment.
# - WINEPREFIX: NODMARK_WINEPREFIX, by default the build tree's build/windows/wineprefix;
#   the user's own ~/.wine is never touched.
# - WINEARCH: NODMARK_WINEARCH, by default win64: a prefix that runs 32- and 64-bit
#   programs, each in its own registry view, as 64-bit Windows does.
# - no debug output, no .NET or HTML engine to install on a new prefix, no display.
# - nodmark_wine32 and nodmark_wine64: the loaders of 32- and 64-bit programs. The
#   32-bit one is itself a 32-bit Linux program (run natively or under emulation).
# shellcheck shell=bash
nodmark_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export NODMARK_WINEPREFIX=${NODMARK_WINEPREFIX:-$nodmark_root/build/windows/wineprefix}
export WINEPREFIX=$NODMARK_WINEPREFIX
export WINEARCH=${NODMARK_WINEARCH:-win64}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
unset DISPLAY
nodmark_wine32=${NODMARK_I386_LOADER:-/usr/lib/wine/wine}
nodmark_wine64=/usr/lib/wine/wine64
