#ifndef NODMARK_PLATFORM_PROCESSOR_H_
#define NODMARK_PLATFORM_PROCESSOR_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace nodmark::platform {

inline constexpr std::size_t kProcessorVendorSize = 12;

// What the processor identification instruction (CPUID) tells about the processor
// that ran it.
struct ProcessorIdentification {
  // Leaf 0: the registers EBX, EDX and ECX in that order, as raw bytes (normally a
  // text such as GenuineIntel, but any byte, zero included, may occur).
  std::array<std::uint8_t, kProcessorVendorSize> vendor{};
  // Leaf 1: the standard feature flags from EDX.
  std::uint32_t featureFlags = 0;
};

// Runs identification leaves 0 and 1 on the current processor. nullopt ("faulted")
// when the processor has no identification instruction, including on processor
// families other than x86. Which processor of the machine answers is not controlled.
// Safe to call from any thread.
std::optional<ProcessorIdentification> IdentifyProcessor();

}  // namespace nodmark::platform

#endif  // NODMARK_PLATFORM_PROCESSOR_H_
