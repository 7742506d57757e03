// The type library carried in the shipped DLL as resource "TYPELIB" 1, read back with
// the system's own type-library loader.
#include <windows.h>

#include <gtest/gtest.h>

#include <oleauto.h>

#include <string>

#include "platform/win32/architecture.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/scoped_bstr.h"
#include "shell/client_helpers.h"
#include "shell/nodmark_dll.h"

namespace nodmark::testing {
namespace {

constexpr UINT kInheritedSlots = 7;  // IUnknown and IDispatch
constexpr UINT kSlotSize = sizeof(void*);
const wchar_t kStdOleLibidText[] = L"{00020430-0000-0000-C000-000000000046}";

// Releases a type attribute, function or variable description with its owner.
template <typename Description, void (STDMETHODCALLTYPE ITypeInfo::*Free)(Description*)>
class HeldDescription {
 public:
  HeldDescription(ITypeInfo* owner, Description* description)
      : owner_(owner), description_(description) {}
  ~HeldDescription() {
    if (description_ != nullptr) (owner_->*Free)(description_);
  }
  HeldDescription(const HeldDescription&) = delete;
  HeldDescription& operator=(const HeldDescription&) = delete;
  const Description* operator->() const { return description_; }
  explicit operator bool() const { return description_ != nullptr; }

 private:
  ITypeInfo* owner_;
  Description* description_;
};

using HeldTypeAttr = HeldDescription<TYPEATTR, &ITypeInfo::ReleaseTypeAttr>;
using HeldFuncDesc = HeldDescription<FUNCDESC, &ITypeInfo::ReleaseFuncDesc>;

HeldTypeAttr TypeAttr(ITypeInfo* info) {
  TYPEATTR* attr = nullptr;
  EXPECT_EQ(info->GetTypeAttr(&attr), S_OK);
  return HeldTypeAttr(info, attr);
}

std::wstring Text(BSTR text) { return text == nullptr ? L"" : std::wstring(text); }

class TypeLibraryTest : public DllClientTest {
 protected:
  void SetUp() override {
    DllClientTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_EQ(LoadTypeLibEx(NodmarkDllPath().c_str(), REGKIND_NONE, library.put()), S_OK);
  }
  void TearDown() override {
    library.reset();
    DllClientTest::TearDown();
  }

  platform::ComPtr<ITypeInfo> InfoOf(REFGUID guid) {
    platform::ComPtr<ITypeInfo> info;
    EXPECT_EQ(library->GetTypeInfoOfGuid(guid, info.put()), S_OK);
    return info;
  }

  // The type that `info` implements at `index` (-1: a dual interface's function table).
  static platform::ComPtr<ITypeInfo> Implemented(ITypeInfo* info, UINT index) {
    HREFTYPE reference = 0;
    platform::ComPtr<ITypeInfo> implemented;
    EXPECT_EQ(info->GetRefTypeOfImplType(index, &reference), S_OK);
    EXPECT_EQ(info->GetRefTypeInfo(reference, implemented.put()), S_OK);
    return implemented;
  }

