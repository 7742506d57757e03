#!/usr/bin/env bash
# How the scripts tell what this host does with 32-bit programs, against fake binfmt_misc
# folders and loaders, and which emulator version the install script reads from a fake
# qemu (nothing on the host is changed).
# usage: i386_support_test.sh SCRIPTS_DIR
set -euo pipefail
scripts=$(cd "$1" && pwd)
source "$scripts/i386-support.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# Loaders: one that starts, one whose ELF header names a machine no kernel runs.
runs=/bin/true
foreign=$work/foreign-loader
{ printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\xff\xff\x01\x00\x00\x00'
  head -c 200 /dev/zero; } >"$foreign"
chmod +x "$foreign"

# binfmt_misc folders: status STATUS, and an entry STATE with MAGIC (and its mask).
i386_magic=7f454c4601010100000000000000000002000300
arm_magic=7f454c4601010100000000000000000002002800
binfmt() {
  local dir=$work/binfmt-$1-$2-$3
  mkdir -p "$dir"
  echo "$1" >"$dir/status"
  printf '%s\ninterpreter /usr/bin/qemu-i386-static\nflags: F\noffset 0\nmagic %s\nmask fffffffffffefe00fffffffffffffffffeffffff\n' \
    "$2" "$3" >"$dir/qemu-x"
  echo "$dir"
}

# Kernel probes: it runs 32-bit programs, it refuses them, it cannot tell.
kernel_runs=/bin/true kernel_refuses=/bin/false kernel_unknown=$work/probe-unknown
printf '#!/bin/sh\nexit 2\n' >"$kernel_unknown"
chmod +x "$kernel_unknown"

# loader | binfmt folder | kernel probe | expected answer
cases=(
  "$runs|$work/absent|$kernel_runs|native"
  "$runs|$work/absent|$kernel_unknown|native"
  "$runs|$work/absent|$kernel_refuses|emulated"
  "$runs|$(binfmt enabled enabled $i386_magic)|$kernel_runs|emulated"
  "$runs|$(binfmt disabled enabled $i386_magic)|$kernel_runs|native"
  "$runs|$(binfmt enabled disabled $i386_magic)|$kernel_runs|native"
  "$runs|$(binfmt enabled enabled $arm_magic)|$kernel_runs|native"
  "$runs|$(binfmt enabled enabled $arm_magic)|$kernel_refuses|emulated"
  "$foreign|$work/absent|$kernel_refuses|none"
  "$foreign|$(binfmt enabled enabled $i386_magic)|$kernel_refuses|none"
  "$work/no-loader|$work/absent|$kernel_runs|none"
)
for i in "${!cases[@]}"; do
  IFS='|' read -r loader dir probe expected <<<"${cases[$i]}"
  NODMARK_I386= NODMARK_I386_WHY=
  NODMARK_I386_LOADER=$loader NODMARK_BINFMT_DIR=$dir NODMARK_IA32_PROBE=$probe nodmark_i386_support
  [ "$NODMARK_I386" = "$expected" ] || fail "case $i: $NODMARK_I386, not $expected ($NODMARK_I386_WHY)"
  [ -n "$NODMARK_I386_WHY" ] || fail "case $i: no reason given"
done

# On an x86-64 host the probe tells (0 or 1), and leaves no core file of its crash.
if [ "$(uname -m)" = x86_64 ]; then
  probe_status=0
  (cd "$work" && "$scripts/ia32-syscall-probe.py") || probe_status=$?
  [ "$probe_status" -le 1 ] || fail "the kernel probe could not tell (exit status $probe_status)"
fi
[ -z "$(find "$work" -maxdepth 1 -name 'core*')" ] || fail "the kernel probe left a core file"

# The emulator's version, as the install script reads it from a fake qemu: what
# --version names, and what the emulator binfmt_misc runs names when QEMU_VERSION is set.
fake_qemu() {
  printf '#!/bin/sh\n[ "$1" = --version ] || [ -n "$QEMU_VERSION" ] || exit 3\nprintf "%%s\\n" "%s" "Copyright (c) 2003-2025"\n' "$1" >"$work/qemu"
  chmod +x "$work/qemu"
}
# version text | major (empty where none is named)
versions=("qemu-i386 version 10.0.2 (Debian 1:10.0.2+ds-2)|10" "qemu-i386 version 7.2.22 (Debian 1:7.2+dfsg-7)|7"
          "qemu-x86_64 version 11.1.0|11" "Usage: qemu-i386 [options]|")
for i in "${!versions[@]}"; do
  IFS='|' read -r text expected <<<"${versions[$i]}"
  fake_qemu "$text"
  got=$(nodmark_qemu_major "$work/qemu") || got=
  [ "$got" = "$expected" ] || fail "version case $i: '$got', not '$expected'"
  got=$(nodmark_running_qemu_major "$work/qemu") || got=
  [ "$got" = "$expected" ] || fail "running version case $i: '$got', not '$expected'"
done
[ "$NODMARK_QEMU_MIN_MAJOR" -ge 10 ] || fail "qemu $NODMARK_QEMU_MIN_MAJOR is accepted"

[ "$failures" -eq 0 ] || exit 1
echo "${#cases[@]} detection cases and ${#versions[@]} emulator versions as expected"
