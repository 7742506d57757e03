// Reads this machine's three identifiers from nodmark.dll late bound, as a script
// engine does: the class is found by its ProgID, and each property by its name
// (IDispatch::GetIDsOfNames) and read with IDispatch::Invoke. No header of the
// component is needed.
//
//   late_bound_client.exe [ProgID [property... | method(application)...]]
//
// The ProgID defaults to "Nodmark.GerneralNodmark", the properties to the three the
// class has; names are looked up as given, in any letter case. A name followed by an
// argument in parentheses, such as nodmark_new_for(com.example.invoicing), is called
// as a method with that one text argument. nodmark.dll must be
// registered first (regsvr32 nodmark.dll), or, without registration, lie beside the
// program with its assembly manifest nodmark.sxs.manifest, which the program's own
// manifest names (see examples\regfree). Prints one "<name> <value>" line per
// property or method and exits with 0, or names the failing call, its HRESULT and the system's
// text for it on standard error and exits with 1.
#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

namespace {

const wchar_t kDefaultProgId[] = L"Nodmark.GerneralNodmark";
const wchar_t* const kProperties[] = {L"nodmark_old", L"nodmark_new", L"nodmark_complicate"};
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

int Fail(const char* call, const std::wstring& what, HRESULT hr) {
  std::fprintf(stderr, "late_bound_client: %s %s failed with 0x%08lX%s\n", call,
               Narrow(what.c_str(), static_cast<int>(what.size())).c_str(),
               static_cast<unsigned long>(hr), SystemText(hr).c_str());
  if (hr == REGDB_E_CLASSNOTREG || hr == CO_E_CLASSSTRING)
    std::fprintf(stderr, "late_bound_client: %s\n", kNotFoundHint);
  return 1;
}

}  // namespace

int main() {
  int argumentCount = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &argumentCount);
  const std::wstring progId = argumentCount > 1 ? arguments[1] : kDefaultProgId;
  std::vector<std::wstring> properties(std::begin(kProperties), std::end(kProperties));
  if (argumentCount > 2) properties.assign(arguments + 2, arguments + argumentCount);
  LocalFree(arguments);

  const ComApartment apartment;
  if (FAILED(apartment.result())) return Fail("CoInitialize", std::wstring(), apartment.result());

  CLSID clsid{};
  HRESULT hr = CLSIDFromProgID(progId.c_str(), &clsid);
  if (FAILED(hr)) return Fail("CLSIDFromProgID", progId, hr);
  Dispatch nodmark;
  hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, nodmark.put());
  if (FAILED(hr)) return Fail("CoCreateInstance", progId, hr);

  for (const std::wstring& request : properties) {
    // "name(argument)": a method called with one text argument. A request that holds a
    // parenthesis is not empty, so it has a last character.
    const std::size_t open = request.find(L'(');
    const bool method = open != std::wstring::npos && request.back() == L')';
    const std::wstring property = method ? request.substr(0, open) : request;
    LPOLESTR name = const_cast<LPOLESTR>(property.c_str());
    DISPID dispid = DISPID_UNKNOWN;
    hr = nodmark->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &dispid);
    if (FAILED(hr)) return Fail("GetIDsOfNames", property, hr);

    Variant argument;
    DISPPARAMS parameters = {nullptr, nullptr, 0, 0};
    if (method) {
      const std::wstring text = request.substr(open + 1, request.size() - open - 2);
      argument.get()->vt = VT_BSTR;
      argument.get()->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
      if (argument.get()->bstrVal == nullptr)
        return Fail("SysAllocString", property, E_OUTOFMEMORY);
      parameters = {argument.get(), nullptr, 1, 0};
    }
    Variant value;
    hr = nodmark->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT,
                         method ? DISPATCH_METHOD : DISPATCH_PROPERTYGET, &parameters, value.get(),
                         nullptr, nullptr);
    if (FAILED(hr)) return Fail("Invoke", property, hr);
    hr = VariantChangeType(value.get(), value.get(), 0, VT_BSTR);
    if (FAILED(hr)) return Fail("VariantChangeType", property, hr);

    const BSTR text = value.get()->bstrVal;
    std::printf("%s %s\n", Narrow(property.c_str(), static_cast<int>(property.size())).c_str(),
                Narrow(text, static_cast<int>(SysStringLen(text))).c_str());
  }
  return 0;
}
