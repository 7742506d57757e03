# Sourced by the scripts that run Windows programs: tells how this host runs 32-bit x86
# programs, which Wine needs for every 32-bit Windows program (its i386 loader is a
# 32-bit Linux program). Run directly, it prints the answer.
#
# nodmark_i386_support sets
#   NODMARK_I386      native    the kernel runs them itself
#                     emulated  an enabled binfmt_misc entry hands i386 ELF files to an
#                               emulator; it takes precedence over the kernel's own loader
#                     none      they do not run (a kernel without IA-32 emulation and no
#                               such entry, or no 32-bit Wine loader installed)
#   NODMARK_I386_WHY  one line saying why
# It reads NODMARK_I386_LOADER (default /usr/lib/wine/wine), NODMARK_BINFMT_DIR
# (default /proc/sys/fs/binfmt_misc) and NODMARK_IA32_PROBE (default
# ia32-syscall-probe.py beside this file), so that tests can point them elsewhere.
# shellcheck shell=bash

# The binfmt_misc entry for i386 ELF executables: its path, if there is an enabled one
# (with NODMARK_BINFMT_ANY_STATE=1, a disabled one too); fails otherwise.
nodmark_i386_binfmt_entry() {
  local dir=${NODMARK_BINFMT_DIR:-/proc/sys/fs/binfmt_misc} entry magic mask offset
  [ "$(head -n 1 "$dir/status" 2>/dev/null)" = enabled ] || return 1
  for entry in "$dir"/*; do
    case ${entry##*/} in register | status) continue ;; esac
    [ -f "$entry" ] || continue
    [ "${NODMARK_BINFMT_ANY_STATE:-0}" = 1 ] || [ "$(head -n 1 "$entry" 2>/dev/null)" = enabled ] || continue
    magic=$(sed -n 's/^magic //p' "$entry")
    mask=$(sed -n 's/^mask //p' "$entry")
    offset=$(sed -n 's/^offset //p' "$entry")
    [ "${offset:-0}" = 0 ] || continue
    # An i386 executable's header: "\x7fELF", class 1 (32-bit), data 1 (little
    # endian), and at byte 18 the machine 3. The mask may blank bytes between them.
    [ "${magic:0:10}" = 7f454c4601 ] && [ "${magic:36:4}" = 0300 ] || continue
    [ -z "$mask" ] || [ "${mask:36:4}" = ffff ] || continue
    echo "$entry"
    return 0
  done
  return 1
}

# The path of the interpreter of an enabled binfmt_misc entry for i386 ELF executables,
# if there is one; fails otherwise.
nodmark_i386_binfmt_interpreter() {
  local entry
  entry=$(nodmark_i386_binfmt_entry) || return 1
  sed -n 's/^interpreter //p' "$entry"
}

# The oldest qemu that runs the 32-bit Wine processes well: 7.2 takes minutes for each
# and crashes threaded ones.
NODMARK_QEMU_MIN_MAJOR=10

# The major version that qemu's version text on standard input names
# ("qemu-i386 version 10.0.2 (Debian ...)" gives 10); fails where it names none.
nodmark_qemu_version_major() {
  local version
  version=$(sed -nE 's/^qemu-[a-z0-9_]+ version ([0-9]+)\..*/\1/p' | head -n 1)
  [ -n "$version" ] && echo "$version"
}
# nodmark_qemu_major PROGRAM: the major version of the emulator PROGRAM.
nodmark_qemu_major() { "$1" --version 2>/dev/null </dev/null | nodmark_qemu_version_major; }
# nodmark_running_qemu_major LOADER: the major version of the emulator that binfmt_misc
# hands the 32-bit program LOADER to, which may be older than the installed one (an
# entry keeps the file it opened when it was registered); fails where none runs it.
nodmark_running_qemu_major() { QEMU_VERSION=1 "$1" 2>/dev/null </dev/null | nodmark_qemu_version_major; }

nodmark_i386_support_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Whether the kernel itself refuses 32-bit programs, by the probe's word (which may be
# that it cannot tell).
nodmark_kernel_refuses_i386() {
  local probe=${NODMARK_IA32_PROBE:-$nodmark_i386_support_dir/ia32-syscall-probe.py} status=0
  "$probe" >/dev/null 2>&1 </dev/null || status=$?
  [ "$status" -eq 1 ]
}

nodmark_i386_support() {
  local loader=${NODMARK_I386_LOADER:-/usr/lib/wine/wine} interpreter status=0
  if [ ! -e "$loader" ]; then
    NODMARK_I386=none
    NODMARK_I386_WHY="there is no 32-bit Wine loader ($loader)"
    return 0
  fi
  interpreter=$(nodmark_i386_binfmt_interpreter) || interpreter=
  "$loader" --version >/dev/null 2>&1 </dev/null || status=$?
  if [ "$status" -ne 0 ]; then
    NODMARK_I386=none
    if [ -n "$interpreter" ]; then
      NODMARK_I386_WHY="the 32-bit Wine loader does not start under $interpreter (exit status $status)"
    else
      NODMARK_I386_WHY="this kernel runs no 32-bit programs: $loader does not start (exit status $status; dmesg says \"IA-32 emulation off\" or \"32-bit emulation disabled\")"
    fi
  elif [ -n "$interpreter" ]; then
    NODMARK_I386=emulated
    NODMARK_I386_WHY="32-bit programs run under $interpreter, through binfmt_misc"
  elif nodmark_kernel_refuses_i386; then
    # The loader starts although the kernel runs no 32-bit programs: an emulator entry
    # this process cannot see (binfmt_misc not mounted in its chroot or container).
    NODMARK_I386=emulated
    NODMARK_I386_WHY="32-bit programs run under an emulator through binfmt_misc, which is not mounted here (the kernel itself runs none)"
  else
    NODMARK_I386=native
    NODMARK_I386_WHY="the kernel runs 32-bit programs"
  fi
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  nodmark_i386_support
  echo "$NODMARK_I386: $NODMARK_I386_WHY"
fi
