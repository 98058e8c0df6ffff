// Many host threads on the real module at once: objects queried, sessions
// opened and closed, versions read, objects released, while another thread
// stops and starts the module over and over. Run under ThreadSanitizer too.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "../common/module_host.h"
#include "zevo/identity.h"
#include "zevo/records.h"
#include "zevo/result.h"

namespace zevo::it {
namespace {

constexpr int kWorkers = 8;
constexpr auto kDuration = std::chrono::seconds(3);

struct Counts {
  std::atomic<std::uint64_t> objects{0};
  std::atomic<std::uint64_t> refused{0};  // null while the module was stopped
  std::atomic<std::uint64_t> failures{0};
};

// One round of a worker: an engine interface with a session and both
// versions, and a status interface.
void WorkerRound(const PluginExportTable& x, int worker, Counts& counts) {
  {
    const Object engine(x, kEngineInterfaceId);
    if (!engine) {
      ++counts.refused;
      std::this_thread::yield();
    } else {
      ++counts.objects;
      const std::string name = "worker-" + std::to_string(worker);
      ZEVO_OpenBlock block{nullptr, name.c_str(), static_cast<std::uint64_t>(worker)};
      std::int32_t pattern = 0, version = 0;
      const bool ok = engine.Call(kFnOpenSession, &block) >= 0 &&
                      !ReadVersion(engine, kFnGetPatternVersion, pattern).empty() && pattern >= 0 &&
                      !ReadVersion(engine, kFnGetEngineVersion, version).empty() && version >= 0 &&
                      engine.Call(kFnCloseSession) >= 0;
      if (!ok) ++counts.failures;
    }
  }
  const Object status(x, kEngineStatusInterfaceId);
  if (status && status.Call(static_cast<std::uint32_t>(worker)) != kOk) ++counts.failures;
}

TEST(Stress, ObjectsAndSessionsWhileTheModuleStopsAndStarts) {
  ModuleHost m;
  ASSERT_TRUE(m.Ready());
  m.Initialize();
  ASSERT_GE(m.PostInitialize(), 0);

  Counts counts;
  std::atomic<bool> done{false};
  std::atomic<std::uint64_t> cycles{0}, lifecycleFailures{0};
  std::vector<std::thread> threads;
  for (int worker = 0; worker < kWorkers; ++worker) {
    threads.emplace_back([&, worker] {
      while (!done.load()) WorkerRound(m.x(), worker, counts);
    });
  }
  threads.emplace_back([&] {
    while (!done.load()) {
      if (m.PreUninitialize() < 0) ++lifecycleFailures;
      if (m.PostInitialize() < 0) ++lifecycleFailures;
      ++cycles;
      // Leave the workers a moment of a started module.
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  std::this_thread::sleep_for(kDuration);
  done = true;
  for (std::thread& thread : threads) thread.join();

  std::printf("objects %llu, refused %llu, stop/start cycles %llu\n",
              static_cast<unsigned long long>(counts.objects.load()),
              static_cast<unsigned long long>(counts.refused.load()),
              static_cast<unsigned long long>(cycles.load()));
  EXPECT_EQ(counts.failures.load(), 0u);
  EXPECT_EQ(lifecycleFailures.load(), 0u);
  EXPECT_GT(counts.objects.load(), 0u);
  EXPECT_GT(cycles.load(), 0u);

  // Everything is released: once stopped, nothing is handed out and no
  // driver holds a host connection.
  EXPECT_GE(m.PreUninitialize(), 0);
  EXPECT_EQ(m.x().Plugin_Interface_QueryInterface(kEngineInterfaceId), nullptr);
  EXPECT_EQ(m.x().Plugin_Interface_QueryInterface(kEngineStatusInterfaceId), nullptr);
  EXPECT_EQ(m.host().services().OpenConnections(), 0u);
  EXPECT_EQ(m.Uninitialize(), kOk);
}

}  // namespace
}  // namespace zevo::it
