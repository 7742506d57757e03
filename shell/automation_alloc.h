#ifndef NODMARK_SHELL_AUTOMATION_ALLOC_H_
#define NODMARK_SHELL_AUTOMATION_ALLOC_H_

#include <windows.h>

namespace nodmark::shell {

// A new automation string with room for `length` UTF-16 code units and its terminating
// zero, contents unset; null when memory runs out. The caller frees it with
// SysFreeString. This is the shell's only way to allocate an automation string: the
// DLL links the real allocator (automation_alloc.cpp), and the shell's test program
// links a scripted one so that allocation failures can be produced on demand.
BSTR AllocateAutomationString(UINT length) noexcept;

}  // namespace nodmark::shell

#endif  // NODMARK_SHELL_AUTOMATION_ALLOC_H_
