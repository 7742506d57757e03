#include "shell/type_library_loader.h"

#include <oleauto.h>

namespace nodmark::shell {

HRESULT LoadRegisteredTypeLibrary(REFGUID libid, WORD major, WORD minor, LCID lcid,
                                  ITypeLib** library) noexcept {
  *library = nullptr;
  return LoadRegTypeLib(libid, major, minor, lcid, library);
}

}  // namespace nodmark::shell
