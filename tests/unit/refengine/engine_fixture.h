// Loads the reference engine by path and gives tests a session, a sample
// tree and the events the engine reported.
#ifndef TARSK_TEST_ENGINE_FIXTURE_H_
#define TARSK_TEST_ENGINE_FIXTURE_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "../log/log_test_support.h"
#include "os/dynamic_library.h"
#include "zevo/engine_api.h"

namespace tarsk::test {

// Statuses pinned by the tests (engine/README.md).
inline constexpr std::int32_t kInvalidArgument = -1;
inline constexpr std::int32_t kStopped = -4;
inline constexpr std::int32_t kBackupCorrupt = -8;
inline constexpr std::int32_t kTargetExists = -9;

// Folder of an engine build, with a trailing separator.
std::u16string EngineFolder(const char* name);
// Every entry point of the main build (loaded once per process).
const zevo::TkFunctionTable& Tk();

using zevo::logtest::SetEnv;
std::string PathText(const std::filesystem::path& path);  // UTF-8
std::u16string U16(const std::filesystem::path& path);

struct Event {
  std::int32_t event, c, d;
  TKC_ITEM item;  // events 2
};

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes the sample tree into root_, points TARSK_SCAN_ROOTS at it.
  void WriteSamples();
  std::int32_t ScanAll();  // default scanners, then TKScan
  std::vector<TKC_ITEM> Items();
  std::vector<Event> Events();

  std::filesystem::path dir_;   // per test, removed afterwards
  std::filesystem::path root_;  // dir_/root
  std::int32_t h_ = 0;
};

}  // namespace tarsk::test

#endif  // TARSK_TEST_ENGINE_FIXTURE_H_
