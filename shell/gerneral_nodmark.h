#ifndef NODMARK_SHELL_GERNERAL_NODMARK_H_
#define NODMARK_SHELL_GERNERAL_NODMARK_H_

#include <windows.h>

#include <objsafe.h>

#include <atomic>
#include <string>

#include "identifiers/identifier_set.h"
#include "shell/nodmark.h"  // generated from nodmark.idl

namespace nodmark::shell {

// An instance of the automation class GerneralNodmark. Construction computes the
// machine's three identifiers once (this may throw std::bad_alloc); the property
// getters hand out fresh automation strings of them, and the per-application methods
// the keyed digests of them. The dual-interface entry (IGerneralNodmark2, which is also
// the instance's IGerneralNodmark, IUnknown and IDispatch) comes first, the
// IObjectSafety entry second.
//
// A plain instance (outer null) counts its own references and is destroyed by the
// Release that brings the count to 0. The inner instance of an aggregate sends its
// IUnknown methods to the outer object, whose reference it does not count.
// Instances are single-threaded: the COM runtime calls each from one apartment.
class GerneralNodmark final : public IGerneralNodmark2, public IObjectSafety {
 public:
  explicit GerneralNodmark(IUnknown* outer);
  ~GerneralNodmark() = default;
  GerneralNodmark(const GerneralNodmark&) = delete;
  GerneralNodmark& operator=(const GerneralNodmark&) = delete;

  // QueryInterface over the instance's own table (IGerneralNodmark,
  // IGerneralNodmark2, IDispatch, IObjectSafety), never asking the outer object. The AddRef goes
  // through the chosen entry, so for an inner instance it reaches the outer object.
  HRESULT LookUpOwnInterface(REFIID riid, void** ppv) noexcept;

  // IUnknown.
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) noexcept override;
  STDMETHODIMP_(ULONG) AddRef() noexcept override;
  STDMETHODIMP_(ULONG) Release() noexcept override;

  // IDispatch: forwarded to the shared dispatch functions.
  STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) noexcept override;
  STDMETHODIMP GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) noexcept override;
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                             DISPID* rgDispId) noexcept override;
  STDMETHODIMP Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                      DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                      UINT* puArgErr) noexcept override;

  // IGerneralNodmark: S_OK with a new string owned by the caller in *pVal;
  // E_POINTER for a null pVal; E_OUTOFMEMORY with *pVal null when no string can be
  // allocated.
  STDMETHODIMP get_nodmark_old(BSTR* pVal) noexcept override;
  STDMETHODIMP get_nodmark_new(BSTR* pVal) noexcept override;
  STDMETHODIMP get_nodmark_complicate(BSTR* pVal) noexcept override;

  // IGerneralNodmark2: S_OK with a new string owned by the caller in *pVal, 32
  // upper-case hex digits: the application's form of the identifier (see
  // identifiers/application_identifier.h). E_POINTER for a null pVal; otherwise *pVal
  // is null on failure: E_INVALIDARG for a null or empty application or one that is
  // not valid UTF-16, E_OUTOFMEMORY.
  STDMETHODIMP nodmark_old_for(BSTR application, BSTR* pVal) noexcept override;
  STDMETHODIMP nodmark_new_for(BSTR application, BSTR* pVal) noexcept override;
  STDMETHODIMP nodmark_complicate_for(BSTR application, BSTR* pVal) noexcept override;

  // IObjectSafety: every request succeeds. GetInterfaceSafetyOptions writes nothing
  // through its two pointers; SetInterfaceSafetyOptions stores nothing.
  STDMETHODIMP GetInterfaceSafetyOptions(REFIID riid, DWORD* pdwSupportedOptions,
                                         DWORD* pdwEnabledOptions) noexcept override;
  STDMETHODIMP SetInterfaceSafetyOptions(REFIID riid, DWORD dwOptionSetMask,
                                         DWORD dwEnabledOptions) noexcept override;

 private:
  std::atomic<ULONG> refCount_{0};
  IUnknown* const outer_;  // not counted; null for a plain instance
  const identifiers::IdentifierSet identifiers_;
  // Copies of the identifiers taken once here, so a getter only converts text and
  // can fail for lack of memory for its string alone.
  const std::string oldText_;
  const std::string newText_;
  const std::string complicateText_;
};

// The wrapper that lets an outer object aggregate a GerneralNodmark: its own
// non-delegating IUnknown and reference count around a complete inner instance.
// QueryInterface answers IUnknown with the aggregate itself and every other IID from
// the inner instance's table.
class GerneralNodmarkAggregate final : public IUnknown {
 public:
  explicit GerneralNodmarkAggregate(IUnknown* outer);
  ~GerneralNodmarkAggregate() = default;
  GerneralNodmarkAggregate(const GerneralNodmarkAggregate&) = delete;
  GerneralNodmarkAggregate& operator=(const GerneralNodmarkAggregate&) = delete;

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) noexcept override;
  STDMETHODIMP_(ULONG) AddRef() noexcept override;
  STDMETHODIMP_(ULONG) Release() noexcept override;

 private:
  std::atomic<ULONG> refCount_{0};
  GerneralNodmark inner_;
};

// The class table's instance maker: with a null `outer` a plain instance asked for
// `riid`, otherwise an aggregate for `outer` asked for `riid`. Each live instance or
// aggregate locks the module once. S_OK with the one reference in *ppv; otherwise *ppv
// is null, nothing stays allocated or locked, and the result is E_POINTER (null ppv),
// E_OUTOFMEMORY (no memory, the identifiers included), E_UNEXPECTED (any other error
// while computing them) or the QueryInterface failure.
HRESULT CreateGerneralNodmark(IUnknown* outer, REFIID riid, void** ppv) noexcept;

}  // namespace nodmark::shell

#endif  // NODMARK_SHELL_GERNERAL_NODMARK_H_
