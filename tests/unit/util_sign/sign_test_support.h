// Shared by the signature tests: a temporary folder, file writing, the
// switch forced for one test, and log capture.
#ifndef ZEVO_TESTS_UNIT_UTIL_SIGN_SIGN_TEST_SUPPORT_H_
#define ZEVO_TESTS_UNIT_UTIL_SIGN_SIGN_TEST_SUPPORT_H_

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "../log/log_test_support.h"
#include "os/tick_count.h"
#include "util/self_protection.h"

namespace zevo::signtest {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
struct TempDir {
  explicit TempDir(std::string_view tag)
      : path(fs::temp_directory_path() /
             ("zevo-sign-" + std::string(tag) + "-" +
              std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()))) {
    fs::create_directories(path);
  }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  fs::path operator/(std::string_view name) const { return path / name; }
  const fs::path path;
};

inline void WriteBytes(const fs::path& file, std::string_view bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
}

// The single-file check passes everything this soon after system start.
inline bool InStartupGrace() { return os::TickCount() < 120000; }

// Forces the module-load switch for one scope, then has it read again.
struct SwitchForced {
  explicit SwitchForced(bool on) {
    util::SetModuleLoadCheckCacheForTesting(on ? util::kModuleLoadCheckOn : util::kModuleLoadCheckOff);
  }
  ~SwitchForced() { util::SetModuleLoadCheckCacheForTesting(util::kModuleLoadCheckUnknown); }
};

// Lines of "Util COMMON" at every level, for the scope of the object.
struct UtilLog : logtest::LineCapture {
  UtilLog() { logtest::Configure("Util COMMON=1"); }
  ~UtilLog() { logtest::Configure(nullptr); }
};

}  // namespace zevo::signtest

#endif  // ZEVO_TESTS_UNIT_UTIL_SIGN_SIGN_TEST_SUPPORT_H_
