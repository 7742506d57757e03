#ifndef NODMARK_PLATFORM_INI_TEXT_H_
#define NODMARK_PLATFORM_INI_TEXT_H_

#include <optional>
#include <string>
#include <string_view>

// The text of a private-profile (INI) file, read and edited as the Windows profile
// functions do, for platforms that have no such functions. Pure functions over text.
//
// The text is a sequence of lines ending in "\n" or "\r\n". A line whose first
// non-blank character is '[' opens a section named by what follows, up to ']' (or
// the line's end). Within a section, a line holding '=' is an entry: the key is what
// precedes the first '=', the value what follows it, both without surrounding blanks;
// a value enclosed in a pair of double or single quotes loses them. Lines starting
// with ';', lines without '=' and lines before the first section are no entries.
// Section and key names are compared without regard to ASCII letter case; when a name
// occurs twice, the first occurrence counts.
namespace nodmark::platform {

// The value of `key` in `section`, or nullopt when the section or the key is absent.
std::optional<std::string> FindIniValue(std::string_view text, std::string_view section,
                                        std::string_view key);

// `text` with `key` of `section` set to `value`. An existing entry is rewritten in
// place (its key keeps its spelling); a new key goes after the section's last entry;
// a new section goes at the end. Every other line is kept byte for byte, and new lines
// end like the text's first line ("\n" for an empty text). Nullopt, and nothing to
// write, when the section name holds ']', the key is blank or holds '=', the key
// starts with '[' or ';', or any of the three holds a line break or a zero byte.
std::optional<std::string> SetIniValue(std::string_view text, std::string_view section,
                                       std::string_view key, std::string_view value);

}  // namespace nodmark::platform

#endif  // NODMARK_PLATFORM_INI_TEXT_H_
