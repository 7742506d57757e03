#include "shell/interface_table.h"

namespace nodmark::shell {

HRESULT LookUpInterface(const InterfaceTableRow* rows, std::size_t count, REFIID riid,
                        void** ppv) noexcept {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  IUnknown* chosen = nullptr;
  if (riid == IID_IUnknown) {
    chosen = rows[0].entry;
  } else {
    for (std::size_t row = 0; row < count && chosen == nullptr; ++row) {
      if (*rows[row].iid == riid) chosen = rows[row].entry;
    }
  }
  if (chosen == nullptr) return E_NOINTERFACE;
  chosen->AddRef();
  *ppv = chosen;
  return S_OK;
}

}  // namespace nodmark::shell
