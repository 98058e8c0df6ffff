// A configuration store for one run of zevo-host: a temporary folder with
// the store file and the debug and temp folders it names, removed again
// when the object goes. The backup folder it names lies elsewhere and
// survives the run.
#ifndef ZEVO_HOST_CLI_TEMP_CONFIG_H_
#define ZEVO_HOST_CLI_TEMP_CONFIG_H_

#include <filesystem>
#include <vector>

namespace zevo::cli {

// What a cleaning run puts into the store.
struct CleanSettings {
  std::filesystem::path backupFolder;                 // key 0x10c20001; empty: not written
  bool backup = true;                                 // false: keys 0x12711000 and 0x10c10000 false
  std::vector<std::filesystem::path> protectedPaths;  // the file check's "protectedPaths"
};

class TemporaryConfigStore {
 public:
  // Creates the folder and writes the store: engine mode 1 (key 0xc70000),
  // debug folder (0xc20001) and temp folder (0xc20002) inside the folder,
  // then `settings`. Throws std::filesystem::filesystem_error or
  // std::runtime_error.
  explicit TemporaryConfigStore(const CleanSettings& settings = {});
  ~TemporaryConfigStore();
  TemporaryConfigStore(const TemporaryConfigStore&) = delete;
  TemporaryConfigStore& operator=(const TemporaryConfigStore&) = delete;

  const std::filesystem::path& StoreFile() const noexcept { return store_file_; }

 private:
  std::filesystem::path folder_;
  std::filesystem::path store_file_;
};

}  // namespace zevo::cli

#endif  // ZEVO_HOST_CLI_TEMP_CONFIG_H_
