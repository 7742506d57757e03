#ifndef NODMARK_IDENTIFIERS_IDENTIFIER_SET_H_
#define NODMARK_IDENTIFIERS_IDENTIFIER_SET_H_

#include <string>

namespace nodmark::identifiers {

// The machine's three peer identifiers, computed once by the constructor from the
// machine sources and unchanged afterwards. Construction never fails for any
// combination of source results (it may throw std::bad_alloc). After construction
// the set is read-only and may be read from any thread.
class IdentifierSet {
 public:
  IdentifierSet();

  // Copies of the identifiers: legacy (16 hex characters), current (12 or 16 hex
  // characters, the stored random identifier and the settings tag) and digest-based
  // (32 hex characters).
  std::string GetOldIdentifier() const { return id_old; }
  std::string GetNewIdentifier() const { return id_new; }
  std::string GetComplicateIdentifier() const { return id_complicate; }

 private:
  static std::string BuildOldIdentifier();
  static std::string BuildNewIdentifier();
  static std::string BuildComplicateIdentifier();

  // Destroyed in reverse order: id_complicate, id_new, id_old.
  std::string id_old;
  std::string id_new;
  std::string id_complicate;
};

}  // namespace nodmark::identifiers

#endif  // NODMARK_IDENTIFIERS_IDENTIFIER_SET_H_
