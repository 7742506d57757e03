#include "shell/name_cache.h"

#include <cwchar>
#include <utility>

#include "shell/type_info_description.h"

namespace nodmark::shell {

NameCache NameCache::Build(ITypeInfo* info) noexcept {
  NameCache cache;
  try {
    const HeldTypeAttr attributes(info);
    if (!attributes) return cache;
    cache.rows_.resize(attributes->cFuncs);
    for (UINT index = 0; index < attributes->cFuncs; ++index) {
      const HeldFuncDesc function(info, index);
      if (!function) continue;
      NameCacheEntry& row = cache.rows_[index];
      if (FAILED(info->GetDocumentation(function->memid, row.name.put(), /*docString=*/nullptr,
                                        /*helpContext=*/nullptr, /*helpFile=*/nullptr))) {
        row.name.reset();
        continue;
      }
      row.length = SysStringLen(row.name.get());
      row.dispid = function->memid;
    }
  } catch (...) {
    // No memory for the rows: the type information answers every name instead.
    return NameCache();
  }
  return cache;
}

bool NameCache::Find(const OLECHAR* name, DISPID* dispid) const noexcept {
  const std::size_t length = std::wcslen(name);
  for (auto row = rows_.rbegin(); row != rows_.rend(); ++row) {
    if (!row->name || row->length != length) continue;
    if (std::wmemcmp(row->name.get(), name, length) != 0) continue;
    *dispid = row->dispid;
    return true;
  }
  return false;
}

}  // namespace nodmark::shell
