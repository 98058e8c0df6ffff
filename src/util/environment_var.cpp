#include "util/environment_var.h"

#include <new>
#include <vector>

#include "os/environment.h"
#include "os/path.h"
#include "util/install_path.h"

namespace zevo::util {

namespace {

// The system's buffer size for one expansion, in characters.
constexpr std::uint32_t kBufferChars = 260;
// Attempts with a buffer of the size the system asked for: the environment
// may grow between two calls.
constexpr int kExpandAttempts = 4;

enum class Source { kInstallPath, kAppDataFolder, kEnvironment };

struct Row {
  const char16_t* name;
  Source source;
};

constexpr std::array<Row, kEnvVarCount> kRows = {{
    {u"%zevo_install_path%", Source::kInstallPath},
    {u"%ALLUSERSPROFILE%", Source::kEnvironment},
    {u"%APPDATA%", Source::kAppDataFolder},
    {u"%COMPUTERNAME%", Source::kEnvironment},
    {u"%COMSPEC%", Source::kEnvironment},
    {u"%HOMEDRIVE%", Source::kEnvironment},
    {u"%HOMEPATH%", Source::kEnvironment},
    {u"%PATH%", Source::kEnvironment},
    {u"%PATHEXT%", Source::kEnvironment},
    {u"%PROGRAMFILES%", Source::kEnvironment},
    {u"%PROMPT%", Source::kEnvironment},
    {u"%SYSTEMDRIVE%", Source::kEnvironment},
    {u"%SYSTEMROOT%", Source::kEnvironment},
    {u"%TEMP%", Source::kEnvironment},
    {u"%TMP%", Source::kEnvironment},
    {u"%USERNAME%", Source::kEnvironment},
    {u"%USERPROFILE%", Source::kEnvironment},
    {u"%WINDIR%", Source::kEnvironment},
    {u"%PROCESSOR_ARCHITECTURE%", Source::kEnvironment},
    {u"%PROCESSOR_IDENTIFIER%", Source::kEnvironment},
    {u"%PROCESSOR_LEVEL%", Source::kEnvironment},
    {u"%PROCESSOR_REVISION%", Source::kEnvironment},
    {u"%NUMBER_OF_PROCESSORS%", Source::kEnvironment},
    {u"%OS%", Source::kEnvironment},
}};

std::u16string ValueOf(const Row& row) noexcept {
  switch (row.source) {
    case Source::kInstallPath:
      return GetInstallPath();
    case Source::kAppDataFolder:
      return GetSpecialFolderPath(os::kFolderAppData);
    case Source::kEnvironment:
      return GetEnvironmentValue(row.name);
  }
  return {};
}

// Rows are computed in order; memory running out leaves the rest empty
// (their placeholders then make ExpandEnvironmentVar fail).
EnvVarTableType BuildTable() noexcept {
  EnvVarTableType table;
  try {
    for (std::size_t i = 0; i < kRows.size(); ++i) {
      table[i].name = kRows[i].name;
      table[i].value = ValueOf(kRows[i]);
    }
  } catch (const std::bad_alloc&) {
  }
  return table;
}

EnvVarMapType BuildMap(const EnvVarTableType& table) noexcept {
  EnvVarMapType map;
  try {
    for (const EnvVar& row : table) map.emplace(row.name, row.value);
  } catch (const std::bad_alloc&) {
  }
  return map;
}

// Table first, then the map: both in this file, so in this order.
const EnvVarTableType g_envVarTable = BuildTable();
const EnvVarMapType g_envVarMap = BuildMap(g_envVarTable);

}  // namespace

const EnvVarTableType& EnvVarTable() noexcept { return g_envVarTable; }

const EnvVarMapType& EnvVarMap() noexcept { return g_envVarMap; }

std::u16string GetSpecialFolderPath(std::int32_t folderId) noexcept {
  std::u16string path;
  if (os::SpecialFolderPath(folderId, path) != 0) return {};
  if (folderId != os::kFolderAppData) return path;
  try {
    const std::u16string networkService =
        std::u16string(os::kPathSeparatorString) + u"NetworkService" + std::u16string(os::kPathSeparatorString);
    const std::u16string localService =
        std::u16string(os::kPathSeparatorString) + u"LocalService" + std::u16string(os::kPathSeparatorString);
    const std::size_t at = path.find(networkService);
    if (at != std::u16string::npos) {
      path.replace(at, networkService.size(), localService);
    }
  } catch (const std::bad_alloc&) {
  }
  return path;
}

std::u16string GetEnvironmentValue(std::u16string_view name) noexcept {
  try {
    const std::u16string source(name);
    std::vector<char16_t> buffer(kBufferChars, u'\0');
    for (int attempt = 0; attempt < kExpandAttempts; ++attempt) {
      const std::uint32_t needed =
          os::ExpandEnvironmentText(source.c_str(), buffer.data(), static_cast<std::uint32_t>(buffer.size()));
      if (needed == 0) break;
      if (needed <= buffer.size()) return std::u16string(buffer.data());
      buffer.assign(needed, u'\0');
    }
    return source;
  } catch (const std::bad_alloc&) {
    return {};
  }
}

}  // namespace zevo::util
