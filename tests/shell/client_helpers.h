#ifndef NODMARK_TESTS_SHELL_CLIENT_HELPERS_H_
#define NODMARK_TESTS_SHELL_CLIENT_HELPERS_H_

#include <windows.h>

#include <oleauto.h>

#include <string>

#include "shell/nodmark.h"  // generated from nodmark.idl, as a client would use it

// What the shell's tests share: the component's identities written independently of
// the shell's own constants, the three property getters as a table, and an outer
// object for aggregation.
namespace nodmark::testing {

// A GUID from its registry text; a malformed text is a defect of the test itself.
GUID GuidFromText(const wchar_t* text);

inline const wchar_t kClsidText[] = L"{0A47E819-F82E-4D5D-B806-6A9EA94D68CD}";
inline const wchar_t kIidText[] = L"{0C2F6F40-9D45-437B-A61E-2470148259AB}";
inline const wchar_t kIid2Text[] = L"{FB475E00-132F-40D6-BAFF-A1DBF9F7197D}";
inline const wchar_t kLibidText[] = L"{54BAE923-A008-4AA2-82E1-47F612C9A090}";

// Values a call must overwrite or leave alone, recognisable when it did neither.
inline BSTR const kJunkString = reinterpret_cast<BSTR>(0x0BADF00D);
inline void* const kJunkPointer = reinterpret_cast<void*>(0x0BADF00D);
inline constexpr DISPID kJunkDispid = 0x5A5A;

struct PropertyGetter {
  const char* name;
  HRESULT (*read)(IGerneralNodmark* object, BSTR* value);
};

inline const PropertyGetter kPropertyGetters[] = {
    {"nodmark_old", [](IGerneralNodmark* o, BSTR* v) { return o->get_nodmark_old(v); }},
    {"nodmark_new", [](IGerneralNodmark* o, BSTR* v) { return o->get_nodmark_new(v); }},
    {"nodmark_complicate",
     [](IGerneralNodmark* o, BSTR* v) { return o->get_nodmark_complicate(v); }},
};

// The three per-application methods of IGerneralNodmark2, each beside the property
// whose identifier it keys with.
struct ApplicationMethod {
  const char* name;
  HRESULT (*read)(IGerneralNodmark2* object, BSTR application, BSTR* value);
};

inline const ApplicationMethod kApplicationMethods[] = {
    {"nodmark_old_for",
     [](IGerneralNodmark2* o, BSTR a, BSTR* v) { return o->nodmark_old_for(a, v); }},
    {"nodmark_new_for",
     [](IGerneralNodmark2* o, BSTR a, BSTR* v) { return o->nodmark_new_for(a, v); }},
    {"nodmark_complicate_for",
     [](IGerneralNodmark2* o, BSTR a, BSTR* v) { return o->nodmark_complicate_for(a, v); }},
};

// Owns a VARIANT and clears it when it goes.
struct ScopedVariant {
  ScopedVariant() { VariantInit(&value); }
  ~ScopedVariant() { VariantClear(&value); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
  VARIANT value;
};

// GetIDsOfNames for one name, and Invoke of a property get without arguments, as a
// late-binding client makes them.
HRESULT IdOf(IDispatch* object, const wchar_t* name, DISPID* dispid);
HRESULT ReadByDispid(IDispatch* object, DISPID dispid, VARIANT* result);

// The wide form of an ASCII identifier text.
std::wstring Widen(const std::string& ascii);

// An outer object for aggregation that lives on the test's stack. It counts the calls
// that reach it and answers IUnknown itself; other IIDs go to the aggregated inner
// object's IUnknown when `delegate` is set and are refused otherwise.
class TestOuter final : public IUnknown {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  IUnknown* inner = nullptr;  // the aggregate, not counted here
  bool delegate = false;
  ULONG count = 1;
  int addRefCalls = 0;
  int releaseCalls = 0;
  int queryCalls = 0;
};

}  // namespace nodmark::testing

#endif  // NODMARK_TESTS_SHELL_CLIENT_HELPERS_H_
