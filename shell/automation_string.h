#ifndef NODMARK_SHELL_AUTOMATION_STRING_H_
#define NODMARK_SHELL_AUTOMATION_STRING_H_

#include <windows.h>

#include <string>

namespace nodmark::shell {

// Converts `text` (system ANSI code page, up to its first zero byte) into a new
// automation string owned by the caller; an empty text gives an empty, non-null
// string. S_OK with the string in *result; on failure *result is null and the result
// is E_OUTOFMEMORY (no memory for the string) or the conversion's error.
// `result` must not be null. Thread-safe.
HRESULT AnsiToAutomationString(const std::string& text, BSTR* result) noexcept;

}  // namespace nodmark::shell

#endif  // NODMARK_SHELL_AUTOMATION_STRING_H_
