#!/usr/bin/env bash
# The main job: builds the native tool and both Windows DLLs (and nothing more),
# registers the 32-bit DLL with the 32-bit regsvr32 and the 64-bit DLL with the 64-bit
# one in the project's private Wine prefix, and shows this machine's identifiers side
# by side: as the native tool computes them on this Linux machine, and as the 32-bit
# and the 64-bit script hosts read them from the registered components under Wine
# (examples/jscript_client.js).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

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

./scripts/install-deps.sh

# A prefix of its own: what the main job registers stays out of the test suite's prefixes.
# It is made while the binaries build.
export NODMARK_WINEPREFIX=$PWD/build/windows/main-wineprefix
scripts/wine-run.sh cmd /c exit </dev/null >/dev/null 2>&1 &
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
wait "$prefix_job" || true

source scripts/wine-session.sh
nodmark_wine_start
windows_path() { scripts/wine-run.sh winepath -w "$1" | tr -d '\r'; }

declare -A loader_flag=([x86]="" [x64]=--64)
for arch in x86 x64; do
  dll=$(windows_path "build/windows/$arch/shell/nodmark.dll")
  # shellcheck disable=SC2086  # the flag is empty or one word
  quietly scripts/wine-run.sh ${loader_flag[$arch]} regsvr32 /s "$dll"
  echo "registered $dll ($arch) in the Wine prefix $NODMARK_WINEPREFIX"
done

native_notes=$(mktemp)
native=$(build/native/tools/nodmark 2>"$native_notes")
js=$(windows_path examples/jscript_client.js)
declare -A script
for arch in x86 x64; do
  # shellcheck disable=SC2086
  if ! script[$arch]=$(scripts/wine-run.sh ${loader_flag[$arch]} cscript //nologo "$js" |
                       tr -d '\r'); then
    echo "${script[$arch]}" >&2
    exit 1
  fi
done

echo
printf '%-20s %-34s %-34s %s\n' property "this Linux machine (native tool)" \
  "Wine, 32-bit script host" "Wine, 64-bit script host"
paste -d ' ' <(echo "$native") <(echo "${script[x86]}") <(echo "${script[x64]}") |
  awk '{ printf "%-20s %-34s %-34s %s\n", $1, $2, ($3 == $1 ? $4 : "?"), ($5 == $1 ? $6 : "?") }'
echo
cat "$native_notes"
rm -f "$native_notes"
