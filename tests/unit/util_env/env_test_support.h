// Shared by the placeholder and registry tests.
#ifndef ZEVO_TESTS_UNIT_UTIL_ENV_ENV_TEST_SUPPORT_H_
#define ZEVO_TESTS_UNIT_UTIL_ENV_ENV_TEST_SUPPORT_H_

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "../log/log_test_support.h"
#include "os/path.h"

namespace zevo::envtest {

// A path written with backslashes, spelled with the platform's separator.
inline std::u16string P(std::u16string_view windowsSpelling) {
  std::u16string path(windowsSpelling);
  for (char16_t& c : path) {
    if (c == u'\\') c = os::kPathSeparator;
  }
  return path;
}

// Sets (or, with a null value, removes) an environment variable for the
// life of the object; then restores what was there. Values are ASCII.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Set(value);
  }
  ~ScopedEnv() { Set(old_ ? old_->c_str() : nullptr); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  void Set(const char* value) {
    if (value != nullptr) {
      logtest::SetEnv(name_, value);
    } else {
      logtest::UnsetEnv(name_);
    }
  }

  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace zevo::envtest

#endif  // ZEVO_TESTS_UNIT_UTIL_ENV_ENV_TEST_SUPPORT_H_
