#ifndef NODMARK_TESTS_FAKE_FAKE_TYPE_LIBRARY_LOADER_H_
#define NODMARK_TESTS_FAKE_FAKE_TYPE_LIBRARY_LOADER_H_

#include <windows.h>

#include <atomic>
#include <string>

namespace nodmark::fake {

// Script of the type-library loader linked into the shell's test program in place of
// the real one, which reads the registry. A load that does not fail reads the type
// library from `libraryFile` (a module carrying it as a resource, or a .tlb) without
// registering anything, whatever LIBID and version are asked for.
struct TypeLibraryLoaderScript {
  HRESULT failWith = S_OK;  // a failure code here is answered instead of loading
  std::wstring libraryFile;
  std::atomic<int> loads{0};  // calls, failed ones included
  std::atomic<LCID> lastLcid{0};
  // When set, the loaded type information counts the GetIDsOfNames calls reaching it.
  bool countNameLookups = false;
  std::atomic<int> nameLookups{0};
};

TypeLibraryLoaderScript& TypeLibraryLoader();

// Resets the script: no failure, no calls, no counting, and `libraryFile` as the file to load.
TypeLibraryLoaderScript& ResetTypeLibraryLoader(const std::wstring& libraryFile);

}  // namespace nodmark::fake

#endif  // NODMARK_TESTS_FAKE_FAKE_TYPE_LIBRARY_LOADER_H_
