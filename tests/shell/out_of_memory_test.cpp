// Allocation failures inside the shell: each one answers E_OUTOFMEMORY with nothing
// handed out, nothing leaked and the module lock count as it was.
#include <gtest/gtest.h>

#include "platform/win32/com_ptr.h"
#include "platform/win32/scoped_bstr.h"
#include "shell/client_helpers.h"
#include "shell/failing_new.h"
#include "shell/in_process_fixture.h"

namespace nodmark::testing {
namespace {

using OutOfMemoryTest = InProcessShellTest;

// Creates through `factory` while allocation number `failAt` fails (none when
// negative); the result, and in `allocations` how many allocations the attempt made.
HRESULT CreateWithFault(IClassFactory* factory, IUnknown* outer, long failAt,
                        platform::ComPtr<IUnknown>& created, long& allocations) {
  AllocationFault fault(failAt);
  const HRESULT hr = factory->CreateInstance(outer, IID_IUnknown, created.put_void());
  allocations = fault.allocations();
  EXPECT_EQ(fault.failed(), failAt >= 0);
  return hr;
}

// Makes every allocation of one creation fail in turn.
void ExpectEveryAllocationFailureAnswersOutOfMemory(IClassFactory* factory, IUnknown* outer) {
  long allocationsOfOneCreation = 0;
  {
    platform::ComPtr<IUnknown> created;
    ASSERT_EQ(CreateWithFault(factory, outer, /*failAt=*/-1, created, allocationsOfOneCreation),
              S_OK);
  }
  ASSERT_GT(allocationsOfOneCreation, 1) << "the identifiers are computed while creating";

  const long lockCountBefore = shell::ModuleLockCount();
  for (long failAt = 0; failAt < allocationsOfOneCreation; ++failAt) {
    const long liveBefore = LiveAllocationsOfThisThread();
    platform::ComPtr<IUnknown> created;
    long allocations = 0;
    EXPECT_EQ(CreateWithFault(factory, outer, failAt, created, allocations), E_OUTOFMEMORY)
        << "allocation " << failAt;
    EXPECT_FALSE(created) << "allocation " << failAt;
    EXPECT_EQ(shell::ModuleLockCount(), lockCountBefore) << "allocation " << failAt;
    EXPECT_EQ(LiveAllocationsOfThisThread(), liveBefore) << "allocation " << failAt;
  }
}

TEST_F(OutOfMemoryTest, PlainCreationFailingAtAnyAllocationLeavesNothingBehind) {
  platform::ComPtr<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  ExpectEveryAllocationFailureAnswersOutOfMemory(factory.get(), /*outer=*/nullptr);
}

TEST_F(OutOfMemoryTest, AggregatedCreationFailingAtAnyAllocationLeavesNothingBehind) {
  platform::ComPtr<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  TestOuter outer;
  ExpectEveryAllocationFailureAnswersOutOfMemory(factory.get(), &outer);
  EXPECT_EQ(outer.addRefCalls, outer.releaseCalls);
}

TEST_F(OutOfMemoryTest, FactoryWithoutMemoryIsNotCachedAndTheNextRequestMakesIt) {
  void* factory = kJunkPointer;
  {
    AllocationFault fault(/*failAt=*/0);
    EXPECT_EQ(DllGetClassObject(shell::kClsidGerneralNodmark, IID_IClassFactory, &factory),
              E_OUTOFMEMORY);
  }
  EXPECT_EQ(factory, nullptr);
  EXPECT_EQ(DllCanUnloadNow(), S_OK);

  platform::ComPtr<IClassFactory> retried = Factory();
  EXPECT_TRUE(retried);
}

TEST_F(OutOfMemoryTest, GetterWithoutMemoryForItsStringAnswersOutOfMemoryWithNullString) {
  platform::ComPtr<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  platform::ComPtr<IGerneralNodmark> object;
  ASSERT_EQ(factory->CreateInstance(nullptr, __uuidof(IGerneralNodmark), object.put_void()), S_OK);

  for (const PropertyGetter& getter : kPropertyGetters) {
    alloc->failNext = 1;
    BSTR value = kJunkString;
    EXPECT_EQ(getter.read(object.get(), &value), E_OUTOFMEMORY) << getter.name;
    EXPECT_EQ(value, nullptr) << getter.name << ": a null string would read as an empty one";

    platform::ScopedBstr again;
    EXPECT_EQ(getter.read(object.get(), again.put()), S_OK) << getter.name;
    EXPECT_NE(again.get(), nullptr) << getter.name;
  }
}

TEST_F(OutOfMemoryTest, EachInstanceOrAggregateLocksTheModuleExactlyOnce) {
  platform::ComPtr<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  const long before = shell::ModuleLockCount();
  {
    platform::ComPtr<IUnknown> plain;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, plain.put_void()), S_OK);
    EXPECT_EQ(shell::ModuleLockCount(), before + 1);
  }
  {
    TestOuter outer;
    platform::ComPtr<IUnknown> aggregate;
    ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, aggregate.put_void()), S_OK);
    EXPECT_EQ(shell::ModuleLockCount(), before + 1) << "the inner instance locks nothing";
  }
  EXPECT_EQ(shell::ModuleLockCount(), before);
}

}  // namespace
}  // namespace nodmark::testing
