// The clean, backup, restore and referential tests: a started driver with one
// owned session whose reports are kept, the host's file check, a folder tree.
#ifndef ZEVO_TESTS_UNIT_DRIVER_CLEAN_FIXTURE_H_
#define ZEVO_TESTS_UNIT_DRIVER_CLEAN_FIXTURE_H_

#include <set>
#include <utility>

#include "driver_fixture.h"

namespace zevo::drivertest {

// The host's file check: keeps out `kept`, answers `status`, records the paths
// asked about (from the thread that cleans).
struct FileCheck final : hostsim::HostInterface {
  std::int32_t Call(std::uint32_t function, void* input, void* output) noexcept override {
    if (function != ZEVO_FILE_CHECK_FN_CHECK || input == nullptr || output == nullptr) return kUnsupported;
    const auto* request = static_cast<const ZEVO_FileCheckRequest*>(input);
    asked.emplace_back(request->path);
    if (request->zero != 0 || request->one != 1) ++malformed;
    if (kept.count(request->path) != 0) static_cast<ZEVO_FileCheckReply*>(output)->keepOut = 1;
    return status;
  }
  std::set<std::u16string> kept;
  std::vector<std::u16string> asked;
  std::int32_t status = kCommonOk;
  int malformed = 0;
};

struct Report {
  std::int32_t handle;
  std::int32_t event;
  std::int32_t c;
  std::int32_t d;
  std::u16string backupFile;  // event 1000
  std::u16string company;     // event 1000
};

inline std::vector<Report> g_reports;  // the callback runs on the thread of the job

inline std::int32_t RecordReport(std::int32_t h, std::int32_t event, std::int32_t c, std::int32_t d, void* data) {
  Report report{h, event, c, d, {}, {}};
  if (event == kEventBackupFile && data != nullptr) {
    const auto* backup = static_cast<const ZEVO_BackupReport*>(data);
    report.backupFile = backup->backupFile;
    report.company = backup->companyName;
  }
  g_reports.push_back(std::move(report));
  return 0;
}

inline std::vector<Report> TakeReports() { return std::exchange(g_reports, {}); }

// Custom-range ids carry their own company text, so no table is needed.
inline constexpr std::int32_t kCustomId = kCustomItemIdFirst;

inline TKC_ITEM MakeItem(std::int32_t id, std::uint32_t kind, std::u16string_view folder, std::u16string_view file,
                         std::u16string_view company, std::uint32_t flags = 0) {
  TKC_ITEM item{};
  item.size = kTkcItemSize;
  item.itemId = id;
  item.kind = kind;
  item.resultFlags = flags;
  std::copy(folder.begin(), folder.end(), item.text3);
  std::copy(file.begin(), file.end(), item.text2);
  std::copy(company.begin(), company.end(), item.companyText);
  return item;
}

// `text` as a JSON string body (separators of Windows paths escaped).
inline std::string JsonText(const std::filesystem::path& path) {
  std::string out;
  for (char c : path.u8string()) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

class CleanTest : public DriverTest {
 protected:
  CleanTest() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::filesystem::temp_directory_path() /
            ("zevo-clean-" + std::string(info->test_suite_name()) + "-" + info->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "temp");
    // The temp folder as the driver keeps it: with its separator.
    SetStore(R"({"values": [{"key": "0xc20002", "type": "wstring", "value": ")" + JsonText(root_ / "temp") +
             JsonText(std::u16string(1, os::kPathSeparator)) + R"("}]})");
    services_.Register(ZEVO_FILE_CHECK_MODULE, ZEVO_FILE_CHECK_INTERFACE, file_check_);
    driver_ = StartedDriver();
    EXPECT_EQ(driver_->OpenSession(&session_, &owner_, "job"), kOk);
    EXPECT_EQ(driver_->SetProcessCallbackFunction(session_, &RecordReport), kOk);
    engine_.ClearCalls();
    TakeReports();
  }
  ~CleanTest() override {
    driver_->CloseSession(session_);
    driver::CEngineTARSK::DetachSessionOwner(&owner_);
    TakeReports();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  std::u16string Temp() const { return (root_ / "temp").u16string() + os::kPathSeparator; }
  std::u16string BackupFolder() const { return (root_ / "backup").u16string(); }
  // The names in a folder, sorted; empty when it does not exist.
  static std::vector<std::u16string> Names(const std::filesystem::path& folder) {
    std::vector<std::u16string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
      names.push_back(entry.path().filename().u16string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::filesystem::path root_;
  std::shared_ptr<FileCheck> file_check_ = std::make_shared<FileCheck>();
  std::unique_ptr<driver::CEngineTARSK> driver_;
  Owner owner_;
  std::int32_t session_ = 0;
};

}  // namespace zevo::drivertest

#endif  // ZEVO_TESTS_UNIT_DRIVER_CLEAN_FIXTURE_H_
