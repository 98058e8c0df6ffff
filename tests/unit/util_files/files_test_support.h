// Shared by the file layer and store suites: a private folder (its name not
// ASCII-only) with small files, removed afterwards.
#ifndef ZEVO_TESTS_UNIT_UTIL_FILES_FILES_TEST_SUPPORT_H_
#define ZEVO_TESTS_UNIT_UTIL_FILES_FILES_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace zevo::filestest {

namespace fs = std::filesystem;

class TempFolder {
 public:
  TempFolder() {
    static std::atomic<int> counter{0};
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info != nullptr ? info->name() : "store";
    name.append(1, '-').append(std::to_string(counter++));
    root_ = fs::temp_directory_path() / (u"zevo-files-" + std::u16string(name.begin(), name.end()) + u"-\u00e9");
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const fs::path& path() const { return root_; }
  std::u16string text() const { return root_.u16string(); }
  fs::path File(std::u16string_view name) const { return root_ / name; }
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

 protected:
  fs::path root_;
};

class FilesTest : public ::testing::Test, public TempFolder {};

}  // namespace zevo::filestest

#endif  // ZEVO_TESTS_UNIT_UTIL_FILES_FILES_TEST_SUPPORT_H_
