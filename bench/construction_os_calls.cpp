#include "bench/construction_os_calls.h"

// The IP Helper header needs the socket types declared first.
#include <winsock2.h>

#include <iphlpapi.h>
#include <windows.h>
#include <winternl.h>

#include <cpuid.h>

#include <string>

#include "bench/bench_clock.h"
#include "platform/system_directory.h"
#include "platform/win32/adapter_buffer.h"
#include "platform/win32/os_handles.h"

namespace nodmark::bench {
namespace {

constexpr int kAdapterListings = 3;  // legacy, current and digest-based recipes
constexpr DWORD kVolumeLabelCapacity = 100;
constexpr char kVolumeRoot[] = "c:\\";
constexpr DWORD kStoreReadCapacity = 2048;
constexpr char kStoreFileName[] = "\\pub_store.dat";
constexpr ACCESS_MASK kSectionMapRead = SECTION_MAP_READ;
constexpr ULONG kCaseInsensitive = OBJ_CASE_INSENSITIVE;

using ZwOpenSectionFunction = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES);

// Where the results go, so that no call's work can be optimised away.
volatile unsigned long resultSink = 0;

void ListAdapters() {
  alignas(IP_ADAPTER_INFO) unsigned char buffer[platform::win32::kAdapterBufferSize] = {};
  ULONG size = sizeof buffer;
  resultSink = resultSink + GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer), &size);
}

void QueryVolume() {
  char label[kVolumeLabelCapacity] = {};
  DWORD serial = 0;
  GetVolumeInformationA(kVolumeRoot, label, kVolumeLabelCapacity, &serial, nullptr, nullptr,
                        nullptr, 0);
  resultSink = resultSink + serial;
}

void ReadStore() {
  const auto directory = platform::QuerySystemDirectory();
  if (!directory) return;
  const std::string path = *directory + kStoreFileName;
  char value[kStoreReadCapacity] = {};
  resultSink = resultSink + GetPrivateProfileStringA("nodmark", "rand", "000", value,
                                                     kStoreReadCapacity, path.c_str());
}

void IdentifyProcessor() {
  if (__get_cpuid_max(0, nullptr) == 0) return;
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  __cpuid(0, eax, ebx, ecx, edx);
  resultSink = resultSink + ebx;
  __cpuid(1, eax, ebx, ecx, edx);
  resultSink = resultSink + edx;
}

// As the firmware source does it: the entry points resolved at run time, then the open
// that the system refuses without the right to read physical memory.
void AttemptPhysicalMemorySection() {
  const platform::UniqueModule ntdll(LoadLibraryA("ntdll.dll"));
  if (!ntdll) return;
  const auto openSection = reinterpret_cast<ZwOpenSectionFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(ntdll.get(), "ZwOpenSection")));
  resultSink = resultSink + (GetProcAddress(ntdll.get(), "ZwMapViewOfSection") != nullptr);
  resultSink = resultSink + (GetProcAddress(ntdll.get(), "ZwUnmapViewOfSection") != nullptr);
  if (openSection == nullptr) return;
  wchar_t nameText[] = L"\\device\\physicalmemory";
  UNICODE_STRING name{static_cast<USHORT>(sizeof nameText - sizeof(wchar_t)),
                      static_cast<USHORT>(sizeof nameText), nameText};
  OBJECT_ATTRIBUTES attributes{};
  attributes.Length = sizeof attributes;
  attributes.ObjectName = &name;
  attributes.Attributes = kCaseInsensitive;
  HANDLE rawSection = nullptr;
  if (openSection(&rawSection, kSectionMapRead, &attributes) == 0) {
    const platform::UniqueKernelHandle section(rawSection);
    resultSink = resultSink + 1;
  }
}

}  // namespace

OsCallTimes RunConstructionOsCalls(int volumeQueries) {
  OsCallTimes times;
  const double start = NowSeconds();
  for (int i = 0; i < kAdapterListings; ++i) ListAdapters();
  const double afterAdapters = NowSeconds();
  for (int i = 0; i < volumeQueries; ++i) QueryVolume();
  const double afterVolume = NowSeconds();
  ReadStore();
  const double afterStore = NowSeconds();
  IdentifyProcessor();
  const double afterProcessor = NowSeconds();
  AttemptPhysicalMemorySection();
  const double end = NowSeconds();

  times.adapterListings = afterAdapters - start;
  times.volumeQueries = afterVolume - afterAdapters;
  times.storeRead = afterStore - afterVolume;
  times.processor = afterProcessor - afterStore;
  times.sectionAttempt = end - afterProcessor;
  times.total = end - start;
  return times;
}

}  // namespace nodmark::bench
