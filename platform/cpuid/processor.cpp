// Processor identification is an instruction of the processor, not a service of the OS,
// so one implementation serves the Windows and the Linux builds alike.
#include "platform/processor.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>

#include <cstring>
#endif

namespace nodmark::platform {

#if defined(__i386__) || defined(__x86_64__)

std::optional<ProcessorIdentification> IdentifyProcessor() {
  // A processor without CPUID would fault on the instruction. GCC has no structured
  // exception guard, so the instruction's presence is tested first the way the
  // processor documents it: __get_cpuid_max flips the ID bit of EFLAGS and answers 0
  // when the bit does not stick (every x86-64 processor has the instruction).
  if (__get_cpuid_max(0, nullptr) == 0) return std::nullopt;

  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  __cpuid(0, eax, ebx, ecx, edx);
  ProcessorIdentification identification;
  const unsigned vendorRegisters[] = {ebx, edx, ecx};
  static_assert(sizeof vendorRegisters == kProcessorVendorSize, "three 4-byte registers");
  std::memcpy(identification.vendor.data(), vendorRegisters, sizeof vendorRegisters);

  // Leaf 1 runs even when leaf 0 reports a highest leaf of 0: such a processor still
  // answers it (with the highest leaf's data) rather than faulting, and peers read it
  // unconditionally.
  __cpuid(1, eax, ebx, ecx, edx);
  identification.featureFlags = edx;
  return identification;
}

#else

// Other processor families have no x86 identification instruction: that counts as a
// fault, which leaves the processor signature empty.
std::optional<ProcessorIdentification> IdentifyProcessor() { return std::nullopt; }

#endif

}  // namespace nodmark::platform
