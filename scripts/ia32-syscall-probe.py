#!/usr/bin/env python3
"""Asks the kernel itself whether it runs 32-bit x86 programs.

A child process makes one 32-bit system call (getpid, through int 0x80) from 64-bit
code. A kernel built without IA-32 emulation, or with it switched off, answers it with
SIGSEGV; one that runs 32-bit programs answers with the pid. Unlike starting a 32-bit
program, this cannot be answered by an emulator registered with binfmt_misc.

Exit status: 0 the kernel runs them, 1 it does not, 2 this cannot be told here.
"""
import ctypes
import mmap
import os
import platform
import resource
import signal
import sys

GETPID_THROUGH_INT80 = bytes.fromhex("b814000000" "cd80" "c3")  # mov eax, 20; int 0x80; ret


def call_getpid_through_int80():
    # A crash here is the answer, not a fault to keep a core file of.
    resource.setrlimit(resource.RLIMIT_CORE, (0, 0))
    page = mmap.mmap(-1, mmap.PAGESIZE,
                     prot=mmap.PROT_READ | mmap.PROT_WRITE | mmap.PROT_EXEC)
    page.write(GETPID_THROUGH_INT80)
    address = ctypes.addressof(ctypes.c_char.from_buffer(page))
    return ctypes.CFUNCTYPE(ctypes.c_long)(address)() & 0xFFFFFFFF


def main():
    if platform.machine() != "x86_64":
        return 2
    child = os.fork()
    if child == 0:
        try:
            os._exit(0 if call_getpid_through_int80() == os.getpid() else 3)
        except BaseException:
            os._exit(3)
    _, status = os.waitpid(child, 0)
    if os.WIFSIGNALED(status) and os.WTERMSIG(status) == signal.SIGSEGV:
        return 1
    return 0 if os.WIFEXITED(status) and os.WEXITSTATUS(status) == 0 else 2


if __name__ == "__main__":
    sys.exit(main())