  platform::ComPtr<ITypeLib> library;
};

TEST_F(TypeLibraryTest, LibraryIsNodmarkLibVersionOneZeroForTheModulesPlatform) {
  EXPECT_NE(FindResourceW(dll->handle(), MAKEINTRESOURCEW(1), L"TYPELIB"), nullptr)
      << "carried as resource TYPELIB 1";
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(library->GetLibAttr(&attr), S_OK);
  EXPECT_EQ(attr->guid, GuidFromText(kLibidText));
  EXPECT_EQ(attr->wMajorVerNum, 1);
  EXPECT_EQ(attr->wMinorVerNum, 0);
  EXPECT_EQ(attr->lcid, 0u) << "language neutral";
  // Compiled for the platform of the DLL that carries it: 64-bit hosts read a win64 one.
  EXPECT_EQ(attr->syskind, platform::win32::kIs64Bit ? SYS_WIN64 : SYS_WIN32);
  // The loader marks every library it read from a file as having a disk image; the
  // library itself declares no flags.
  EXPECT_EQ(attr->wLibFlags & ~LIBFLAG_FHASDISKIMAGE, 0);
  library->ReleaseTLibAttr(attr);

  platform::ScopedBstr name, help, helpFile;
  DWORD helpContext = 1;
  ASSERT_EQ(library->GetDocumentation(-1, name.put(), help.put(), &helpContext, helpFile.put()),
            S_OK);
  EXPECT_EQ(Text(name.get()), L"NODMARKLib");
  EXPECT_EQ(Text(help.get()), L"nodmark 1.0 Type Library");
  EXPECT_EQ(helpFile.get(), nullptr);
  EXPECT_EQ(helpContext, 0u);
  EXPECT_EQ(library->GetTypeInfoCount(), 3u) << "the two interfaces and the class";
}

TEST_F(TypeLibraryTest, ClassIsCreatableWithTheSecondInterfaceAsDefault) {
  platform::ComPtr<ITypeInfo> coclass = InfoOf(clsid);
  ASSERT_TRUE(coclass);
  const HeldTypeAttr attr = TypeAttr(coclass.get());
  ASSERT_TRUE(attr);
  EXPECT_EQ(attr->typekind, TKIND_COCLASS);
  EXPECT_EQ(attr->wTypeFlags, TYPEFLAG_FCANCREATE);
  ASSERT_EQ(attr->cImplTypes, 2);

  const struct {
    GUID iid;
    INT flags;
  } implemented[] = {{GuidFromText(kIid2Text), IMPLTYPEFLAG_FDEFAULT}, {iid, 0}};
  for (UINT i = 0; i < std::size(implemented); ++i) {
    INT implFlags = -1;
    ASSERT_EQ(coclass->GetImplTypeFlags(i, &implFlags), S_OK) << i;
    EXPECT_EQ(implFlags, implemented[i].flags) << i;
    platform::ComPtr<ITypeInfo> interfaceInfo = Implemented(coclass.get(), i);
    ASSERT_TRUE(interfaceInfo) << i;
    EXPECT_EQ(TypeAttr(interfaceInfo.get())->guid, implemented[i].iid) << i;
  }

  platform::ScopedBstr name, help;
  ASSERT_EQ(coclass->GetDocumentation(MEMBERID_NIL, name.put(), help.put(), nullptr, nullptr),
            S_OK);
  EXPECT_EQ(Text(name.get()), L"GerneralNodmark");
  EXPECT_EQ(Text(help.get()), L"GerneralNodmark Class");
}

TEST_F(TypeLibraryTest, InterfaceIsDualAutomationDerivedFromStdOleIDispatch) {
  platform::ComPtr<ITypeInfo> info = InfoOf(iid);
  ASSERT_TRUE(info);
  const HeldTypeAttr attr = TypeAttr(info.get());
  ASSERT_TRUE(attr);
  // The dispatch view of a dual interface; the function-table view below also carries
  // the automation flag.
  EXPECT_EQ(attr->wTypeFlags, TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE);
  platform::ScopedBstr name, help;
  ASSERT_EQ(info->GetDocumentation(MEMBERID_NIL, name.put(), help.put(), nullptr, nullptr), S_OK);
  EXPECT_EQ(Text(name.get()), L"IGerneralNodmark");
  EXPECT_EQ(Text(help.get()), L"IGerneralNodmark Interface");

  // The function-table side of the dual interface.
  HREFTYPE vtableSide = 0;
  ASSERT_EQ(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtableSide), S_OK);
  platform::ComPtr<ITypeInfo> vtable;
  ASSERT_EQ(info->GetRefTypeInfo(vtableSide, vtable.put()), S_OK);
  const HeldTypeAttr vtableAttr = TypeAttr(vtable.get());
  EXPECT_EQ(vtableAttr->typekind, TKIND_INTERFACE);
  EXPECT_EQ(vtableAttr->wTypeFlags,
            TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE);
  EXPECT_EQ(vtableAttr->cFuncs, 3);
  EXPECT_EQ(vtableAttr->cbSizeVft, (kInheritedSlots + 3) * kSlotSize) << "ten slots";

  HREFTYPE base = 0;
  ASSERT_EQ(vtable->GetRefTypeOfImplType(0, &base), S_OK);
  platform::ComPtr<ITypeInfo> baseInfo;
  ASSERT_EQ(vtable->GetRefTypeInfo(base, baseInfo.put()), S_OK);
  EXPECT_EQ(TypeAttr(baseInfo.get())->guid, IID_IDispatch);
  platform::ComPtr<ITypeLib> baseLibrary;
  UINT index = 0;
  ASSERT_EQ(baseInfo->GetContainingTypeLib(baseLibrary.put(), &index), S_OK);
  TLIBATTR* baseLibAttr = nullptr;
  ASSERT_EQ(baseLibrary->GetLibAttr(&baseLibAttr), S_OK);
  EXPECT_EQ(baseLibAttr->guid, GuidFromText(kStdOleLibidText));
  EXPECT_EQ(baseLibAttr->wMajorVerNum, 2);
  EXPECT_EQ(baseLibAttr->wMinorVerNum, 0);
  baseLibrary->ReleaseTLibAttr(baseLibAttr);
}

TEST_F(TypeLibraryTest, ThreePropertyGettersInSlotsSevenToNine) {
  platform::ComPtr<ITypeInfo> info = InfoOf(iid);
  ASSERT_TRUE(info);
  HREFTYPE vtableSide = 0;
  ASSERT_EQ(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtableSide), S_OK);
  platform::ComPtr<ITypeInfo> vtable;
  ASSERT_EQ(info->GetRefTypeInfo(vtableSide, vtable.put()), S_OK);

