// Processor identification is an instruction of the processor, not a service of the OS,
// so one implementation serves the Windows and the Linux builds alike.
#include "platform/processor.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>

#include "platform/cpuid/cpuid_instruction.h"
#endif

namespace nodmark::platform {

#if defined(__i386__) || defined(__x86_64__)

namespace {

// A processor without CPUID would fault on the instruction. GCC has no structured
// exception guard, so the instruction's presence is tested first the way the
// processor documents it: __get_cpuid_max flips the ID bit of EFLAGS and answers 0
// when the bit does not stick (every x86-64 processor has the instruction).
unsigned HighestLeaf(unsigned* signature) { return __get_cpuid_max(0, signature); }

CpuidRegisters Run(unsigned leaf) {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  __cpuid(leaf, eax, ebx, ecx, edx);
  return {eax, ebx, ecx, edx};
}

constexpr CpuidInstruction kProcessorInstruction = {&HighestLeaf, &Run};

}  // namespace

std::optional<ProcessorIdentification> IdentifyProcessor() {
  return IdentifyProcessorWith(kProcessorInstruction);
}

#else

// Other processor families have no x86 identification instruction: that counts as a
// fault, which leaves the processor signature empty.
std::optional<ProcessorIdentification> IdentifyProcessor() { return std::nullopt; }

#endif

}  // namespace nodmark::platform
