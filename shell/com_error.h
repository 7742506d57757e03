#ifndef NODMARK_SHELL_COM_ERROR_H_
#define NODMARK_SHELL_COM_ERROR_H_

#include <windows.h>

namespace nodmark::shell {

// The HRESULT that stands for the exception being handled: E_OUTOFMEMORY for
// std::bad_alloc, E_UNEXPECTED for anything else. Call it only inside a catch block;
// it is how every export and COM method keeps exceptions from crossing the boundary.
HRESULT ResultFromCaughtException() noexcept;

// The calling thread's last Win32 error as an HRESULT; E_FAIL when the failed call
// left no error code.
HRESULT ResultFromLastError() noexcept;

}  // namespace nodmark::shell

#endif  // NODMARK_SHELL_COM_ERROR_H_
