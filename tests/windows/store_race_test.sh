#!/usr/bin/env bash
# Hosts creating the component at the same moment on a machine that has no random
# identifier yet, as programs started together at the first logon do: the 32-bit and the
# 64-bit nodmark.dll registered side by side in one 64-bit prefix, several
# store_race_client processes per architecture released together (see
# tests/shell/store_race_client_main.cpp). In every round every client must print the
# random identifier that the store file holds afterwards. Rounds start from no store
# file with both architectures, then with each architecture alone, and last from a file
# holding "000". Starts and ends with nothing of the component registered; the store
# file is put back.
#
# usage: store_race_test.sh WINE_RUN DLL_X86 DLL_X64 CLIENT_X86 CLIENT_X64 [ROUNDS]
#   ROUNDS: rounds with both architectures from no store file (default 6: without the
#   machine lock 43 of 60 rounds split, so six all pass by chance once in some 2,000 runs)
set -euo pipefail
wine_run=$1 dll_x86=$2 dll_x64=$3 client_x86=$4 client_x64=$5 rounds=${6:-6}
clients_per_arch=3
max_wait_seconds=60

source "$(dirname "${BASH_SOURCE[0]}")/both_dlls.sh"
windows_path() { "$wine_run" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
work=$(mktemp -d)
work_windows=$(windows_path "$work")

declare -A client=([x86]=$client_x86 [x64]=$client_x64)
finish() {
  unregister x86 2>/dev/null
  unregister x64 2>/dev/null
  restore_store
  rm -rf "$work"
}
trap finish EXIT

# One round: clients_per_arch clients of each architecture named, released together.
# Succeeds when every client printed the random identifier the store file then holds.
race() {
  local arches=("$@") pids=() count=0 arch i status=0
  rm -f "$work"/*
  for arch in "${arches[@]}"; do
    for ((i = 0; i < clients_per_arch; i++, count++)); do
      run "$arch" "${client[$arch]}" "$work_windows\\ready.$count" "$work_windows\\start" \
        >"$work/out.$count" 2>/dev/null &
      pids+=($!)
    done
  done
  local deadline=$((SECONDS + max_wait_seconds))
  while [ "$(find "$work" -name 'ready.*' | wc -l)" -lt "$count" ] && [ $SECONDS -lt $deadline ]; do
    sleep 0.05
  done
  touch "$work/start"
  for i in "${!pids[@]}"; do
    wait "${pids[$i]}" || { fail "client $i exited with $?"; status=1; }
  done
  local stored
  stored=$(tr -d '\r' <"$store" | sed -n 's/^rand=//p')
  local printed
  printed=$(cat "$work"/out.* | tr -d '\r' | cut -c13-15 | sort | uniq -c | tr -s ' \n' ' ')
  echo "file keeps '$stored'; clients printed:$printed"
  for ((i = 0; i < count; i++)); do
    [ "$(tr -d '\r' <"$work/out.$i" | cut -c13-15)" = "$stored" ] || status=1
  done
  return $status
}

unregister x86
unregister x64
register x86
register x64

split=0
for ((round = 1; round <= rounds; round++)); do
  rm -f "$store"
  race x86 x64 || { fail "both architectures, round $round, from no store file"; split=$((split + 1)); }
done
for arch in x86 x64; do
  rm -f "$store"
  race "$arch" || fail "the $arch clients alone, from no store file"
done
printf '[nodmark]\r\nrand=000\r\n' >"$store"
race x86 x64 || fail "both architectures, from a store file holding 000"

echo "$split of $rounds rounds with both architectures split"
if [ "$failures" -ne 0 ]; then exit 1; fi
echo "every client printed the value the store file keeps"
