#include "fake/fake_type_library_loader.h"

#include <oleauto.h>

#include "fake/counting_type_library.h"
#include "platform/win32/com_ptr.h"
#include "shell/type_library_loader.h"

namespace nodmark::fake {

TypeLibraryLoaderScript& TypeLibraryLoader() {
  static TypeLibraryLoaderScript script;
  return script;
}

TypeLibraryLoaderScript& ResetTypeLibraryLoader(const std::wstring& libraryFile) {
  TypeLibraryLoaderScript& script = TypeLibraryLoader();
  script.failWith = S_OK;
  script.libraryFile = libraryFile;
  script.loads = 0;
  script.lastLcid = 0;
  script.countNameLookups = false;
  script.nameLookups = 0;
  return script;
}

}  // namespace nodmark::fake

namespace nodmark::shell {

HRESULT LoadRegisteredTypeLibrary(REFGUID /*libid*/, WORD /*major*/, WORD /*minor*/, LCID lcid,
                                  ITypeLib** library) noexcept {
  fake::TypeLibraryLoaderScript& script = fake::TypeLibraryLoader();
  *library = nullptr;
  ++script.loads;
  script.lastLcid = lcid;
  if (FAILED(script.failWith)) return script.failWith;
  platform::ComPtr<ITypeLib> loaded;
  const HRESULT hr = LoadTypeLibEx(script.libraryFile.c_str(), REGKIND_NONE, loaded.put());
  if (FAILED(hr)) return hr;
  *library = script.countNameLookups ? fake::CountNameLookups(loaded.get(), &script.nameLookups)
                                     : loaded.release();
  return S_OK;
}

}  // namespace nodmark::shell
