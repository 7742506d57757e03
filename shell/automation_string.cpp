#include "shell/automation_string.h"

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

}  // namespace nodmark::shell
