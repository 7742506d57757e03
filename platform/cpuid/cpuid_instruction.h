#ifndef NODMARK_PLATFORM_CPUID_CPUID_INSTRUCTION_H_
#define NODMARK_PLATFORM_CPUID_CPUID_INSTRUCTION_H_

#include <array>
#include <cstdint>
#include <optional>

#include "platform/processor.h"

namespace nodmark::platform {

// EAX, EBX, ECX and EDX as one leaf of the identification instruction leaves them.
using CpuidRegisters = std::array<std::uint32_t, 4>;

// The identification instruction in the two forms the compiler offers it, so that
// tests can script its answers.
struct CpuidInstruction {
  // As __get_cpuid_max(0, signature): leaf 0's highest leaf (EAX), or 0 when the
  // processor has no such instruction. *signature (leaf 0's EBX) is written only when
  // the instruction ran, which tells a highest leaf of 0 from a missing instruction.
  unsigned (*highestLeaf)(unsigned* signature);
  // As __cpuid(leaf, ...); called only on a processor that has the instruction.
  CpuidRegisters (*run)(unsigned leaf);
};

// IdentifyProcessor's work over `instruction`: nullopt when the instruction is
// missing; otherwise leaf 0's vendor and leaf 1's EDX, whatever highest leaf leaf 0
// reports (a processor answers leaf 1 past its highest leaf rather than faulting).
std::optional<ProcessorIdentification> IdentifyProcessorWith(const CpuidInstruction& instruction);

}  // namespace nodmark::platform

#endif  // NODMARK_PLATFORM_CPUID_CPUID_INSTRUCTION_H_
