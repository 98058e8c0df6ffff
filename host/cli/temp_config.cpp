#include "temp_config.h"

#include <chrono>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>

#include <nlohmann/json.hpp>

namespace zevo::cli {
namespace {

namespace fs = std::filesystem;

// A folder text as the driver expects it: ending in the separator.
std::string FolderText(const fs::path& folder) {
  const std::u8string text = (folder / "").make_preferred().u8string();
  return std::string(text.begin(), text.end());
}

std::string PathUtf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

nlohmann::json BoolValue(const char* key, bool value) { return {{"key", key}, {"type", "bool"}, {"value", value}}; }

}  // namespace

TemporaryConfigStore::TemporaryConfigStore(const CleanSettings& settings) {
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  folder_ = fs::temp_directory_path() / ("zevo-host-" + std::to_string(stamp));
  fs::create_directories(folder_ / "debug");
  fs::create_directories(folder_ / "temp");
  nlohmann::json store = {
      {"values",
       {
           {{"key", "0xc70000"}, {"type", "int32"}, {"value", 1}},
           {{"key", "0xc20001"}, {"type", "wstring"}, {"value", FolderText(folder_ / "debug")}},
           {{"key", "0xc20002"}, {"type", "wstring"}, {"value", FolderText(folder_ / "temp")}},
       }},
  };
  nlohmann::json& values = store["values"];
  if (!settings.backupFolder.empty()) {
    values.push_back({{"key", "0x10c20001"}, {"type", "wstring"}, {"value", FolderText(settings.backupFolder)}});
  }
  // Both switches: the module makes backups only when both are on.
  values.push_back(BoolValue("0x12711000", settings.backup));
  values.push_back(BoolValue("0x10c10000", settings.backup));
  nlohmann::json protectedPaths = nlohmann::json::array();
  for (const fs::path& path : settings.protectedPaths) protectedPaths.push_back(PathUtf8(path));
  store["protectedPaths"] = protectedPaths;
  store_file_ = folder_ / "config.json";
  std::ofstream out(store_file_, std::ios::binary | std::ios::trunc);
  out << store.dump(2) << '\n';
  if (!out) throw std::runtime_error("cannot write " + store_file_.string());
}

TemporaryConfigStore::~TemporaryConfigStore() {
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
}

}  // namespace zevo::cli
