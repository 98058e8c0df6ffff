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

}  // namespace

TemporaryConfigStore::TemporaryConfigStore() {
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  folder_ = fs::temp_directory_path() / ("zevo-host-" + std::to_string(stamp));
  fs::create_directories(folder_ / "debug");
  fs::create_directories(folder_ / "temp");
  const nlohmann::json store = {
      {"values",
       {
           {{"key", "0xc70000"}, {"type", "int32"}, {"value", 1}},
           {{"key", "0xc20001"}, {"type", "wstring"}, {"value", FolderText(folder_ / "debug")}},
           {{"key", "0xc20002"}, {"type", "wstring"}, {"value", FolderText(folder_ / "temp")}},
       }},
  };
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
