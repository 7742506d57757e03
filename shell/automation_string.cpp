#include "shell/automation_string.h"

#include <climits>

#include "platform/win32/scoped_bstr.h"
#include "shell/automation_alloc.h"
#include "shell/com_error.h"

namespace nodmark::shell {
namespace {

// Source length that makes the conversion stop at, and count, the terminating zero.
constexpr int kUpToTerminator = -1;

}  // namespace

HRESULT AnsiToAutomationString(const std::string& text, BSTR* result) noexcept {
  *result = nullptr;
  // UTF-16 length of the text with its terminator.
  const int units = MultiByteToWideChar(CP_ACP, /*flags=*/0, text.c_str(), kUpToTerminator,
                                        /*wideBuffer=*/nullptr, /*wideCapacity=*/0);
  if (units <= 0) return ResultFromLastError();

  platform::ScopedBstr converted(AllocateAutomationString(static_cast<UINT>(units - 1)));
  if (!converted) return E_OUTOFMEMORY;
  // The string has room for units - 1 code units plus its terminator, so the text
  // converts with its zero into the string handed out; no second copy is needed. A
  // conversion that falls short would leave code units unset, so it counts as failed.
  if (MultiByteToWideChar(CP_ACP, /*flags=*/0, text.c_str(), kUpToTerminator, converted.get(),
                          units) != units) {
    return ResultFromLastError();
  }
  *result = converted.release();
  return S_OK;
}

HRESULT AutomationStringToUtf8(BSTR text, std::string* utf8) noexcept {
  try {
    const UINT units = SysStringLen(text);
    if (units == 0) {
      utf8->clear();
      return S_OK;
    }
    // Each code unit takes at most three bytes: the byte count must fit an int too.
    if (units > INT_MAX / 3) return E_INVALIDARG;
    const int length = static_cast<int>(units);
    const int bytes = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, length,
                                          /*narrow=*/nullptr, /*narrowCapacity=*/0,
                                          /*defaultChar=*/nullptr, /*usedDefault=*/nullptr);
    if (bytes <= 0) return E_INVALIDARG;
    std::string converted(static_cast<std::size_t>(bytes), '\0');
    if (WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, length, converted.data(), bytes,
                            /*defaultChar=*/nullptr, /*usedDefault=*/nullptr) != bytes) {
      return E_INVALIDARG;
    }
    *utf8 = std::move(converted);
    return S_OK;
  } catch (...) {
    return ResultFromCaughtException();
  }
}

}  // namespace nodmark::shell
