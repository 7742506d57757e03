#include "fake/fake_automation_alloc.h"

#include <windows.h>

#include <oleauto.h>

#include "shell/automation_alloc.h"

namespace nodmark::fake {

AutomationAllocScript& AutomationAlloc() {
  static AutomationAllocScript script;
  return script;
}

AutomationAllocScript& ResetAutomationAlloc() {
  return AutomationAlloc() = AutomationAllocScript();
}

}  // namespace nodmark::fake

namespace nodmark::shell {

BSTR AllocateAutomationString(UINT length) noexcept {
  fake::AutomationAllocScript& script = fake::AutomationAlloc();
  ++script.calls;
  if (script.failNext > 0) {
    --script.failNext;
    return nullptr;
  }
  return SysAllocStringLen(/*strIn=*/nullptr, length);
}

}  // namespace nodmark::shell
