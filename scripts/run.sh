#!/usr/bin/env bash
# The main job: builds the native tool and both Windows DLLs (and nothing more),
# registers the 32-bit DLL with the 32-bit regsvr32 and the 64-bit DLL with the 64-bit
# one in the project's private Wine prefix, and shows this machine's identifiers side
# by side: as the native tool computes them on this Linux machine, and as the 32-bit
# and the 64-bit script hosts read them from the registered components under Wine
# (examples/jscript_client.js). Where this host runs no 32-bit programs, as the
# Windows build's configuration found (build/windows/running-architectures.txt), the
# 32-bit column is left out and the note below the table says why.
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

say "configuring the native and Windows builds"
quietly cmake --preset native
quietly cmake --preset windows
read -r -a arches <build/windows/running-architectures.txt
host_note=$(sed -n 2p build/windows/running-architectures.txt)
say "$host_note"

# A prefix of its own, made while the binaries build: what the main job registers stays
# out of the test suite's prefixes.
prefix=$PWD/build/windows/main-wineprefix
export NODMARK_WINEPREFIX=$prefix
say "building the native tool and both DLLs while making the Wine prefix $prefix"
scripts/wine-prefix.sh start "$prefix" >/dev/null &
prefix_job=$!
trap 'scripts/wine-prefix.sh stop "$prefix" >/dev/null' EXIT

# Only what the table shows: the native tool and the shipped binaries of both Windows
# architectures, side by side. The test programs and the installer packages are the
# test command's; where it built them before, they are left as they are.
quietly cmake --build --preset native --target nodmark_tool &
native_job=$!
quietly cmake --build --preset windows --target shipped_x86 shipped_x64 &
windows_job=$!
wait "$native_job" && wait "$windows_job" || exit 1
say "built; waiting for the Wine prefix"
wait "$prefix_job" || exit 1

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
sed -n '3,$p' build/windows/running-architectures.txt
cat "$native_notes"
rm -f "$native_notes"
