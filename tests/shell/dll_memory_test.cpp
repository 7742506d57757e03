// Many instances and reads in one process leave its private memory where it was: every
// instance, string and reference the shipped DLL hands out is given back.
#include <windows.h>

#include <gtest/gtest.h>

#include <objbase.h>

#include <cstdint>
#include <string>

#include "platform/win32/scoped_bstr.h"
#include "shell/classes_root.h"
#include "shell/client_helpers.h"
#include "shell/nodmark_dll.h"
#include "shell/process_memory.h"
#include "shell/store_file.h"

namespace nodmark::testing {
namespace {

// Cycles measured in windows of a hundred after 200 to warm up, until the heaps' allocated
// blocks move by less than a byte a cycle over one window (process_memory.h), so that
// leaking anything at all per cycle fails. Without a leak they moved by 0 bytes under
// Wine 8 in both architectures.
constexpr MemoryWindows kCycleWindows{/*warmUpCycles=*/200, /*cyclesPerWindow=*/100,
                                      /*maxWindows=*/5, /*maxHeapGrowthBytes=*/64,
                                      /*maxPrivateGrowthBytes=*/64 * 1024};

constexpr DISPID kDispIds[] = {1, 2, 3};  // nodmark_old, nodmark_new, nodmark_complicate

// One instance made, its three properties read, and released to a count of 0.
bool CreateReadRelease(IClassFactory* factory, REFIID iid) {
  platform::ComPtr<IGerneralNodmark> object;
  if (factory->CreateInstance(nullptr, iid, object.put_void()) != S_OK) return false;
  for (const PropertyGetter& getter : kPropertyGetters) {
    platform::ScopedBstr value;
    if (getter.read(object.get(), value.put()) != S_OK || !value) return false;
  }
  return object.release()->Release() == 0;
}

class DllMemoryTest : public DllClientTest {
 protected:
  void SetUp() override {
    DllClientTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_GT(PrivateMemoryBytes(), 0) << "VirtualQuery finds no committed private memory";
    ASSERT_GT(HeapBlockBytes(), 0) << "HeapWalk finds no allocated block";
    factory = Factory();
    ASSERT_TRUE(factory);
  }
  void TearDown() override {
    factory.reset();
    DllClientTest::TearDown();
  }

  StoreFileBackup backup;  // instances may write the store file
  platform::ComPtr<IClassFactory> factory;
};

TEST_F(DllMemoryTest, CreateReadReleaseCyclesLeavePrivateMemoryFlat) {
  int failures = 0;
  int cycles = 0;
  std::int64_t handles = 0;
  const MemoryGrowth growth = MeasureMemoryGrowth(kCycleWindows, [&] {
    const bool good = CreateReadRelease(factory.get(), iid);
    if (!good) ++failures;
    if (++cycles == kCycleWindows.warmUpCycles) handles = ProcessHandleCount();
    return good;
  });
  // Read before any expectation can report: a failure report writes to the console,
  // which under Wine 10 opens handles of its own on first use.
  const std::int64_t handlesAfter = ProcessHandleCount();
  EXPECT_EQ(failures, 0);
  EXPECT_LE(handlesAfter, handles) << "no handle kept per cycle";
  RecordProperty("memory_growth", growth.describe());
  EXPECT_TRUE(growth.settled(kCycleWindows))
      << "heap blocks and private memory over each window of " << kCycleWindows.cyclesPerWindow
      << " cycles: " << growth.describe();
  EXPECT_EQ(dll->CanUnloadNow(), S_FALSE) << "this test still holds the factory";
}

TEST_F(DllMemoryTest, DispatchReadsLeavePrivateMemoryFlat) {
  // Late binding reads the registered type library: registered for this test, and the
  // prefix's registration put back as it was afterwards.
  const ClassesRootSnapshot registration(ComponentTrees());
  ASSERT_EQ(dll->RegisterServer(), S_OK);
  platform::ComPtr<IDispatch> object;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, object.put_void()), S_OK);
  DISPPARAMS noArguments{};
  VARIANT probe;
  VariantInit(&probe);
  const HRESULT first =
      object->Invoke(kDispIds[0], IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &noArguments,
                     &probe, nullptr, nullptr);
  VariantClear(&probe);
  ASSERT_EQ(first, S_OK);

  int failures = 0;
  std::size_t next = 0;
  const MemoryGrowth growth = MeasureMemoryGrowth(kCycleWindows, [&] {
    VARIANT result;
    VariantInit(&result);
    const DISPID id = kDispIds[next++ % std::size(kDispIds)];
    const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                      &noArguments, &result, nullptr, nullptr);
    const bool good = hr == S_OK && V_VT(&result) == VT_BSTR && V_BSTR(&result) != nullptr;
    VariantClear(&result);
    if (!good) ++failures;
    return good;
  });
  EXPECT_EQ(failures, 0);
  RecordProperty("memory_growth", growth.describe());
  EXPECT_TRUE(growth.settled(kCycleWindows))
      << "heap blocks and private memory over each window of " << kCycleWindows.cyclesPerWindow
      << " dispatch reads: " << growth.describe();
}

}  // namespace
}  // namespace nodmark::testing
