#include <cstring>

#include "platform/cpuid/cpuid_instruction.h"

namespace nodmark::platform {
namespace {

enum Register { kEax, kEbx, kEcx, kEdx };

// __get_cpuid_max answers 0 both when the instruction is missing and when leaf 0
// reports a highest leaf of 0; only in the second case has it written the signature.
// Two different starting values tell whether it did, whatever EBX holds.
bool InstructionPresent(const CpuidInstruction& instruction) {
  constexpr unsigned kUnwritten[] = {0u, ~0u};
  for (const unsigned unwritten : kUnwritten) {
    unsigned signature = unwritten;
    if (instruction.highestLeaf(&signature) != 0 || signature != unwritten) return true;
  }
  return false;
}

}  // namespace

std::optional<ProcessorIdentification> IdentifyProcessorWith(const CpuidInstruction& instruction) {
  if (!InstructionPresent(instruction)) return std::nullopt;

  const CpuidRegisters leaf0 = instruction.run(0);
  ProcessorIdentification identification;
  const std::uint32_t vendorRegisters[] = {leaf0[kEbx], leaf0[kEdx], leaf0[kEcx]};
  static_assert(sizeof vendorRegisters == kProcessorVendorSize, "three 4-byte registers");
  std::memcpy(identification.vendor.data(), vendorRegisters, sizeof vendorRegisters);

  // Leaf 1 runs even when leaf 0 reports a highest leaf of 0: such a processor still
  // answers it (with the highest leaf's data) rather than faulting, and peers read it
  // unconditionally.
  identification.featureFlags = instruction.run(1)[kEdx];
  return identification;
}

}  // namespace nodmark::platform
