// The shipped DLL loaded, used and freed over and over in one process, as a host that
// frees idle components after every use does: every free finds the module unlocked and
// unmaps it, every load starts afresh (the type information is loaded again for the
// read through Invoke), and the process keeps its private memory, its handles and its
// thread-local storage slots. A DLL built with a runtime that takes a TLS slot per load
// would have this process aborted after about a thousand loads. The 32-bit runtime
// keeps one handle per load that the module cannot give back
// (platform/win32/architecture.h); anything more fails.
#include <windows.h>

#include <gtest/gtest.h>

#include <objbase.h>

#include <cstdint>
#include <iostream>
#include <string>

#include "platform/win32/architecture.h"
#include "platform/win32/scoped_bstr.h"
#include "shell/classes_root.h"
#include "shell/client_helpers.h"
#include "shell/nodmark_dll.h"
#include "shell/process_memory.h"
#include "shell/store_file.h"

namespace nodmark::testing {
namespace {

// The loads are measured in windows of a hundred, after a hundred to warm up, until the
// heaps' allocated blocks move by less than a byte a load over one window (and the
// committed private memory by at most one heap step): leaking any block on any load
// fails, an automation string or a runtime thread record as much as a whole instance.
// Without a leak the blocks moved by 0 bytes in every window under Wine 8, in both
// architectures. A leak grows every window alike and fails after the fifth.
constexpr MemoryWindows kLoadWindows{/*warmUpCycles=*/100, /*cyclesPerWindow=*/100,
                                     /*maxWindows=*/5, /*maxHeapGrowthBytes=*/64,
                                     /*maxPrivateGrowthBytes=*/64 * 1024};

struct LoadCounts {
  int notLoaded = 0;
  int failedCalls = 0;
  int lockedAtFree = 0;
  int mappedAfterFree = 0;
};

// Loads the DLL, creates an instance through its factory, reads the three properties
// (the last one late bound), releases everything, checks that the module may unload,
// frees it and checks that it is gone.
void LoadUseFree(LoadCounts& counts) {
  const GUID clsid = GuidFromText(kClsidText);
  const GUID iid = GuidFromText(kIidText);
  {
    NodmarkDll dll;
    if (!dll.loaded()) {
      ++counts.notLoaded;
      return;
    }
    {
      platform::ComPtr<IClassFactory> factory;
      platform::ComPtr<IGerneralNodmark> object;
      if (dll.GetClassObject(clsid, IID_IClassFactory, factory.put_void()) != S_OK ||
          factory->CreateInstance(nullptr, iid, object.put_void()) != S_OK) {
        ++counts.failedCalls;
      } else {
        for (const PropertyGetter& getter : {kPropertyGetters[0], kPropertyGetters[1]}) {
          platform::ScopedBstr value;
          if (getter.read(object.get(), value.put()) != S_OK || !value) ++counts.failedCalls;
        }
        ScopedVariant complicate;
        if (ReadByDispid(object.get(), /*dispid=*/3, &complicate.value) != S_OK ||
            complicate.value.vt != VT_BSTR) {
          ++counts.failedCalls;
        }
      }
    }
    if (dll.CanUnloadNow() != S_OK) ++counts.lockedAtFree;
  }
  if (GetModuleHandleW(NodmarkDllPath().c_str()) != nullptr) ++counts.mappedAfterFree;
}

// The lowest free thread-local storage slot: it moves up when slots are taken and never
// given back.
DWORD LowestFreeTlsSlot() {
  const DWORD slot = TlsAlloc();
  if (slot != TLS_OUT_OF_INDEXES) TlsFree(slot);
  return slot;
}

class DllReloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    ASSERT_GT(PrivateMemoryBytes(), 0) << "VirtualQuery finds no committed private memory";
    ASSERT_GT(HeapBlockBytes(), 0) << "HeapWalk finds no allocated block";
    // Registered for the reads through Invoke, which load the type library.
    NodmarkDll dll;
    ASSERT_TRUE(dll.loaded());
    ASSERT_EQ(dll.RegisterServer(), S_OK);
  }
  void TearDown() override { CoUninitialize(); }

  StoreFileBackup backup;  // instances may write the store file
  ClassesRootSnapshot registration{ComponentTrees()};
};

TEST_F(DllReloadTest, LoadUseFreeCyclesKeepNothing) {
  LoadCounts counts;
  DWORD tlsSlot = 0;
  std::int64_t handles = 0;
  int loads = 0;
  const MemoryGrowth growth = MeasureMemoryGrowth(kLoadWindows, [&] {
    LoadUseFree(counts);
    if (++loads == kLoadWindows.warmUpCycles) {
      tlsSlot = LowestFreeTlsSlot();
      handles = ProcessHandleCount();
    }
    return counts.notLoaded == 0;
  });
  // Read before any expectation can report: a failure report writes to the console,
  // which under Wine 10 opens handles of its own on first use.
  const DWORD tlsSlotAfter = LowestFreeTlsSlot();
  const std::int64_t handlesKept = ProcessHandleCount() - handles;
  const int measuredLoads = loads - kLoadWindows.warmUpCycles;

  EXPECT_EQ(counts.notLoaded, 0);
  EXPECT_EQ(counts.failedCalls, 0);
  EXPECT_EQ(counts.lockedAtFree, 0) << "DllCanUnloadNow answers S_OK at every free";
  EXPECT_EQ(counts.mappedAfterFree, 0) << "FreeLibrary unmaps the module every time";
  RecordProperty("memory_growth", growth.describe());
  EXPECT_TRUE(growth.settled(kLoadWindows))
      << "heap blocks and private memory over each window of " << kLoadWindows.cyclesPerWindow
      << " loads: " << growth.describe();
  EXPECT_EQ(tlsSlotAfter, tlsSlot) << "no thread-local storage slot kept per load";
  const std::string perLoad = std::to_string(static_cast<double>(handlesKept) / measuredLoads);
  RecordProperty("handles_kept_per_load", perLoad);
  std::cout << "handles kept per load: " << perLoad << " over " << measuredLoads << " loads\n";
  EXPECT_LE(handlesKept, std::int64_t{platform::win32::kRuntimeHandlesKeptPerLoad} * measuredLoads)
      << measuredLoads << " loads";
}

}  // namespace
}  // namespace nodmark::testing
