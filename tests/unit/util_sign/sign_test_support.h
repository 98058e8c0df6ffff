// Shared by the signature tests: a temporary folder, file writing, the
// switch forced for one test, and log capture.
#ifndef ZEVO_TESTS_UNIT_UTIL_SIGN_SIGN_TEST_SUPPORT_H_
#define ZEVO_TESTS_UNIT_UTIL_SIGN_SIGN_TEST_SUPPORT_H_

#include <chrono>
#include <cstdint>
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
class TempDir {
 public:
  explicit TempDir(std::string_view tag) {
    const auto stamp =
        std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = fs::temp_directory_path() /
            ("zevo-sign-" + std::string(tag) + "-" + std::to_string(stamp));
    fs::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const fs::path& path() const { return path_; }
  fs::path operator/(std::string_view name) const { return path_ / name; }

 private:
  fs::path path_;
};

inline void WriteBytes(const fs::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The single-file check passes everything this soon after system start.
inline bool InStartupGrace() { return os::TickCount() < 120000; }

// Forces the module-load switch for one scope, then has it read again.
class SwitchForced {
 public:
  explicit SwitchForced(bool on) {
    util::SetModuleLoadCheckCacheForTesting(on ? util::kModuleLoadCheckOn
                                               : util::kModuleLoadCheckOff);
  }
  ~SwitchForced() {
    util::SetModuleLoadCheckCacheForTesting(util::kModuleLoadCheckUnknown);
  }
  SwitchForced(const SwitchForced&) = delete;
  SwitchForced& operator=(const SwitchForced&) = delete;
};

// Lines of "Util COMMON" at every level, for the scope of the object.
struct UtilLog : logtest::LineCapture {
  UtilLog() { logtest::Configure("Util COMMON=1"); }
  ~UtilLog() { logtest::Configure(nullptr); }
};

}  // namespace zevo::signtest

#endif  // ZEVO_TESTS_UNIT_UTIL_SIGN_SIGN_TEST_SUPPORT_H_
