#!/usr/bin/env bash
# Lets a host whose kernel runs no 32-bit x86 programs run them under emulation, so that
# Wine's 32-bit loader, and with it the 32-bit DLL, still runs: installs Debian's
# qemu-user-static of version 10 or later and registers it with binfmt_misc for i386 ELF
# executables, now and at every boot (/etc/binfmt.d). An older emulator already
# registered is replaced. Does nothing on a host that runs them natively or already
# under a current emulator. Where it cannot (no root, a container without access to
# binfmt_misc) it says so in one line and exits 0: the 32-bit tests are then not run.
#
# Why version 10: qemu 7.2 (Debian 12's own) takes minutes for each 32-bit Wine process
# and crashes threaded ones; qemu 10 runs them at close to native speed. Debian 13 has
# it; Debian 12 has it in its backports suite, which is added from the machine's own apt
# sources and pinned so that nothing but the emulator comes from it.
#
# To undo: echo -1 > /proc/sys/fs/binfmt_misc/qemu-i386; rm /etc/binfmt.d/qemu-i386.conf
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/i386-support.sh"
source "$here/apt-sources.sh"

binfmt=/proc/sys/fs/binfmt_misc
persistent=/etc/binfmt.d/qemu-i386.conf
loader=${NODMARK_I386_LOADER:-/usr/lib/wine/wine}
say() { echo "install-deps: $*" >&2; }
cannot() {
  say "cannot set up 32-bit emulation ($*); the 32-bit Windows tests will not run"
  exit 0
}

nodmark_i386_support
[ "$NODMARK_I386" != native ] || exit 0
[ -e "$loader" ] || exit 0
running=$(nodmark_running_qemu_major "$loader") || running=0
[ "$NODMARK_I386" != emulated ] || [ "$running" -lt "$NODMARK_QEMU_MIN_MAJOR" ] || exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo -n true 2>/dev/null || cannot "it needs root"
  sudo_cmd=(sudo -n)
fi
as_root() { "${sudo_cmd[@]}" "$@"; }
apt_install() {
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

# The emulator binary: qemu-user-static's name, or on releases where qemu-user itself is
# static and qemu-user-static only a transition to it, qemu-user's.
interpreter() {
  local path
  for path in /usr/bin/qemu-i386-static /usr/bin/qemu-i386; do
    [ -x "$path" ] && { readlink -f "$path"; return 0; }
  done
  return 1
}
installed_major() {
  local path
  path=$(interpreter) || { echo 0; return 0; }
  nodmark_qemu_major "$path" || echo 0
}

# Debian 12's backports suite from the same archive as its release suite, pinned at -1
# for every package but qemu-user-static and the two it stands for from version 10 on.
add_backports() {
  local codename options uri components
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [ -n "$codename" ] || return 1
  IFS=$'\t' read -r options uri _ components < <(nodmark_release_sources | awk -F'\t' -v s="$codename" '$3 == s' | head -n 1) || return 1
  [ -n "$uri" ] || return 1
  say "adding $codename-backports from this machine's own archive, for qemu-user-static alone"
  echo "deb ${options:+[$options] }$uri $codename-backports $components" |
    as_root tee /etc/apt/sources.list.d/nodmark-backports.list >/dev/null
  printf 'Package: *\nPin: release n=%s-backports\nPin-Priority: -1\n\nPackage: qemu-user-static qemu-user qemu-user-binfmt\nPin: release n=%s-backports\nPin-Priority: 500\n' \
    "$codename" "$codename" | as_root tee /etc/apt/preferences.d/nodmark-backports >/dev/null
  as_root apt-get update -qq >/dev/null
}

if [ "$(installed_major)" -lt "$NODMARK_QEMU_MIN_MAJOR" ]; then
  say "installing qemu-user-static $NODMARK_QEMU_MIN_MAJOR or later for 32-bit programs"
  apt_install qemu-user-static 2>/dev/null || true
  if [ "$(installed_major)" -lt "$NODMARK_QEMU_MIN_MAJOR" ]; then
    add_backports || cannot "this machine's apt sources name no suite of its release to take backports from"
    apt_install qemu-user-static || cannot "qemu-user-static did not install from backports"
  fi
  [ "$(installed_major)" -ge "$NODMARK_QEMU_MIN_MAJOR" ] ||
    cannot "no qemu-user-static of version $NODMARK_QEMU_MIN_MAJOR or later is offered"
fi
emulator=$(interpreter)
# An i386 executable's ELF header (class 32-bit, little endian, machine 3; e_type 2 or
# 3 through the mask) handed to the emulator, which the F flag opens at registration,
# so that it also serves chroots and mount namespaces without the file. That open file
# is what runs until the entry is registered again, even after a package upgrade.
entry=':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'$emulator':F'

if [ ! -e "$binfmt/register" ]; then
  as_root mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || cannot "binfmt_misc cannot be mounted"
fi
# Every enabled or disabled entry for i386 executables goes, ours or a package's.
while old=$(NODMARK_BINFMT_ANY_STATE=1 nodmark_i386_binfmt_entry); do
  say "replacing the binfmt_misc entry ${old##*/} ($(sed -n 's/^interpreter //p' "$old"))"
  echo -1 | as_root tee "$old" >/dev/null 2>&1 || cannot "binfmt_misc kept ${old##*/}"
done
say "registering $emulator ($(nodmark_qemu_major "$emulator").x) with binfmt_misc for i386 programs"
printf '%s' "$entry" | as_root tee "$binfmt/register" >/dev/null 2>&1 ||
  cannot "binfmt_misc refused the entry"
as_root mkdir -p "$(dirname "$persistent")"
printf '%s\n' "$entry" | as_root tee "$persistent" >/dev/null ||
  say "$persistent not written: the entry lasts until the next boot"

nodmark_i386_support
[ "$NODMARK_I386" = emulated ] || cannot "$NODMARK_I386_WHY"
say "$NODMARK_I386_WHY (qemu $(nodmark_running_qemu_major "$loader"))"
