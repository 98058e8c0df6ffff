// Loads an arbitrary byte string as "system_config.cfg" and runs every
// operation of the store on what it found. An even first byte writes the
// rest as it lies on disk (the store decrypts it into noise); an odd one
// encrypts it first, so the parser and the queries meet XML-shaped text.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "util/sys_config_manager.h"
#include "util/zevo_data_crypto.h"

namespace {

namespace fs = std::filesystem;
using zevo::util::SysConfigManager;
using zevo::util::SysConfigRecord;

// A private folder for the run, removed at exit.
class RunFolder {
 public:
  RunFolder()
      : path_(fs::temp_directory_path() /
              ("zevo-fuzz-store-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)))) {
    fs::create_directories(path_);
  }
  ~RunFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void WriteFile(const fs::path& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void Exercise(SysConfigManager& store, const std::u16string& folder) {
  std::vector<SysConfigRecord> all;
  store.GetAllSysConfigs(all);
  std::u16string value;
  for (const SysConfigRecord& record : all) {
    store.GetSysConfig(record.group, record.name, value);
    store.SetSysConfig(record.group, record.name, value + u"x");
  }
  store.AddSysConfig(u"ZEVO_ALL", u"Added", u"1");
  if (!all.empty()) store.RemoveSysConfig(all[0].group, all[0].name);
  // What the store writes, it must read back.
  if (store.saveFile(folder, u"saved.cfg", /*writeThrough=*/false)) {
    SysConfigManager again(folder, u"saved.cfg");
    if (!again.Load()) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const RunFolder folder;
  if (size == 0 || size > (1u << 20)) return 0;
  const fs::path file = folder.path() / "system_config.cfg";
  const bool encryptFirst = (data[0] & 1) != 0;
  ++data;
  --size;
  if (encryptFirst) {
    zevo::util::CryptoBuffer cipher;
    std::uint32_t length = 0;
    if (!zevo::util::ZevoDataCrypto::EncryptData(nullptr, data, static_cast<std::uint32_t>(size), cipher, length)) {
      __builtin_trap();  // encryption never fails on valid input
    }
    WriteFile(file, cipher.get(), length);
  } else {
    WriteFile(file, data, size);
  }

  const std::u16string folderText = folder.path().u16string();
  SysConfigManager store(folderText, u"system_config.cfg");
  if (store.Load()) Exercise(store, folderText);
  store.Close();
  return 0;
}
