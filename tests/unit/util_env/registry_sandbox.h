// A registry the tests may write to. POSIX: a fresh folder tree named by
// ZEVO_REGISTRY_ROOT. Windows (wine): the real registry; the tests write
// only below HKLM\SOFTWARE\ZevoTests\<guid> and, for the install path,
// HKLM\SOFTWARE\Zentrovia, both removed again.
#ifndef ZEVO_TESTS_UNIT_UTIL_ENV_REGISTRY_SANDBOX_H_
#define ZEVO_TESTS_UNIT_UTIL_ENV_REGISTRY_SANDBOX_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "env_test_support.h"
#include "os/guid.h"
#include "os/text.h"
#include "util/reg_key.h"

namespace zevo::envtest {

inline constexpr std::u16string_view kTestsKey = u"SOFTWARE\\ZevoTests";

class RegistrySandbox : public ::testing::Test {
 protected:
  void SetUp() override {
    guid_ = os::NewGuidText();
#if !defined(_WIN32)
    root_ = std::filesystem::temp_directory_path() /
            ("zevo-registry-" + os::Utf16ToUtf8(guid_));
    std::filesystem::create_directories(root_);
    rootVar_ = std::make_unique<ScopedEnv>("ZEVO_REGISTRY_ROOT",
                                           root_.string().c_str());
#endif
    base_ = std::u16string(kTestsKey) + u"\\" + guid_;
  }

  void TearDown() override {
    util::RegKey tests;
    if (tests.Open(util::RegistryRoot::kLocalMachine, kTestsKey,
                   os::kKeyAllAccess) == os::kRegSuccess) {
      tests.DeleteKeyTree(guid_);
    }
#if !defined(_WIN32)
    rootVar_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
#endif
  }

  std::u16string guid_;
  std::u16string base_;  // a key of this test's own under HKLM
  std::filesystem::path root_;  // POSIX only
  std::unique_ptr<ScopedEnv> rootVar_;
};

}  // namespace zevo::envtest

#endif  // ZEVO_TESTS_UNIT_UTIL_ENV_REGISTRY_SANDBOX_H_
