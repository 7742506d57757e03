#ifndef NODMARK_SHELL_MODULE_DIRECTORY_H_
#define NODMARK_SHELL_MODULE_DIRECTORY_H_

#include <functional>
#include <string>

namespace nodmark::shell {

// Tells whether a byte of the ANSI code page starts a double-byte character.
using LeadBytePredicate = std::function<bool(unsigned char byte)>;

// The directory of a module path: the path cut after its last backslash, the
// backslash kept ("c:\nodmark.DLL" gives "c:\"); the whole path when it holds none.
// The search steps over double-byte characters as `isLeadByte` marks them, so a
// trail byte that happens to be 0x5C is not taken for a backslash. A lead byte at the
// very end of the path (a cut character) is taken as a single byte. May throw
// std::bad_alloc.
std::string ModuleDirectory(const std::string& path, const LeadBytePredicate& isLeadByte);

}  // namespace nodmark::shell

#endif  // NODMARK_SHELL_MODULE_DIRECTORY_H_
