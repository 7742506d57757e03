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

// The UTF-8 form of the automation string `text`, all SysStringLen code units of it.
// S_OK with the bytes in *utf8; E_INVALIDARG, with *utf8 unchanged, for text that is
// not valid UTF-16 (an unpaired surrogate would otherwise turn into a replacement
// character, and two different names into one), or too long to convert; E_OUTOFMEMORY.
// A null or empty `text` gives an empty *utf8. Thread-safe.
HRESULT AutomationStringToUtf8(BSTR text, std::string* utf8) noexcept;

}  // namespace nodmark::shell

#endif  // NODMARK_SHELL_AUTOMATION_STRING_H_
