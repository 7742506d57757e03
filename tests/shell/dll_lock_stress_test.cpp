// Eight client threads hammering the class factory and LockServer at once: one factory
// is ever made, and when they are done the module's lock count is back at zero.
#include <windows.h>

#include <gtest/gtest.h>

#include <objbase.h>

#include <atomic>
#include <thread>
#include <vector>

#include "shell/client_helpers.h"
#include "shell/nodmark_dll.h"

namespace nodmark::testing {
namespace {

constexpr int kThreads = 8;
constexpr int kRounds = 20000;

struct LockClient {
  const NodmarkDll* dll;
  GUID clsid;
  const std::atomic<bool>* start;

  IClassFactory* firstFactory = nullptr;  // compared, never called, after the run
  int failedCalls = 0;
  int otherFactories = 0;

  void Run() {
    while (!start->load()) std::this_thread::yield();
    for (int round = 0; round < kRounds; ++round) RunRound(round);
  }

  // Each round asks for the factory (sometimes as IUnknown), takes and drops extra
  // references, and locks and unlocks the server, sometimes twice over.
  void RunRound(int round) {
    platform::ComPtr<IClassFactory> factory;
    if (dll->GetClassObject(clsid, IID_IClassFactory, factory.put_void()) != S_OK) {
      ++failedCalls;
      return;
    }
    if (firstFactory == nullptr) firstFactory = factory.get();
    if (factory.get() != firstFactory) ++otherFactories;
    if (round % 3 == 0) {
      platform::ComPtr<IUnknown> unknown;
      if (dll->GetClassObject(clsid, IID_IUnknown, unknown.put_void()) != S_OK ||
          static_cast<void*>(unknown.get()) != static_cast<void*>(firstFactory)) {
        ++otherFactories;
      }
    }
    factory->AddRef();
    const int depth = round % 2 + 1;
    for (int i = 0; i < depth; ++i) {
      if (factory->LockServer(TRUE) != S_OK) ++failedCalls;
    }
    factory->Release();
    for (int i = 0; i < depth; ++i) {
      if (factory->LockServer(FALSE) != S_OK) ++failedCalls;
    }
  }
};

using DllLockStressTest = DllClientTest;

TEST_F(DllLockStressTest, EightThreadsOfFactoryAndLockServerCallsEndBalanced) {
  std::atomic<bool> start{false};
  std::vector<LockClient> clients(kThreads, LockClient{dll.get(), clsid, &start});
  std::vector<std::thread> threads;
  for (LockClient& client : clients) threads.emplace_back(&LockClient::Run, &client);
  start = true;  // every thread's first request races to make the factory
  for (std::thread& thread : threads) thread.join();

  for (std::size_t i = 0; i < clients.size(); ++i) {
    EXPECT_EQ(clients[i].failedCalls, 0) << "thread " << i;
    EXPECT_EQ(clients[i].otherFactories, 0) << "thread " << i;
    EXPECT_EQ(clients[i].firstFactory, clients[0].firstFactory)
        << "thread " << i << ": exactly one factory is ever made";
  }
  EXPECT_EQ(dll->CanUnloadNow(), S_OK) << "every lock and reference was given back";
  platform::ComPtr<IClassFactory> factory = Factory();
  ASSERT_EQ(factory.get(), clients[0].firstFactory);
  EXPECT_EQ(factory->AddRef(), 3u) << "the class table's reference, this test's and one more";
  EXPECT_EQ(factory->Release(), 2u);
}

}  // namespace
}  // namespace nodmark::testing
