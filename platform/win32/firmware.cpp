#include "platform/firmware.h"

#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <iterator>

#include "platform/scoped_owner.h"
#include "platform/win32/os_handles.h"

// Physical memory is reachable from user mode only through the native section
// object "\device\physicalmemory". The native entry points are looked up in
// ntdll.dll at run time rather than imported, so the module still loads where one is
// missing; the window is then empty. Opening the section needs administrator rights
// on older systems and is refused on newer ones and under Wine.
namespace nodmark::platform {
namespace {

using ZwOpenSectionFunction = NTSTATUS(NTAPI*)(PHANDLE section, ACCESS_MASK desiredAccess,
                                               POBJECT_ATTRIBUTES attributes);
using ZwMapViewOfSectionFunction = NTSTATUS(NTAPI*)(HANDLE section, HANDLE process,
                                                    PVOID* baseAddress, ULONG_PTR zeroBits,
                                                    SIZE_T commitSize, PLARGE_INTEGER sectionOffset,
                                                    PSIZE_T viewSize, DWORD inheritDisposition,
                                                    ULONG allocationType, ULONG pageProtection);
using ZwUnmapViewOfSectionFunction = NTSTATUS(NTAPI*)(HANDLE process, PVOID baseAddress);

constexpr char kNativeLibrary[] = "ntdll.dll";
constexpr char kOpenSectionName[] = "ZwOpenSection";
constexpr char kMapViewName[] = "ZwMapViewOfSection";
constexpr char kUnmapViewName[] = "ZwUnmapViewOfSection";

// The object name as a counted string: 22 characters (44 bytes) with room for the
// terminating zero (46 bytes).
constexpr wchar_t kPhysicalMemoryName[] = L"\\device\\physicalmemory";
constexpr USHORT kNameLength = sizeof kPhysicalMemoryName - sizeof(wchar_t);
constexpr USHORT kNameCapacity = sizeof kPhysicalMemoryName;
static_assert(kNameLength == 44 && kNameCapacity == 46, "object name size");
static_assert(sizeof(void*) != 4 || sizeof(OBJECT_ATTRIBUTES) == 24, "object attributes layout");

constexpr NTSTATUS kStatusSuccess = 0;
constexpr ACCESS_MASK kSectionMapRead = SECTION_MAP_READ;  // 4
constexpr ULONG kCaseInsensitive = OBJ_CASE_INSENSITIVE;   // 0x40
constexpr DWORD kViewShare = 1;                            // children share the view
constexpr ULONG kNoAllocationType = 0;
constexpr ULONG kPageReadOnly = PAGE_READONLY;  // 2
const HANDLE kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));

struct NativeSectionApi {
  UniqueModule library;
  ZwOpenSectionFunction openSection = nullptr;
  ZwMapViewOfSectionFunction mapView = nullptr;
  ZwUnmapViewOfSectionFunction unmapView = nullptr;
};

template <typename Function>
Function Resolve(HMODULE library, const char* name) {
  // Through the generic function type, so the compiler accepts the conversion.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

bool ResolveNativeSectionApi(NativeSectionApi& api) {
  api.library.reset(LoadLibraryA(kNativeLibrary));
  if (!api.library) return false;
  api.openSection = Resolve<ZwOpenSectionFunction>(api.library.get(), kOpenSectionName);
  api.mapView = Resolve<ZwMapViewOfSectionFunction>(api.library.get(), kMapViewName);
  api.unmapView = Resolve<ZwUnmapViewOfSectionFunction>(api.library.get(), kUnmapViewName);
  return api.openSection != nullptr && api.mapView != nullptr && api.unmapView != nullptr;
}

// A view of a section in this process, unmapped through the entry point that was
// resolved with it.
struct SectionView {
  PVOID base = nullptr;
  ZwUnmapViewOfSectionFunction unmap = nullptr;
};

struct SectionViewTraits {
  using Handle = SectionView;
  static Handle Invalid() noexcept { return {}; }
  static bool IsValid(const Handle& view) noexcept { return view.base != nullptr; }
  static void Free(const Handle& view) noexcept { view.unmap(kCurrentProcess, view.base); }
};

}  // namespace

// Released in reverse order: the view, then the section, then the library reference.
struct FirmwareWindow::Mapping {
  NativeSectionApi api;
  UniqueKernelHandle section;
  ScopedOwner<SectionViewTraits> view;
};

namespace {

void DestroyMapping(FirmwareWindow::Mapping* mapping) { delete mapping; }

}  // namespace

FirmwareWindow MapFirmwareWindow() {
  FirmwareWindow::MappingOwner mapping(new FirmwareWindow::Mapping, DestroyMapping);
  if (!ResolveNativeSectionApi(mapping->api)) return {};

  // The counted string points at writable characters; the system only reads them.
  wchar_t nameText[kNameCapacity / sizeof(wchar_t)];
  std::copy(std::begin(kPhysicalMemoryName), std::end(kPhysicalMemoryName), nameText);
  UNICODE_STRING name{kNameLength, kNameCapacity, nameText};
  OBJECT_ATTRIBUTES attributes{};
  attributes.Length = sizeof attributes;
  attributes.RootDirectory = nullptr;
  attributes.ObjectName = &name;
  attributes.Attributes = kCaseInsensitive;
  attributes.SecurityDescriptor = nullptr;
  attributes.SecurityQualityOfService = nullptr;
  if (mapping->api.openSection(mapping->section.put(), kSectionMapRead, &attributes) !=
      kStatusSuccess) {
    // A failed open promises no handle; never close whatever the slot may hold.
    mapping->section.release();
    return {};
  }

  PVOID base = nullptr;
  LARGE_INTEGER offset{};
  offset.QuadPart = kFirmwareWindowBase;
  SIZE_T viewSize = kFirmwareWindowSize;
  if (mapping->api.mapView(mapping->section.get(), kCurrentProcess, &base, /*zeroBits=*/0,
                           /*commitSize=*/kFirmwareWindowSize, &offset, &viewSize, kViewShare,
                           kNoAllocationType, kPageReadOnly) != kStatusSuccess ||
      base == nullptr) {
    return {};
  }
  mapping->view.reset(SectionView{base, mapping->api.unmapView});
  // Less than a whole window is no window (callers rely on kFirmwareWindowSize bytes).
  if (viewSize < kFirmwareWindowSize) return {};
  const auto* data = static_cast<const std::uint8_t*>(base);
  return FirmwareWindow(std::move(mapping), data, kFirmwareWindowSize);
}

}  // namespace nodmark::platform
