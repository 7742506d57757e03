#ifndef NODMARK_SOURCES_MACHINE_SOURCES_H_
#define NODMARK_SOURCES_MACHINE_SOURCES_H_

#include <cstdint>
#include <string>

#include "core/byte_string.h"

// The machine sources the identifier recipes are built from. Each reads one
// property of the machine afresh on every call and absorbs every failure: a byte
// source empties `output` first, so nothing of what it held survives a call.
namespace nodmark::sources {

// Mode passed to ReadAdapterAddresses: kFilterListOff ignores the filter list store.
inline constexpr std::uint8_t kFilterListOff = 0;
inline constexpr std::uint8_t kFilterListOn = 1;

// True with exactly the six address bytes of the first acceptable network adapter;
// false with `output` empty when none qualifies or the list cannot be read.
bool ReadAdapterAddresses(ByteString& output, std::uint8_t mode);

// True with six bytes: the serial of volume "c:\" least significant byte first, then
// two zero bytes. False with `output` empty when the volume cannot be queried.
bool ReadVolumeSerial(ByteString& output);

// The six bytes ReadVolumeSerial gives for `serial`.
ByteString VolumeSerialBytes(std::uint32_t serial);

// Always true. `output` is the vendor text, "_" and the feature flags in lower-case
// hex (e.g. GenuineIntel_bfebfbff), or empty when processor identification faults.
bool ReadProcessorSignature(ByteString& output);

// Always true. `output` is the firmware identification text (1 to 127 printable
// characters), or empty when none is found or firmware memory cannot be mapped.
bool ReadFirmwareSignature(ByteString& output);

// The per-machine random identifier kept in the store file, normally three
// characters from 0-9 and A-Z; "ZZZ" when no value can be read or stored. Never empty.
std::string ReadStoredRandomId();

// One character derived from the component settings' tag value ("4"). May throw
// std::bad_alloc on the first call, which creates the settings.
std::string ReadSettingsTag();

}  // namespace nodmark::sources

#endif  // NODMARK_SOURCES_MACHINE_SOURCES_H_