  const struct {
    MEMBERID dispid;
    const wchar_t* name;
    const wchar_t* help;
  } expected[] = {{1, L"nodmark_old", L"property nodmark_old"},
                  {2, L"nodmark_new", L"property nodmark_new"},
                  {3, L"nodmark_complicate", L"property nodmark_complicate"}};
  for (UINT i = 0; i < std::size(expected); ++i) {
    FUNCDESC* raw = nullptr;
    ASSERT_EQ(vtable->GetFuncDesc(i, &raw), S_OK) << i;
    const HeldFuncDesc func(vtable.get(), raw);
    EXPECT_EQ(func->memid, expected[i].dispid) << i;
    EXPECT_EQ(func->invkind, INVOKE_PROPERTYGET) << i;
    EXPECT_EQ(func->funckind, FUNC_PUREVIRTUAL) << i;
    EXPECT_EQ(func->callconv, CC_STDCALL) << i;
    EXPECT_EQ(func->wFuncFlags, 0) << i << ": neither hidden nor restricted";
    EXPECT_EQ(func->oVft, static_cast<SHORT>((kInheritedSlots + i) * kSlotSize)) << i;
    EXPECT_EQ(func->elemdescFunc.tdesc.vt, VT_HRESULT) << i;
    ASSERT_EQ(func->cParams, 1) << i;
    const ELEMDESC& param = func->lprgelemdescParam[0];
    EXPECT_EQ(param.tdesc.vt, VT_PTR) << i;
    EXPECT_EQ(param.tdesc.lptdesc->vt, VT_BSTR) << i;
    EXPECT_EQ(param.paramdesc.wParamFlags, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL) << i;

    platform::ScopedBstr name, help;
    DWORD helpContext = 1;
    ASSERT_EQ(vtable->GetDocumentation(func->memid, name.put(), help.put(), &helpContext, nullptr),
              S_OK)
        << i;
    EXPECT_EQ(Text(name.get()), expected[i].name) << i;
    EXPECT_EQ(Text(help.get()), expected[i].help) << i;
    EXPECT_EQ(helpContext, 0u) << i;

    BSTR names[2] = {};
    UINT count = 0;
    ASSERT_EQ(vtable->GetNames(func->memid, names, 2, &count), S_OK) << i;
    EXPECT_EQ(count, 2u) << i;
    EXPECT_EQ(Text(names[1]), L"pVal") << i;
    for (UINT n = 0; n < count; ++n) SysFreeString(names[n]);
  }
}

TEST_F(TypeLibraryTest, SecondInterfaceAddsThreeMethodsAfterTheProperties) {
  platform::ComPtr<ITypeInfo> info = InfoOf(GuidFromText(kIid2Text));
  ASSERT_TRUE(info);
  EXPECT_EQ(TypeAttr(info.get())->wTypeFlags, TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE);
  platform::ComPtr<ITypeInfo> vtable = Implemented(info.get(), static_cast<UINT>(-1));
  ASSERT_TRUE(vtable);
  const HeldTypeAttr vtableAttr = TypeAttr(vtable.get());
  EXPECT_EQ(vtableAttr->cFuncs, 3);
  EXPECT_EQ(vtableAttr->cbSizeVft, (kInheritedSlots + 6) * kSlotSize) << "thirteen slots";
  platform::ComPtr<ITypeInfo> base = Implemented(vtable.get(), 0);
  ASSERT_TRUE(base);
  EXPECT_EQ(TypeAttr(base.get())->guid, iid) << "derived from IGerneralNodmark";

  const wchar_t* const names[] = {L"nodmark_old_for", L"nodmark_new_for",
                                  L"nodmark_complicate_for"};
  for (UINT i = 0; i < std::size(names); ++i) {
    FUNCDESC* raw = nullptr;
    ASSERT_EQ(vtable->GetFuncDesc(i, &raw), S_OK) << i;
    const HeldFuncDesc func(vtable.get(), raw);
    EXPECT_EQ(func->memid, static_cast<MEMBERID>(4 + i)) << i;
    EXPECT_EQ(func->invkind, INVOKE_FUNC) << i;
    EXPECT_EQ(func->oVft, static_cast<SHORT>((kInheritedSlots + 3 + i) * kSlotSize)) << i;
    ASSERT_EQ(func->cParams, 2) << i;
    EXPECT_EQ(func->lprgelemdescParam[0].tdesc.vt, VT_BSTR) << i;
    EXPECT_EQ(func->lprgelemdescParam[0].paramdesc.wParamFlags, PARAMFLAG_FIN) << i;
    EXPECT_EQ(func->lprgelemdescParam[1].paramdesc.wParamFlags, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL)
        << i;
    platform::ScopedBstr name;
    ASSERT_EQ(vtable->GetDocumentation(func->memid, name.put(), nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(Text(name.get()), names[i]) << i;
  }
}

}  // namespace
}  // namespace nodmark::testing
