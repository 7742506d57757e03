#ifndef NODMARK_TESTS_FAKE_FAKE_AUTOMATION_ALLOC_H_
#define NODMARK_TESTS_FAKE_FAKE_AUTOMATION_ALLOC_H_

namespace nodmark::fake {

// Script of the automation-string allocator linked into the shell's test program in
// place of the real one. Allocations that do not fail are real (SysAllocStringLen),
// so the strings can be freed with SysFreeString.
struct AutomationAllocScript {
  int failNext = 0;  // the next this many allocations answer null
  int calls = 0;
};

AutomationAllocScript& AutomationAlloc();
AutomationAllocScript& ResetAutomationAlloc();

}  // namespace nodmark::fake

#endif  // NODMARK_TESTS_FAKE_FAKE_AUTOMATION_ALLOC_H_
