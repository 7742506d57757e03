#!/usr/bin/env bash
# Checks that the win32 platform layer reads what Wine itself reports: the serial of
# volume C: as "cmd /c vol c:" prints it, and the adapters (description and physical
# address) that "ipconfig /all" lists with a physical address. The layer keeps six
# address bytes, so ipconfig's addresses are cut or zero-padded to six. The loopback,
# which ipconfig shows without an address and GetAdaptersInfo leaves out, is not compared.
# Wine's commands run as builds of the probe's architecture ("x86" or "x64").
# Usage: wine_agreement.sh <wine-run.sh> <platform_probe.exe> <x86|x64>
set -euo pipefail
run=$1
probe=$2
system_flag=()
[ "$3" = x64 ] && system_flag=(--64)
# English labels in the output of Wine's own commands.
export LC_ALL=C

probe_out=$("$run" "$probe" | tr -d '\r')
vol_out=$("$run" "${system_flag[@]}" cmd /c vol c: | tr -d '\r')
ipconfig_out=$("$run" "${system_flag[@]}" ipconfig /all | tr -d '\r')
status=0

fail() {
  echo "FAIL: $*" >&2
  status=1
}

# --- volume serial
probe_serial=$(sed -n 's/^volume c: //p' <<<"$probe_out")
vol_serial=$(grep -oE '[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}' <<<"$vol_out" | head -n 1 | tr 'a-f' 'A-F' || true)
if [ -z "$vol_serial" ]; then
  fail "no serial in the output of 'vol c:':"$'\n'"$vol_out"
elif [ "$probe_serial" != "$vol_serial" ]; then
  fail "volume serial: platform layer $probe_serial, vol $vol_serial"
else
  echo "volume c: $probe_serial agrees"
fi

# --- adapters, as "ADDRESS DESCRIPTION" lines, sorted
ipconfig_adapters=$(awk -F' : ' '
  /^ *Description[ .]*:/ { description = $2 }
  /^ *Physical address[ .]*:/ {
    if ($2 !~ /^[0-9A-Fa-f][0-9A-Fa-f](-[0-9A-Fa-f][0-9A-Fa-f])*$/) next
    n = split(toupper($2), bytes, "-")
    address = ""
    for (i = 1; i <= 6; i++) address = address (i > 1 ? "-" : "") (i <= n ? bytes[i] : "00")
    print address " " description
  }' <<<"$ipconfig_out" | sort)
if ! grep -q 'Description' <<<"$ipconfig_out"; then
  fail "no adapter descriptions in the output of 'ipconfig /all':"$'\n'"$ipconfig_out"
fi
adapter_count=$(grep -c . <<<"$ipconfig_adapters" || true)

if grep -qx 'adapters none' <<<"$probe_out"; then
  # The layer fails only when there is no adapter or more than twelve.
  if [ "$adapter_count" -ge 1 ] && [ "$adapter_count" -le 12 ]; then
    fail "platform layer lists no adapters; ipconfig lists:"$'\n'"$ipconfig_adapters"
  else
    echo "adapters: none listed, ipconfig shows $adapter_count with an address"
  fi
else
  probe_adapters=$(sed -n 's/^adapter //p' <<<"$probe_out" | sort)
  if [ "$probe_adapters" != "$ipconfig_adapters" ]; then
    fail "adapters differ"$'\n'"platform layer:"$'\n'"$probe_adapters"$'\n'"ipconfig /all:"$'\n'"$ipconfig_adapters"
  else
    echo "adapters agree:"
    echo "$probe_adapters"
  fi
fi
exit $status
