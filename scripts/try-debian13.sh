#!/usr/bin/env bash
# Tries this tree's committed HEAD on a fresh Debian 13 (trixie) from a Debian 12 machine:
# makes a minimal trixie tree with debootstrap in build/debian13/root (once; --new-tree
# makes it again), binds /proc (with binfmt_misc), /sys and /dev into it, clones the tree
# to /src/nodmark inside (afresh each run; --keep-clone keeps the last clone and its
# build, at HEAD), runs COMMAND there as root (default: both README commands), and
# unmounts again however the command ends.
#
#   scripts/try-debian13.sh [--new-tree] [--keep-clone] [COMMAND...]
#   scripts/try-debian13.sh ./scripts/test.sh
#
# The package archive is the one this machine's own apt sources name for its release.
# Needs root (or sudo) and debootstrap.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/apt-sources.sh
if [ "$(id -u)" -ne 0 ]; then exec sudo -- "$0" "$@"; fi

new_tree=no
keep_clone=no
while [ $# -gt 0 ]; do
  case $1 in
    --new-tree) new_tree=yes; shift ;;
    --keep-clone) keep_clone=yes; shift ;;
    --) shift; break ;;
    -*) echo "try-debian13: unknown option $1" >&2; exit 2 ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || set -- sh -c './scripts/run.sh && ./scripts/test.sh'

say() { echo "try-debian13: $*" >&2; }
top=$PWD
root=$top/build/debian13/root
mounts=(proc sys dev)

unmount_all() {
  local point
  # What the command left running in the tree (a wineserver, say) holds its mounts.
  local pid
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$root" ] && kill "$pid" 2>/dev/null || true
  done
  for point in "${mounts[@]}"; do
    local target=$root/$point
    mountpoint -q "$target" || continue
    umount -R "$target" 2>/dev/null || { sleep 2; umount -R "$target"; } ||
      { say "$target is busy; detaching it lazily"; umount -R --lazy "$target"; }
  done
  ! mountpoint -q "$root" || umount "$root" 2>/dev/null || umount --lazy "$root"
}

if [ "$new_tree" = yes ] && [ -d "$root" ]; then
  unmount_all
  for point in "${mounts[@]}"; do
    if mountpoint -q "$root/$point"; then say "$root/$point is still mounted"; exit 1; fi
  done
  say "removing the old tree"
  rm -rf --one-file-system "$root"
fi

if [ ! -e "$root/.complete" ]; then
  command -v debootstrap >/dev/null || { say "debootstrap is missing (apt-get install debootstrap)"; exit 1; }
  release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  archive=$(nodmark_release_sources | awk -F '\t' -v r="$release" '$3 == r { print $2; exit }')
  if [ -z "$archive" ]; then
    say "no entry for the $release suite in this machine's apt sources to take the archive from"
    exit 1
  fi
  say "making a minimal trixie tree in $root from this machine's archive (a few minutes)"
  rm -rf --one-file-system "$root"
  mkdir -p "$root"
  started=$(date +%s)
  nice -n 10 debootstrap --variant=minbase --include=git,ca-certificates,sudo trixie "$root" \
    "$archive" >"$top/build/debian13/debootstrap.log" 2>&1 ||
    { tail -n 20 "$top/build/debian13/debootstrap.log" >&2; say "debootstrap failed"; exit 1; }
  touch "$root/.complete"
  say "tree made in $(($(date +%s) - started)) s"
fi

trap unmount_all EXIT
say "binding /proc, /sys and /dev into the tree"
# The tree's root is a mount point of its own, as a machine's is: programs in it that
# make a mount namespace must be able to change its propagation.
if ! mountpoint -q "$root"; then
  mount --bind "$root" "$root"
  mount --make-private "$root"
fi
for point in "${mounts[@]}"; do
  mountpoint -q "$root/$point" && continue
  if [ "$point" = proc ]; then
    mount -t proc proc "$root/proc"
    # As on a machine, where systemd mounts it: the tree's scripts see the emulator entry.
    [ ! -e /proc/sys/fs/binfmt_misc/status ] ||
      mount -t binfmt_misc binfmt_misc "$root/proc/sys/fs/binfmt_misc"
  else
    mount --rbind "/$point" "$root/$point"
    # Unmounting the tree's copies later must not reach the machine's own.
    mount --make-rslave "$root/$point"
  fi
done
cp -L /etc/resolv.conf "$root/etc/resolv.conf"

head=$(git rev-parse HEAD)
clone=$root/src/nodmark
if [ "$keep_clone" = no ] || [ ! -d "$clone/.git" ]; then
  say "cloning HEAD ($head) afresh to /src/nodmark in the tree"
  rm -rf --one-file-system "$clone"
  mkdir -p "$root/src"
  git clone -q --no-checkout "$top" "$clone"
else
  say "keeping the last clone; checking out HEAD ($head)"
  git -C "$clone" fetch -q "$top" HEAD
fi
git -C "$clone" -c advice.detachedHead=false checkout -q --detach "$head"

say "running in the tree: $*"
status=0
chroot "$root" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" LANG=C.UTF-8 \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  /bin/sh -c 'cd /src/nodmark && exec "$@"' sh "$@" || status=$?
say "command ended with status $status; unmounting"
unmount_all
trap - EXIT
exit $status
