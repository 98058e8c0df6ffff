#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "plugin_fixture.h"

namespace zevo::plugintest {
namespace {

// One host thread's job: obtain, use and release both kinds of object.
void HostWorker(std::atomic<bool>& stop, std::atomic<int>& opened) {
  while (!stop.load()) {
    if (ICommonPluginInterface* object = Plugin_Interface_QueryInterface(100011)) {
      ZEVO_OpenBlock block{nullptr, "stress", 0};
      if (Plugin_Interface_CallFunc(object, 0, &block, nullptr) >= 0) opened.fetch_add(1);
      char16_t text[15] = {};
      Plugin_Interface_CallFunc(object, 10, text, nullptr);
      Plugin_Interface_CallFunc(object, 1, nullptr, nullptr);
      Plugin_Interface_Release(object);
    }
    Plugin_Interface_Release(Plugin_Interface_QueryInterface(100012));
  }
}

TEST_F(PluginTest, ManyHostThreadsWhileStartingAndStopping) {
  ASSERT_EQ(Start(), Code(0x200c0000u));
  std::atomic<bool> stop{false};
  std::atomic<int> opened{0};
  std::vector<std::thread> workers;
  for (int i = 0; i < 8; ++i) workers.emplace_back(HostWorker, std::ref(stop), std::ref(opened));
  // Stop and start again and again until the workers have opened a good
  // number of sessions in between.
  while (opened.load() < 2000) {
    Plugin_Interface_PreUninitialize();
    Plugin_Interface_PostInitialize();
    std::this_thread::yield();
  }
  stop.store(true);
  for (std::thread& worker : workers) worker.join();

  EXPECT_EQ(InterfaceCount(), 0u);
  EXPECT_FALSE(DriverAlive());
}

}  // namespace
}  // namespace zevo::plugintest
