// Shared by the file layer suites: a private folder with small text files.
#ifndef ZEVO_TESTS_UNIT_UTIL_FILES_FILES_TEST_SUPPORT_H_
#define ZEVO_TESTS_UNIT_UTIL_FILES_FILES_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace zevo::filestest {

namespace fs = std::filesystem;

class FilesTest : public ::testing::Test {
 protected:
  FilesTest() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = info->name();
    root_ = fs::temp_directory_path() / (u"zevo-files-" + std::u16string(name.begin(), name.end()) + u"-\u00e9");
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  ~FilesTest() override {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  std::u16string At(const fs::path& name) const { return (root_ / name).u16string(); }
  void Write(const fs::path& name, const std::string& text) const {
    fs::create_directories((root_ / name).parent_path());
    std::ofstream(root_ / name, std::ios::binary) << text;
  }
  // The file's text, or "-" when there is none.
  std::string Read(const fs::path& name) const {
    std::ifstream in(root_ / name, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "-";
  }
  std::size_t Count() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(root_), fs::directory_iterator()));
  }

  fs::path root_;
};

}  // namespace zevo::filestest

#endif  // ZEVO_TESTS_UNIT_UTIL_FILES_FILES_TEST_SUPPORT_H_
