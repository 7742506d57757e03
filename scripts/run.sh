#!/usr/bin/env bash
# The main job: builds the native tool and both Windows DLLs (and nothing more),
# registers the 32-bit DLL with the 32-bit regsvr32 and the 64-bit DLL with the 64-bit
# one in the project's private Wine prefix, and shows this machine's identifiers side
# by side: as the native tool computes them on this Linux machine, and as the 32-bit
# and the 64-bit script hosts read them from the registered components under Wine
# (examples/jscript_client.js).
#
# Where 32-bit programs run only under emulation (scripts/i386-support.sh), each takes a
# minute or more: the 32-bit column is left out unless NODMARK_RUN_32BIT=1 asks for it.
# Where they do not run at all, it is left out and the note below the table says why.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
say() { echo "run.sh: $*"; }

# Runs a command silently, showing its output only when it fails.
quietly() {
  local log
  log=$(mktemp)
  if ! "$@" >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    echo "run.sh: failed: $*" >&2
    exit 1
  fi
  rm -f "$log"
}

say "installing what is missing (scripts/install-deps.sh)"
./scripts/install-deps.sh

source scripts/i386-support.sh
nodmark_i386_support
export NODMARK_I386 NODMARK_I386_WHY
arches=(x64)
if [ "$NODMARK_I386" = native ] || { [ "$NODMARK_I386" = emulated ] && [ "${NODMARK_RUN_32BIT:-0}" = 1 ]; }; then
  arches=(x86 x64)
fi

# A prefix of its own: what the main job registers stays out of the test suite's prefixes.
# Without the 32-bit column it is one without a 32-bit half, which under emulation would
# take minutes to make. It is made while the binaries build.
if [ "${#arches[@]}" -eq 2 ]; then
  export NODMARK_WINEPREFIX=$PWD/build/windows/main-wineprefix NODMARK_WINE_WOW64=yes
else
  export NODMARK_WINEPREFIX=$PWD/build/windows/main-wineprefix-64 NODMARK_WINE_WOW64=no
fi
say "building the native tool and both DLLs while making the Wine prefix $NODMARK_WINEPREFIX"
scripts/wine-run.sh --64 cmd /c exit </dev/null >/dev/null 2>&1 &
prefix_job=$!

# Only what the table shows: the native tool and the shipped binaries of both Windows
# architectures, side by side. The test programs and the installer packages are the
# test command's; where it built them before, they are left as they are.
quietly cmake --preset native
quietly cmake --preset windows
quietly cmake --build --preset native --target nodmark_tool &
native_job=$!
quietly cmake --build --preset windows --target shipped_x86 shipped_x64 &
windows_job=$!
wait "$native_job" && wait "$windows_job" || exit 1
say "built; waiting for the Wine prefix"
wait "$prefix_job" || true

source scripts/wine-session.sh
nodmark_wine_start
windows_path() { scripts/wine-run.sh winepath -w "$1" | tr -d '\r'; }

declare -A loader_flag=([x86]="" [x64]=--64) bits=([x86]=32 [x64]=64)
for arch in "${arches[@]}"; do
  dll=$(windows_path "build/windows/$arch/shell/nodmark.dll")
  say "registering $dll ($arch) with the ${bits[$arch]}-bit regsvr32"
  # shellcheck disable=SC2086  # the flag is empty or one word
  quietly scripts/wine-run.sh ${loader_flag[$arch]} regsvr32 /s "$dll"
done

native_notes=$(mktemp)
native=$(build/native/tools/nodmark 2>"$native_notes")
js=$(windows_path examples/jscript_client.js)
declare -A script
for arch in "${arches[@]}"; do
  say "reading the identifiers with the ${bits[$arch]}-bit cscript"
  # shellcheck disable=SC2086
  if ! script[$arch]=$(scripts/wine-run.sh ${loader_flag[$arch]} cscript //nologo "$js" |
                       tr -d '\r'); then
    echo "${script[$arch]}" >&2
    exit 1
  fi
done

# The table: the property names from the native tool's lines, then one column for each
# reading; a reading whose property names differ shows "?".
columns=("this Linux machine (native tool)")
readings=("$native")
for arch in "${arches[@]}"; do
  columns+=("Wine, ${bits[$arch]}-bit script host")
  readings+=("${script[$arch]}")
done
echo
printf '%-20s' property
printf ' %-34s' "${columns[@]}"
echo
for line in 1 2 3; do
  name=$(sed -n "${line}p" <<<"$native" | cut -d ' ' -f 1)
  printf '%-20s' "$name"
  for reading in "${readings[@]}"; do
    row=$(sed -n "${line}p" <<<"$reading")
    if [ "${row%% *}" = "$name" ]; then printf ' %-34s' "${row#* }"; else printf ' %-34s' '?'; fi
  done
  echo
done
echo
if [ "${#arches[@]}" -eq 1 ]; then
  echo "No 32-bit column: $NODMARK_I386_WHY."
  case $NODMARK_I386 in
    emulated) echo "To show it too: NODMARK_RUN_32BIT=1 ./scripts/run.sh (about 6 minutes more under emulation)" ;;
    *) echo "To show it under emulation: sudo ./scripts/enable-i386-emulation.sh, then NODMARK_RUN_32BIT=1 ./scripts/run.sh (about 6 minutes more)" ;;
  esac
  echo
elif [ "$NODMARK_I386" = emulated ]; then
  echo "The 32-bit script host ran under emulation, which shows it the emulator's processor:"
  echo "its nodmark_complicate digests that processor's signature (README: Hosts that run no"
  echo "32-bit programs)."
  echo
fi
cat "$native_notes"
rm -f "$native_notes"
