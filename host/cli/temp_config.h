// A configuration store for one run of zevo-host: a temporary folder with
// the store file and the debug and temp folders it names, removed again
// when the object goes.
#ifndef ZEVO_HOST_CLI_TEMP_CONFIG_H_
#define ZEVO_HOST_CLI_TEMP_CONFIG_H_

#include <filesystem>

namespace zevo::cli {

class TemporaryConfigStore {
 public:
  // Creates the folder and writes the store: engine mode 1 (key 0xc70000),
  // debug folder (0xc20001) and temp folder (0xc20002) inside the folder.
  // Throws std::filesystem::filesystem_error or std::runtime_error.
  TemporaryConfigStore();
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
