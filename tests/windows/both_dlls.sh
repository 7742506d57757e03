# Sourced by the tests over both DLLs once wine_run, dll_x86 and dll_x64 are set:
# failure counting, a program of either architecture, both DLLs' registration with the
# regsvr32 of their architecture, and the prefix's store file, saved here and put back
# by restore_store.
# shellcheck shell=bash

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# A program of the given architecture ("x86" or "x64").
run() {
  local arch=$1
  shift
  if [ "$arch" = x64 ]; then "$wine_run" --64 "$@"; else "$wine_run" "$@"; fi
}

declare -A dll=([x86]=$("$wine_run" winepath -w "$dll_x86" | tr -d '\r')
                [x64]=$("$wine_run" winepath -w "$dll_x64" | tr -d '\r'))
register() { run "$1" regsvr32 /s "${dll[$1]}" || fail "regsvr32 of the $1 DLL exited with $?"; }
unregister() { run "$1" regsvr32 /u /s "${dll[$1]}" || fail "regsvr32 /u of the $1 DLL exited with $?"; }

prefix=$("$wine_run" winepath -u 'C:\windows' 2>/dev/null | tr -d '\r')
store="$prefix/syswow64/pub_store.dat"
saved_store=$(mktemp)
had_store=no
[ -f "$store" ] && { cp "$store" "$saved_store"; had_store=yes; }
restore_store() {
  if [ "$had_store" = yes ]; then cp "$saved_store" "$store"; else rm -f "$store"; fi
  rm -f "$saved_store"
}
