// Reads this machine's three identifiers from nodmark.dll early bound: the class is
// created by its CLSID and the properties are called straight through the
// IGerneralNodmark interface declared in nodmark.h (generated from nodmark.idl). Given
// an application name, it also reads that application's three identifiers through
// IGerneralNodmark2.
//
//   early_bound_client.exe [application]
//
// nodmark.dll must be registered first (regsvr32 nodmark.dll), or, without
// registration, lie beside the program with its assembly manifest nodmark.sxs.manifest,
// which the program's own manifest names (see examples\regfree). Prints one
// "<property> <value>" line per property (and "<method> <value>" per method) and exits
// with 0, or names the failing
// call, its HRESULT and the system's text for it on standard error and exits with 1.
#include <windows.h>

#include <initguid.h>  // this file defines the GUIDs nodmark.h declares

#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

#include "nodmark.h"

namespace {

const char kNotFoundHint[] =
    "nodmark.dll is neither registered (regsvr32 nodmark.dll) nor found without registration "
    "(this program's manifest must name the assembly nodmark.sxs, and nodmark.sxs.manifest "
    "and nodmark.dll must lie beside the program)";

// COM initialised on this thread for the life of the object.
class ComApartment {
 public:
  ComApartment() : result_(CoInitialize(nullptr)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  HRESULT result() const { return result_; }

 private:
  HRESULT result_;
};

// One counted reference, released when the object goes.
template <typename Interface>
class Reference {
 public:
  Reference() = default;
  ~Reference() {
    if (pointer_ != nullptr) pointer_->Release();
  }
  Reference(const Reference&) = delete;
  Reference& operator=(const Reference&) = delete;
  Interface* operator->() const { return pointer_; }
  void** put() { return reinterpret_cast<void**>(&pointer_); }

 private:
  Interface* pointer_ = nullptr;
};

// An automation string owned by the caller, freed when the object goes.
class String {
 public:
  String() = default;
  // A copy of `text`, given in the console's code page.
  explicit String(const char* text) {
    const int units = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (units <= 1) return;
    value_ = SysAllocStringLen(nullptr, static_cast<UINT>(units - 1));
    if (value_ != nullptr) MultiByteToWideChar(CP_ACP, 0, text, -1, value_, units);
  }
  ~String() { SysFreeString(value_); }
  String(const String&) = delete;
  String& operator=(const String&) = delete;
  BSTR* put() { return &value_; }
  BSTR get() const { return value_; }

  // The text in the console's code page; the identifiers are plain ASCII.
  std::string Narrow() const {
    const int length = static_cast<int>(SysStringLen(value_));
    if (length == 0) return std::string();
    const int bytes = WideCharToMultiByte(CP_ACP, 0, value_, length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    WideCharToMultiByte(CP_ACP, 0, value_, length, &text[0], bytes, nullptr, nullptr);
    return text;
  }

 private:
  BSTR value_ = nullptr;
};

// What the system says about an HRESULT, as ": text", or nothing when it has no text.
std::string SystemText(HRESULT hr) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result(text != nullptr ? text : "", length);
  LocalFree(text);
  while (!result.empty() &&
         (result.back() == '\n' || result.back() == '\r' || result.back() == ' '))
    result.pop_back();
  return result.empty() ? result : ": " + result;
}

int Fail(const char* call, HRESULT hr) {
  std::fprintf(stderr, "early_bound_client: %s failed with 0x%08lX%s\n", call,
               static_cast<unsigned long>(hr), SystemText(hr).c_str());
  if (hr == REGDB_E_CLASSNOTREG) std::fprintf(stderr, "early_bound_client: %s\n", kNotFoundHint);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const ComApartment apartment;
  if (FAILED(apartment.result())) return Fail("CoInitialize", apartment.result());

  Reference<IGerneralNodmark> nodmark;
  const HRESULT created = CoCreateInstance(CLSID_GerneralNodmark, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IGerneralNodmark, nodmark.put());
  if (FAILED(created)) return Fail("CoCreateInstance", created);

  String oldId, newId, complicateId;
  HRESULT hr = nodmark->get_nodmark_old(oldId.put());
  if (FAILED(hr)) return Fail("nodmark_old", hr);
  hr = nodmark->get_nodmark_new(newId.put());
  if (FAILED(hr)) return Fail("nodmark_new", hr);
  hr = nodmark->get_nodmark_complicate(complicateId.put());
  if (FAILED(hr)) return Fail("nodmark_complicate", hr);

  std::printf("nodmark_old %s\n", oldId.Narrow().c_str());
  std::printf("nodmark_new %s\n", newId.Narrow().c_str());
  std::printf("nodmark_complicate %s\n", complicateId.Narrow().c_str());
  if (argc < 2) return 0;

  // The application's identifiers: the same object, asked for its second interface.
  Reference<IGerneralNodmark2> nodmark2;
  hr = nodmark->QueryInterface(IID_IGerneralNodmark2, nodmark2.put());
  if (FAILED(hr)) return Fail("QueryInterface IGerneralNodmark2", hr);
  const String application(argv[1]);
  String oldFor, newFor, complicateFor;
  hr = nodmark2->nodmark_old_for(application.get(), oldFor.put());
  if (FAILED(hr)) return Fail("nodmark_old_for", hr);
  hr = nodmark2->nodmark_new_for(application.get(), newFor.put());
  if (FAILED(hr)) return Fail("nodmark_new_for", hr);
  hr = nodmark2->nodmark_complicate_for(application.get(), complicateFor.put());
  if (FAILED(hr)) return Fail("nodmark_complicate_for", hr);
  std::printf("nodmark_old_for %s\n", oldFor.Narrow().c_str());
  std::printf("nodmark_new_for %s\n", newFor.Narrow().c_str());
  std::printf("nodmark_complicate_for %s\n", complicateFor.Narrow().c_str());
  return 0;
}
