// The shipped DLL's exports and its class factory: which factory a client gets, and
// when the module may be unloaded.
#include <gtest/gtest.h>

#include <memory>

#include "shell/client_helpers.h"
#include "shell/nodmark_dll.h"

namespace nodmark::testing {
namespace {

using DllModuleTest = DllClientTest;

TEST_F(DllModuleTest, ClientReferenceToTheFactoryLocksTheModule) {
  platform::ComPtr<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  EXPECT_EQ(dll->CanUnloadNow(), S_FALSE);
  factory.reset();
  EXPECT_EQ(dll->CanUnloadNow(), S_OK) << "the class table's own reference locks nothing";
}

TEST_F(DllModuleTest, EveryRequestGetsTheSameFactory) {
  platform::ComPtr<IClassFactory> first = Factory();
  platform::ComPtr<IClassFactory> second = Factory();
  platform::ComPtr<IUnknown> asUnknown;
  ASSERT_EQ(dll->GetClassObject(clsid, IID_IUnknown, asUnknown.put_void()), S_OK);
  EXPECT_EQ(first.get(), second.get());
  EXPECT_EQ(static_cast<void*>(asUnknown.get()), static_cast<void*>(first.get()));

  IClassFactory* const cached = first.get();
  first.reset();
  second.reset();
  asUnknown.reset();
  EXPECT_EQ(dll->CanUnloadNow(), S_OK);
  EXPECT_EQ(Factory().get(), cached) << "kept by the class table while no client holds it";
}

TEST_F(DllModuleTest, UnknownClassIsNotAvailable) {
  void* factory = kJunkPointer;
  EXPECT_EQ(dll->GetClassObject(GuidFromText(kLibidText), IID_IClassFactory, &factory),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(factory, nullptr);
}

TEST_F(DllModuleTest, FactoryAskedForIDispatchGivesNoInterface) {
  void* factory = kJunkPointer;
  EXPECT_EQ(dll->GetClassObject(clsid, IID_IDispatch, &factory), E_NOINTERFACE);
  EXPECT_EQ(factory, nullptr);
  EXPECT_EQ(dll->CanUnloadNow(), S_OK);
}

TEST_F(DllModuleTest, NullOutPointersGiveEPointer) {
  EXPECT_EQ(dll->GetClassObject(clsid, IID_IClassFactory, nullptr), E_POINTER);
  platform::ComPtr<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  EXPECT_EQ(factory->CreateInstance(nullptr, iid, nullptr), E_POINTER);
  EXPECT_EQ(factory->QueryInterface(IID_IClassFactory, nullptr), E_POINTER);
}

TEST_F(DllModuleTest, FactoryAnswersOnlyIUnknownAndIClassFactory) {
  platform::ComPtr<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  platform::ComPtr<IUnknown> unknown;
  ASSERT_EQ(factory.As(IID_IUnknown, unknown), S_OK);
  EXPECT_EQ(static_cast<void*>(unknown.get()), static_cast<void*>(factory.get()));
  void* other = kJunkPointer;
  EXPECT_EQ(factory->QueryInterface(IID_IDispatch, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
}

TEST_F(DllModuleTest, CreateInstanceRefusingTheIidUnlocksAgain) {
  platform::ComPtr<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  void* created = kJunkPointer;
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &created), E_NOINTERFACE);
  EXPECT_EQ(created, nullptr);
  factory.reset();
  EXPECT_EQ(dll->CanUnloadNow(), S_OK);
}

TEST_F(DllModuleTest, LockServerHoldsTheModuleUntilMatched) {
  platform::ComPtr<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  const struct {
    BOOL lock;
    HRESULT canUnloadAfterwards;  // with the factory released
  } steps[] = {{TRUE, S_FALSE}, {TRUE, S_FALSE}, {FALSE, S_FALSE}, {FALSE, S_OK}};
  IClassFactory* const raw = factory.get();
  factory.reset();  // the class table keeps the factory alive
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    EXPECT_EQ(raw->LockServer(steps[i].lock), S_OK) << "step " << i;
    EXPECT_EQ(dll->CanUnloadNow(), steps[i].canUnloadAfterwards) << "step " << i;
  }
}

TEST_F(DllModuleTest, UnmatchedUnlockKeepsTheModuleFromUnloadingUntilRebalanced) {
  platform::ComPtr<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  factory.reset();
  EXPECT_EQ(dll->CanUnloadNow(), S_FALSE) << "the count is below zero, not zero";
  factory = Factory();
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  factory.reset();
  EXPECT_EQ(dll->CanUnloadNow(), S_OK);
}

TEST_F(DllModuleTest, InstanceOutlivingTheFactoryKeepsTheModuleLocked) {
  platform::ComPtr<IGerneralNodmark> object;
  {
    platform::ComPtr<IClassFactory> factory = Factory();
    ASSERT_TRUE(factory);
    ASSERT_EQ(factory->CreateInstance(nullptr, iid, object.put_void()), S_OK);
  }
  EXPECT_EQ(dll->CanUnloadNow(), S_FALSE);
  object.reset();
  EXPECT_EQ(dll->CanUnloadNow(), S_OK);
}

// Freeing the module unmaps it whatever its lock count, and the next load starts from
// a lock count of 0 and a factory of its own.
TEST_F(DllModuleTest, FreedModuleIsGoneAndTheNextLoadStartsAfresh) {
  {
    platform::ComPtr<IClassFactory> factory = Factory();
    ASSERT_TRUE(factory);
    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
  }
  ASSERT_EQ(dll->CanUnloadNow(), S_FALSE);

  dll.reset();  // FreeLibrary of this program's only reference
  EXPECT_EQ(GetModuleHandleW(NodmarkDllPath().c_str()), nullptr) << "unmapped";
  dll = std::make_unique<NodmarkDll>();
  ASSERT_TRUE(dll->loaded());
  EXPECT_EQ(dll->CanUnloadNow(), S_OK) << "the lock of the last load is gone with it";
  platform::ComPtr<IGerneralNodmark> object;
  platform::ComPtr<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  EXPECT_EQ(factory->CreateInstance(nullptr, iid, object.put_void()), S_OK);
}

}  // namespace
}  // namespace nodmark::testing
