// Shared by the signature tests: the switch forced for one test, and log
// capture.
#ifndef ZEVO_TESTS_UNIT_UTIL_SIGN_SIGN_TEST_SUPPORT_H_
#define ZEVO_TESTS_UNIT_UTIL_SIGN_SIGN_TEST_SUPPORT_H_

#include "../log/log_test_support.h"
#include "../util_files/files_test_support.h"
#include "os/tick_count.h"
#include "util/self_protection.h"

namespace zevo::signtest {

using filestest::TempFolder;

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
