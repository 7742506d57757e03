// Reads this machine's three identifiers from nodmark.dll late bound, as a script
// engine does: the class is found by its ProgID, and each property by its name
// (IDispatch::GetIDsOfNames) and read with IDispatch::Invoke. No header of the
// component is needed.
//
//   late_bound_client.exe [ProgID]
//
// The ProgID defaults to "Nodmark.GerneralNodmark". nodmark.dll must be registered
// first (regsvr32 nodmark.dll). Prints one "<property> <value>" line per property
// and exits with 0, or names the failing call and its HRESULT on standard error
// and exits with 1.
#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

const wchar_t kDefaultProgId[] = L"Nodmark.GerneralNodmark";
const wchar_t* const kProperties[] = {L"nodmark_old", L"nodmark_new", L"nodmark_complicate"};

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

// The IDispatch reference, released when the object goes.
class Dispatch {
 public:
  Dispatch() = default;
  ~Dispatch() {
    if (pointer_ != nullptr) pointer_->Release();
  }
  Dispatch(const Dispatch&) = delete;
  Dispatch& operator=(const Dispatch&) = delete;
  IDispatch* operator->() const { return pointer_; }
  void** put() { return reinterpret_cast<void**>(&pointer_); }

 private:
  IDispatch* pointer_ = nullptr;
};

// A VARIANT cleared when the object goes.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  ~Variant() { VariantClear(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  VARIANT* get() { return &value_; }

 private:
  VARIANT value_;
};

std::string Narrow(const wchar_t* wide, int length) {
  if (length == 0) return std::string();
  const int bytes = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, length, &text[0], bytes, nullptr, nullptr);
  return text;
}

int Fail(const char* call, const wchar_t* what, HRESULT hr) {
  std::fprintf(stderr, "late_bound_client: %s %s failed with 0x%08lX\n", call,
               Narrow(what, static_cast<int>(std::wcslen(what))).c_str(),
               static_cast<unsigned long>(hr));
  return 1;
}

}  // namespace

int main() {
  int argumentCount = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &argumentCount);
  const std::wstring progId = argumentCount > 1 ? arguments[1] : kDefaultProgId;
  LocalFree(arguments);

  const ComApartment apartment;
  if (FAILED(apartment.result())) return Fail("CoInitialize", L"", apartment.result());

  CLSID clsid{};
  HRESULT hr = CLSIDFromProgID(progId.c_str(), &clsid);
  if (FAILED(hr)) return Fail("CLSIDFromProgID (is nodmark.dll registered?)", progId.c_str(), hr);
  Dispatch nodmark;
  hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, nodmark.put());
  if (FAILED(hr)) return Fail("CoCreateInstance", progId.c_str(), hr);

  for (const wchar_t* property : kProperties) {
    LPOLESTR name = const_cast<LPOLESTR>(property);
    DISPID dispid = DISPID_UNKNOWN;
    hr = nodmark->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &dispid);
    if (FAILED(hr)) return Fail("GetIDsOfNames", property, hr);

    DISPPARAMS noArguments = {nullptr, nullptr, 0, 0};
    Variant value;
    hr = nodmark->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &noArguments,
                         value.get(), nullptr, nullptr);
    if (FAILED(hr)) return Fail("Invoke", property, hr);
    hr = VariantChangeType(value.get(), value.get(), 0, VT_BSTR);
    if (FAILED(hr)) return Fail("VariantChangeType", property, hr);

    const BSTR text = value.get()->bstrVal;
    std::printf("%s %s\n", Narrow(property, static_cast<int>(std::wcslen(property))).c_str(),
                Narrow(text, static_cast<int>(SysStringLen(text))).c_str());
  }
  return 0;
}
