// Existence, full paths, module folders, version strings and counter files.
#include <cstdint>
#include <exception>
#include <string>

#include "log/logging.h"
#include "os/file_ops.h"
#include "os/file_system.h"
#include "os/file_version.h"
#include "os/path.h"
#include "util/file_calls.h"
#include "util/file_ops.h"

namespace zevo::util {

namespace {

constexpr logging::Site kLog{u"Util COMMON", u"Std_Utils_File"};

// Longest counter text read: ten digits and the blanks before them.
constexpr std::uint32_t kNumberTextLimit = 64;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The leading decimal number of `text` after blanks; false without digits,
// with a sign, beyond 32 bits, or running to the end of a text that was cut
// short (`complete` false).
bool ParseNumber(std::string_view text, bool complete, std::uint32_t& value) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  std::uint64_t number = 0;
  const std::size_t first = i;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    number = number * 10 + static_cast<std::uint64_t>(text[i] - '0');
    if (number > UINT32_MAX) return false;
  }
  if (i == first || (i == text.size() && !complete)) return false;
  value = static_cast<std::uint32_t>(number);
  return true;
}

std::u16string Join(std::u16string_view folder, std::u16string_view name) {
  std::u16string path(folder);
  path += os::kPathSeparator;
  path += name;
  return path;
}

}  // namespace

bool FileExists(const char16_t* path) noexcept {
  std::uint32_t attributes = 0;
  return path != nullptr && *path != u'\0' && CurrentFileCalls().GetAttributes(path, attributes);
}

bool DirectoryExists(const char16_t* path) noexcept {
  std::uint32_t attributes = 0;
  return path != nullptr && *path != u'\0' && CurrentFileCalls().GetAttributes(path, attributes) &&
         (attributes & os::kAttributeDirectory) != 0;
}

bool GetFullPath(const char16_t* path, std::u16string& full) noexcept {
  if (path == nullptr || *path == u'\0') {
    os::SetLastWin32Error(os::kErrorInvalidParameter);
    return false;
  }
  return os::GetFullPath(path, full);
}

std::u16string GetModuleDirectory(void* module) noexcept {
  try {
    std::u16string name;
    if (!os::ModuleFileOf(module, name)) return {};
    name.erase(name.rfind(os::kPathSeparator) + 1);  // all of it without a separator
    return name;
  } catch (const std::exception&) {
    return {};
  }
}

bool GetFileVersionParts(const char16_t* path, std::uint32_t& major, std::uint32_t& minor,
                         std::uint32_t& fourth) noexcept {
  os::FixedVersion version;
  if (path == nullptr || *path == u'\0' || !os::ReadFileVersion(path, version)) return false;
  major = version.mostSignificant >> 16;
  minor = version.mostSignificant & 0xffff;
  fourth = version.leastSignificant & 0xffff;
  return true;
}

bool GetFileVersionString(const char16_t* path, std::u16string& text) noexcept {
  std::uint32_t parts[3] = {};
  if (!FileExists(path) || !GetFileVersionParts(path, parts[0], parts[1], parts[2])) return false;
  try {
    const std::string narrow =
        std::to_string(parts[0]) + '.' + std::to_string(parts[1]) + '.' + std::to_string(parts[2]);
    text.assign(narrow.begin(), narrow.end());
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool WriteNumberToFile(std::uint32_t value, const char16_t* path) noexcept {
  if (path == nullptr || *path == u'\0') return false;
  try {
    // Written beside the file and moved over it: a crash leaves the old
    // number or the new one.
    std::u16string tmp;
    if (!MakeUniqueSiblingName(path, u"tmp", tmp)) return false;
    const std::string text = std::to_string(value);
    os::ContentFile file;
    std::uint32_t written = 0;
    const bool ok = file.CreateAlways(tmp) &&
                    file.Write(text.data(), static_cast<std::uint32_t>(text.size()), &written) &&
                    written == text.size() && file.Flush();
    file.Close();
    if (ok && CurrentFileCalls().MoveWithFlags(tmp, path, os::kMoveReplaceExisting | os::kMoveWriteThrough)) {
      return true;
    }
    CurrentFileCalls().DeleteFileAt(tmp);
    return false;
  } catch (const std::exception&) {
    return false;
  }
}

bool ReadNumberFromFile(std::uint32_t& value, const char16_t* path) noexcept {
  if (path == nullptr || *path == u'\0') return false;
  os::ContentFile file;
  char text[kNumberTextLimit];
  std::uint32_t read = 0;
  if (!file.OpenRead(path, os::ContentFile::kShareRead) || !file.Read(text, sizeof text, &read)) return false;
  return ParseNumber(std::string_view(text, read), read < sizeof text, value);
}

bool IncreaseRestoreCounters(const char16_t* folder) noexcept {
  if (folder == nullptr) return false;
  try {
    const std::u16string ini = Join(folder, u"restore.ini");
    const std::u16string txt = Join(folder, u"restore.txt");
    std::uint32_t iniCount = 0;
    std::uint32_t txtCount = 0;
    if (!ReadNumberFromFile(iniCount, ini.c_str()) || !ReadNumberFromFile(txtCount, txt.c_str())) {
      ZLOG(kLog, logging::kLevelFailure, u"Failed to read ", ini, u" or ", txt);
      return false;
    }
    if (!WriteNumberToFile(iniCount + 1, ini.c_str()) || !WriteNumberToFile(txtCount + 1, txt.c_str())) {
      ZLOG(kLog, logging::kLevelFailure, u"Failed to write ", ini, u" or ", txt);
      return false;
    }
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace zevo::util
