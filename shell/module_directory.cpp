#include "shell/module_directory.h"

namespace nodmark::shell {
namespace {

constexpr char kBackslash = '\\';

}  // namespace

std::string ModuleDirectory(const std::string& path, const LeadBytePredicate& isLeadByte) {
  // Walked forward: in a double-byte code page only a walk from the start knows
  // which bytes begin characters.
  std::string::size_type end = path.size();
  std::string::size_type at = 0;
  while (at < path.size()) {
    const auto byte = static_cast<unsigned char>(path[at]);
    if (isLeadByte(byte) && at + 1 < path.size()) {
      at += 2;
      continue;
    }
    if (path[at] == kBackslash) end = at + 1;
    ++at;
  }
  return path.substr(0, end);
}

}  // namespace nodmark::shell
