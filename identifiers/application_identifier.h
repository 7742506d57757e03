#ifndef NODMARK_IDENTIFIERS_APPLICATION_IDENTIFIER_H_
#define NODMARK_IDENTIFIERS_APPLICATION_IDENTIFIER_H_

#include <string>

namespace nodmark::identifiers {

// The per-application form of a machine identifier: the first 16 bytes of HMAC-SHA256
// keyed with the identifier's text as it is held (ASCII) over the application name in
// UTF-8, as 32 upper-case hexadecimal digits. It changes exactly when the identifier
// or the name changes, and neither can be read back from it. Depends on its two
// arguments alone; any thread. May throw std::bad_alloc.
std::string ApplicationIdentifier(const std::string& identifier,
                                  const std::string& applicationUtf8);

}  // namespace nodmark::identifiers

#endif  // NODMARK_IDENTIFIERS_APPLICATION_IDENTIFIER_H_
