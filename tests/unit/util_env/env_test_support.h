// Shared by the placeholder and registry tests.
#ifndef ZEVO_TESTS_UNIT_UTIL_ENV_ENV_TEST_SUPPORT_H_
#define ZEVO_TESTS_UNIT_UTIL_ENV_ENV_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "../log/log_test_support.h"
#include "../util_files/files_test_support.h"
#include "os/guid.h"
#include "os/path.h"
#include "os/text.h"
#include "util/reg_key.h"

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

 private:
  void Set(const char* value) { value != nullptr ? logtest::SetEnv(name_, value) : logtest::UnsetEnv(name_); }

  const char* name_;
  std::optional<std::string> old_;
};

inline constexpr std::u16string_view kTestsKey = u"SOFTWARE\\ZevoTests";

// A registry the tests may write to. POSIX: a fresh folder tree named by
// ZEVO_REGISTRY_ROOT. Windows (wine): the real registry; the tests write
// only below HKLM\SOFTWARE\ZevoTests\<guid> and, for the install path,
// HKLM\SOFTWARE\Zentrovia, both removed again.
class RegistrySandbox : public filestest::FilesTest {
 protected:
  void SetUp() override {
    guid_ = os::NewGuidText();
    base_ = std::u16string(kTestsKey) + u"\\" + guid_;
#if !defined(_WIN32)
    rootVar_ = std::make_unique<ScopedEnv>("ZEVO_REGISTRY_ROOT", root_.string().c_str());
#endif
  }

  void TearDown() override {
    for (const auto& [parent, child] :
         {std::pair{kTestsKey, std::u16string_view(guid_)}, {u"SOFTWARE", u"Zentrovia"}}) {
      util::RegKey key;
      if (key.Open(util::RegistryRoot::kLocalMachine, parent, os::kKeyAllAccess) == os::kRegSuccess) {
        key.DeleteKeyTree(child);
      }
    }
    rootVar_.reset();
  }

  std::u16string guid_;
  std::u16string base_;  // a key of this test's own under HKLM
  std::unique_ptr<ScopedEnv> rootVar_;
};

}  // namespace zevo::envtest

#endif  // ZEVO_TESTS_UNIT_UTIL_ENV_ENV_TEST_SUPPORT_H_
