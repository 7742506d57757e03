#include "fake/counting_type_library.h"

#include "platform/win32/com_ptr.h"

namespace nodmark::fake {
namespace {

// IUnknown of a wrapper that answers for `Interface` and forwards to `inner`.
template <typename Interface>
class Wrapper : public Interface {
 public:
  Wrapper(Interface* inner, REFIID iid, std::atomic<int>* nameLookups)
      : inner_(inner), iid_(iid), nameLookups_(nameLookups) {
    inner_->AddRef();
  }
  virtual ~Wrapper() { inner_->Release(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != iid_) return E_NOINTERFACE;
    *object = static_cast<Interface*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  Interface* const inner_;
  const IID iid_;
  std::atomic<int>* const nameLookups_;

 private:
  std::atomic<ULONG> references_{1};
};

class CountingTypeInfo final : public Wrapper<ITypeInfo> {
 public:
  CountingTypeInfo(ITypeInfo* inner, std::atomic<int>* nameLookups)
      : Wrapper(inner, IID_ITypeInfo, nameLookups) {}

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) override {
    ++*nameLookups_;
    return inner_->GetIDsOfNames(names, count, ids);
  }

  HRESULT STDMETHODCALLTYPE GetTypeAttr(TYPEATTR** attributes) override {
    return inner_->GetTypeAttr(attributes);
  }
  HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp** comp) override {
    return inner_->GetTypeComp(comp);
  }
  HRESULT STDMETHODCALLTYPE GetFuncDesc(UINT index, FUNCDESC** desc) override {
    return inner_->GetFuncDesc(index, desc);
  }
  HRESULT STDMETHODCALLTYPE GetVarDesc(UINT index, VARDESC** desc) override {
    return inner_->GetVarDesc(index, desc);
  }
  HRESULT STDMETHODCALLTYPE GetNames(MEMBERID id, BSTR* names, UINT max, UINT* count) override {
    return inner_->GetNames(id, names, max, count);
  }
  HRESULT STDMETHODCALLTYPE GetRefTypeOfImplType(UINT index, HREFTYPE* type) override {
    return inner_->GetRefTypeOfImplType(index, type);
  }
  HRESULT STDMETHODCALLTYPE GetImplTypeFlags(UINT index, INT* flags) override {
    return inner_->GetImplTypeFlags(index, flags);
  }
  HRESULT STDMETHODCALLTYPE Invoke(PVOID instance, MEMBERID id, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) override {
    return inner_->Invoke(instance, id, flags, params, result, exception, argumentError);
  }
  HRESULT STDMETHODCALLTYPE GetDocumentation(MEMBERID id, BSTR* name, BSTR* doc, DWORD* context,
                                             BSTR* helpFile) override {
    return inner_->GetDocumentation(id, name, doc, context, helpFile);
  }
  HRESULT STDMETHODCALLTYPE GetDllEntry(MEMBERID id, INVOKEKIND kind, BSTR* dll, BSTR* name,
                                        WORD* ordinal) override {
    return inner_->GetDllEntry(id, kind, dll, name, ordinal);
  }
  HRESULT STDMETHODCALLTYPE GetRefTypeInfo(HREFTYPE type, ITypeInfo** info) override {
    return inner_->GetRefTypeInfo(type, info);
  }
  HRESULT STDMETHODCALLTYPE AddressOfMember(MEMBERID id, INVOKEKIND kind, PVOID* address) override {
    return inner_->AddressOfMember(id, kind, address);
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, PVOID* object) override {
    return inner_->CreateInstance(outer, iid, object);
  }
  HRESULT STDMETHODCALLTYPE GetMops(MEMBERID id, BSTR* mops) override {
    return inner_->GetMops(id, mops);
  }
  HRESULT STDMETHODCALLTYPE GetContainingTypeLib(ITypeLib** library, UINT* index) override {
    return inner_->GetContainingTypeLib(library, index);
  }
  void STDMETHODCALLTYPE ReleaseTypeAttr(TYPEATTR* attributes) override {
    inner_->ReleaseTypeAttr(attributes);
  }
  void STDMETHODCALLTYPE ReleaseFuncDesc(FUNCDESC* desc) override { inner_->ReleaseFuncDesc(desc); }
  void STDMETHODCALLTYPE ReleaseVarDesc(VARDESC* desc) override { inner_->ReleaseVarDesc(desc); }
};

class CountingTypeLib final : public Wrapper<ITypeLib> {
 public:
  CountingTypeLib(ITypeLib* inner, std::atomic<int>* nameLookups)
      : Wrapper(inner, IID_ITypeLib, nameLookups) {}

  HRESULT STDMETHODCALLTYPE GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** info) override {
    platform::ComPtr<ITypeInfo> found;
    const HRESULT hr = inner_->GetTypeInfoOfGuid(guid, found.put());
    *info = SUCCEEDED(hr) ? new CountingTypeInfo(found.get(), nameLookups_) : nullptr;
    return hr;
  }

  UINT STDMETHODCALLTYPE GetTypeInfoCount() override { return inner_->GetTypeInfoCount(); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, ITypeInfo** info) override {
    return inner_->GetTypeInfo(index, info);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoType(UINT index, TYPEKIND* kind) override {
    return inner_->GetTypeInfoType(index, kind);
  }
  HRESULT STDMETHODCALLTYPE GetLibAttr(TLIBATTR** attributes) override {
    return inner_->GetLibAttr(attributes);
  }
  HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp** comp) override {
    return inner_->GetTypeComp(comp);
  }
  HRESULT STDMETHODCALLTYPE GetDocumentation(INT index, BSTR* name, BSTR* doc, DWORD* context,
                                             BSTR* helpFile) override {
    return inner_->GetDocumentation(index, name, doc, context, helpFile);
  }
  HRESULT STDMETHODCALLTYPE IsName(LPOLESTR name, ULONG hash, WINBOOL* found) override {
    return inner_->IsName(name, hash, found);
  }
  HRESULT STDMETHODCALLTYPE FindName(LPOLESTR name, ULONG hash, ITypeInfo** infos, MEMBERID* ids,
                                     USHORT* found) override {
    return inner_->FindName(name, hash, infos, ids, found);
  }
  void STDMETHODCALLTYPE ReleaseTLibAttr(TLIBATTR* attributes) override {
    inner_->ReleaseTLibAttr(attributes);
  }
};

}  // namespace

ITypeLib* CountNameLookups(ITypeLib* library, std::atomic<int>* nameLookups) {
  return new CountingTypeLib(library, nameLookups);
}

}  // namespace nodmark::fake
