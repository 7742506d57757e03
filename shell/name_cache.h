#ifndef NODMARK_SHELL_NAME_CACHE_H_
#define NODMARK_SHELL_NAME_CACHE_H_

#include <windows.h>

#include <oaidl.h>

#include <cstddef>
#include <vector>

#include "platform/win32/scoped_bstr.h"

namespace nodmark::shell {

// One row of the name cache: a member's name as the type information spells it and
// its DISPID. A row whose name could not be read has a null name and matches nothing.
struct NameCacheEntry {
  platform::ScopedBstr name;
  UINT length = 0;  // UTF-16 code units of the name
  DISPID dispid = DISPID_UNKNOWN;
};

// The member names of a type information with their DISPIDs, so that the common
// lookup of a name spelt exactly as declared needs no call into the type information.
// Built once, then only read: reading from several threads at once is safe.
class NameCache {
 public:
  NameCache() = default;

  // One row for every function `info` reports, in its function order. When the type
  // attributes cannot be read or memory runs out, the cache comes out empty: that
  // only sends every lookup to the type information.
  static NameCache Build(ITypeInfo* info) noexcept;

  // The DISPID of the row whose name has exactly the code units of `name` (letter
  // case matters), searching from the last row to the first. False, with *dispid
  // untouched, when no row matches.
  bool Find(const OLECHAR* name, DISPID* dispid) const noexcept;

  std::size_t size() const noexcept { return rows_.size(); }
  const NameCacheEntry& row(std::size_t index) const noexcept { return rows_[index]; }

 private:
  std::vector<NameCacheEntry> rows_;
};

}  // namespace nodmark::shell

#endif  // NODMARK_SHELL_NAME_CACHE_H_
