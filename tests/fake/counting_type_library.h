#ifndef NODMARK_TESTS_FAKE_COUNTING_TYPE_LIBRARY_H_
#define NODMARK_TESTS_FAKE_COUNTING_TYPE_LIBRARY_H_

#include <windows.h>

#include <oaidl.h>

#include <atomic>

namespace nodmark::fake {

// `library` (kept referenced) behind a type library whose type informations add one
// to *nameLookups on every GetIDsOfNames call that reaches them. Everything else is
// forwarded; the wrapped type informations answer for ITypeInfo only, not for
// ITypeInfo2. The result carries one reference for the caller.
ITypeLib* CountNameLookups(ITypeLib* library, std::atomic<int>* nameLookups);

}  // namespace nodmark::fake

#endif  // NODMARK_TESTS_FAKE_COUNTING_TYPE_LIBRARY_H_
