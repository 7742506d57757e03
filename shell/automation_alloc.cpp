#include "shell/automation_alloc.h"

#include <oleauto.h>

namespace nodmark::shell {

BSTR AllocateAutomationString(UINT length) noexcept {
  return SysAllocStringLen(/*strIn=*/nullptr, length);
}

}  // namespace nodmark::shell
