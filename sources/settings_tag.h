#ifndef NODMARK_SOURCES_SETTINGS_TAG_H_
#define NODMARK_SOURCES_SETTINGS_TAG_H_

#include <cstdint>

namespace nodmark::sources {

// The tag character for a settings tag value, chosen by the value's count of
// significant bits n (0 for 0, else the highest set bit's position plus one):
// '1' + n for n 0 to 5, '2' + n for n 6 and 7, '9' + n for n 8 to 32. So 0 gives '1',
// 4 gives '4', 32 gives '8' and 0xFFFFFFFF gives 'Y'; '7' never occurs.
char SettingsTagFor(std::uint32_t tagValue);

}  // namespace nodmark::sources

#endif  // NODMARK_SOURCES_SETTINGS_TAG_H_
