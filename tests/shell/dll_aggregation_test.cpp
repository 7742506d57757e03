// GerneralNodmark aggregated into an outer object of the test, through the shipped DLL.
#include <windows.h>

#include <gtest/gtest.h>

#include <objsafe.h>

#include "platform/win32/scoped_bstr.h"
#include "shell/client_helpers.h"
#include "shell/nodmark_dll.h"

namespace nodmark::testing {
namespace {

class DllAggregationTest : public DllClientTest {
 protected:
  void SetUp() override {
    DllClientTest::SetUp();
    if (HasFatalFailure()) return;
    factory = Factory();
    ASSERT_TRUE(factory);
    ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, aggregate.put_void()), S_OK);
    outer.inner = aggregate.get();
  }
  void TearDown() override {
    aggregate.reset();
    factory.reset();
    DllClientTest::TearDown();
  }

  TestOuter outer;
  platform::ComPtr<IClassFactory> factory;
  platform::ComPtr<IUnknown> aggregate;  // the aggregate's own IUnknown
};

TEST_F(DllAggregationTest, AggregateAnswersIUnknownWithItself) {
  EXPECT_NE(aggregate.get(), static_cast<IUnknown*>(&outer));
  platform::ComPtr<IUnknown> again;
  ASSERT_EQ(aggregate.As(IID_IUnknown, again), S_OK);
  EXPECT_EQ(again.get(), aggregate.get());
  EXPECT_EQ(outer.addRefCalls, 0) << "the aggregate counts its own IUnknown";
  EXPECT_EQ(aggregate->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

TEST_F(DllAggregationTest, InnerDualEntryCountsOnTheOuterObject) {
  platform::ComPtr<IGerneralNodmark> dual;
  ASSERT_EQ(aggregate.As(iid, dual), S_OK);
  EXPECT_NE(static_cast<void*>(dual.get()), static_cast<void*>(aggregate.get()));
  EXPECT_EQ(outer.addRefCalls, 1) << "handing out the inner entry counts on the outer object";

  EXPECT_EQ(dual->AddRef(), outer.count);
  EXPECT_EQ(outer.addRefCalls, 2);
  EXPECT_EQ(dual->Release(), outer.count);
  EXPECT_EQ(outer.releaseCalls, 1);

  platform::ScopedBstr value;
  EXPECT_EQ(dual->get_nodmark_old(value.put()), S_OK);
  EXPECT_EQ(SysStringLen(value.get()), 16u);

  dual.reset();
  EXPECT_EQ(outer.addRefCalls, outer.releaseCalls);
  EXPECT_EQ(outer.count, 1u);
}

TEST_F(DllAggregationTest, InnerEntryAsksTheOuterObjectForIUnknown) {
  platform::ComPtr<IGerneralNodmark> dual;
  ASSERT_EQ(aggregate.As(iid, dual), S_OK);
  const int queriesBefore = outer.queryCalls;
  platform::ComPtr<IUnknown> identity;
  ASSERT_EQ(dual.As(IID_IUnknown, identity), S_OK);
  EXPECT_EQ(identity.get(), static_cast<IUnknown*>(&outer));
  EXPECT_EQ(outer.queryCalls, queriesBefore + 1);
}

TEST_F(DllAggregationTest, OuterDelegatingToTheAggregateReachesTheInnerEntries) {
  outer.delegate = true;
  platform::ComPtr<IObjectSafety> safety;
  ASSERT_EQ(outer.QueryInterface(IID_IObjectSafety, safety.put_void()), S_OK);
  platform::ComPtr<IUnknown> identity;
  ASSERT_EQ(safety.As(IID_IUnknown, identity), S_OK);
  EXPECT_EQ(identity.get(), static_cast<IUnknown*>(&outer));
}

TEST_F(DllAggregationTest, InterfaceTheOuterRefusesIsStillAnsweredByTheInnerTable) {
  platform::ComPtr<IGerneralNodmark> dual;
  ASSERT_EQ(aggregate.As(iid, dual), S_OK);
  outer.delegate = false;
  platform::ComPtr<IObjectSafety> safety;
  EXPECT_EQ(dual.As(IID_IObjectSafety, safety), S_OK);
  void* factoryFromInner = kJunkPointer;
  EXPECT_EQ(dual->QueryInterface(IID_IClassFactory, &factoryFromInner), E_NOINTERFACE);
  EXPECT_EQ(factoryFromInner, nullptr);
}

TEST_F(DllAggregationTest, OuterObjectAskingForAnotherInterfaceGetsNoAggregation) {
  TestOuter another;
  void* created = kJunkPointer;
  EXPECT_EQ(factory->CreateInstance(&another, IID_IDispatch, &created), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(created, nullptr);
  EXPECT_EQ(another.addRefCalls + another.queryCalls, 0);
}

TEST_F(DllAggregationTest, AggregateKeepsTheModuleLockedUntilItsLastRelease) {
  factory.reset();
  EXPECT_EQ(dll->CanUnloadNow(), S_FALSE);
  EXPECT_EQ(aggregate.release()->Release(), 0u);
  EXPECT_EQ(dll->CanUnloadNow(), S_OK);
}

}  // namespace
}  // namespace nodmark::testing
