// Several client threads using the shipped DLL at once, from its first request on.
#include <windows.h>

#include <gtest/gtest.h>

#include <objbase.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "identifiers/identifier_set.h"
#include "platform/win32/scoped_bstr.h"
#include "shell/client_helpers.h"
#include "shell/nodmark_dll.h"

namespace nodmark::testing {
namespace {

// Each round creates an instance, which reads the machine (some milliseconds under Wine),
// so a hundred rounds keep the four threads creating at once throughout. The counting
// alone is hammered harder, without instances, by dll_lock_stress_test.cpp.
constexpr int kThreads = 4;
constexpr int kRounds = 100;

struct StressClient {
  const NodmarkDll* dll;
  GUID clsid;
  GUID iid;
  std::wstring expectedOld;
  const std::atomic<bool>* start;

  IClassFactory* firstFactory = nullptr;  // compared, never called, after the run
  int failedCalls = 0;
  int otherFactories = 0;
  int wrongValues = 0;

  // Each round asks for the factory, counts on it, locks and unlocks the server, and
  // creates, reads and releases an instance on this thread.
  void Run() {
    if (FAILED(CoInitialize(nullptr))) {
      ++failedCalls;
      return;
    }
    while (!start->load()) std::this_thread::yield();
    for (int round = 0; round < kRounds; ++round) RunRound();
    CoUninitialize();
  }

  void RunRound() {
    platform::ComPtr<IClassFactory> factory;
    if (dll->GetClassObject(clsid, IID_IClassFactory, factory.put_void()) != S_OK) {
      ++failedCalls;
      return;
    }
    if (firstFactory == nullptr) firstFactory = factory.get();
    if (factory.get() != firstFactory) ++otherFactories;
    factory->AddRef();
    factory->Release();
    if (factory->LockServer(TRUE) != S_OK || factory->LockServer(FALSE) != S_OK) ++failedCalls;

    platform::ComPtr<IGerneralNodmark> object;
    platform::ScopedBstr value;
    if (factory->CreateInstance(nullptr, iid, object.put_void()) != S_OK ||
        object->get_nodmark_old(value.put()) != S_OK) {
      ++failedCalls;
      return;
    }
    if (std::wstring(value.get(), SysStringLen(value.get())) != expectedOld) ++wrongValues;
    if (object.release()->Release() != 0) ++failedCalls;
  }
};

using DllStressTest = DllClientTest;

TEST_F(DllStressTest, ConcurrentClientsShareOneFactoryAndLeaveTheModuleUnlocked) {
  const std::wstring expectedOld = Widen(identifiers::IdentifierSet().GetOldIdentifier());
  std::atomic<bool> start{false};
  std::vector<StressClient> clients(kThreads,
                                    StressClient{dll.get(), clsid, iid, expectedOld, &start});
  std::vector<std::thread> threads;
  for (StressClient& client : clients) threads.emplace_back(&StressClient::Run, &client);
  start = true;  // every thread's first request races to make the factory
  for (std::thread& thread : threads) thread.join();

  for (std::size_t i = 0; i < clients.size(); ++i) {
    EXPECT_EQ(clients[i].failedCalls, 0) << "thread " << i;
    EXPECT_EQ(clients[i].otherFactories, 0) << "thread " << i;
    EXPECT_EQ(clients[i].wrongValues, 0) << "thread " << i;
    EXPECT_EQ(clients[i].firstFactory, clients[0].firstFactory)
        << "thread " << i << ": exactly one factory is ever made";
  }
  EXPECT_EQ(dll->CanUnloadNow(), S_OK);
}

}  // namespace
}  // namespace nodmark::testing
