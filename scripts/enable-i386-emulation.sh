#!/usr/bin/env bash
# Lets a host whose kernel runs no 32-bit x86 programs run them under emulation, so that
# Wine's 32-bit loader, and with it the 32-bit DLL, still runs: installs Debian's
# qemu-user-static and registers it with binfmt_misc for i386 ELF executables, now and
# at every boot (/etc/binfmt.d). Does nothing on a host that runs them natively or
# already under emulation. Where it cannot (no root, a container without access to
# binfmt_misc) it says so in one line and exits 0: the 32-bit tests are then skipped.
#
# To undo: echo -1 > /proc/sys/fs/binfmt_misc/qemu-i386; rm /etc/binfmt.d/qemu-i386.conf
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/i386-support.sh"

binfmt=/proc/sys/fs/binfmt_misc
persistent=/etc/binfmt.d/qemu-i386.conf
interpreter=/usr/bin/qemu-i386-static
# An i386 executable's ELF header (class 32-bit, little endian, machine 3; e_type 2 or
# 3 through the mask) handed to the emulator, which the F flag opens at registration,
# so that it also serves chroots and mount namespaces without the file.
entry=':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'$interpreter':F'

cannot() {
  echo "install-deps: cannot set up 32-bit emulation ($*); the 32-bit Windows tests will be skipped" >&2
  exit 0
}

nodmark_i386_support
[ "$NODMARK_I386" = none ] || exit 0
[ -e "${NODMARK_I386_LOADER:-/usr/lib/wine/wine}" ] || exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo -n true 2>/dev/null || cannot "it needs root"
  sudo_cmd=(sudo -n)
fi
as_root() { "${sudo_cmd[@]}" "$@"; }

echo "install-deps: this host runs no 32-bit programs; registering qemu-i386 with binfmt_misc" >&2
if [ ! -x "$interpreter" ]; then
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends \
    qemu-user-static >/dev/null || cannot "qemu-user-static did not install"
fi
if [ ! -e "$binfmt/register" ]; then
  as_root mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || cannot "binfmt_misc cannot be mounted"
fi
if [ ! -e "$binfmt/qemu-i386" ]; then
  printf '%s' "$entry" | as_root tee "$binfmt/register" >/dev/null 2>&1 ||
    cannot "binfmt_misc refused the entry"
fi
echo 1 | as_root tee "$binfmt/qemu-i386" >/dev/null 2>&1 || cannot "the entry cannot be enabled"
if [ ! -f "$persistent" ]; then
  as_root mkdir -p "$(dirname "$persistent")"
  printf '%s\n' "$entry" | as_root tee "$persistent" >/dev/null ||
    echo "install-deps: $persistent not written: the entry lasts until the next boot" >&2
fi

nodmark_i386_support
[ "$NODMARK_I386" = emulated ] || cannot "$NODMARK_I386_WHY"
echo "install-deps: $NODMARK_I386_WHY (about a minute of one core for each 32-bit Windows program)" >&2
