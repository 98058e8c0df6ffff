#include "os/environment.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "os/text.h"

namespace zevo::os {

namespace {

// HRESULTs of the shell call this stands in for.
constexpr std::int32_t kInvalidArgument = static_cast<std::int32_t>(0x80070057u);
constexpr std::int32_t kFailure = static_cast<std::int32_t>(0x80004005u);
constexpr std::int32_t kFolderLocalAppData = 28;
constexpr std::int32_t kFolderProfile = 40;

std::optional<std::string> Variable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

std::optional<std::string> HomeFolder() {
  if (auto home = Variable("HOME"); home && !home->empty()) return home;
  std::vector<char> scratch(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, scratch.data(), scratch.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr && *found->pw_dir != '\0') {
    return std::string(found->pw_dir);
  }
  return std::nullopt;
}

// $<variable> when it is an absolute path (as the XDG rules ask), else
// $HOME/<fallback>.
std::optional<std::string> XdgFolder(const char* variable, const char* fallback) {
  if (auto value = Variable(variable); value && value->starts_with('/')) {
    return value;
  }
  auto home = HomeFolder();
  if (!home) return std::nullopt;
  if (!home->ends_with('/')) home->push_back('/');
  return *home + fallback;
}

void DropTrailingSeparators(std::string& path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
}

}  // namespace

std::uint32_t ExpandEnvironmentText(const char16_t* source, char16_t* buffer, std::uint32_t capacity) noexcept {
  if (source == nullptr || (buffer == nullptr && capacity != 0)) {
    errno = EINVAL;
    return 0;
  }
  try {
    const std::u16string_view text(source);
    std::u16string result;
    std::size_t at = 0;
    while (at < text.size()) {
      if (text[at] != u'%') {
        result.push_back(text[at++]);
        continue;
      }
      // A name that is not set stays as written, percent signs and all; a
      // '%' without a partner stays too.
      const std::size_t close = text.find(u'%', at + 1);
      if (close == std::u16string_view::npos) {
        result.append(text.substr(at));
        break;
      }
      const auto value = EnvironmentValue(text.substr(at + 1, close - at - 1));
      if (value) {
        result += *value;
      } else {
        result.append(text.substr(at, close - at + 1));
      }
      at = close + 1;
    }
    if (result.size() >= UINT32_MAX) {
      errno = E2BIG;
      return 0;
    }
    const auto needed = static_cast<std::uint32_t>(result.size() + 1);
    if (needed <= capacity) {
      result.copy(buffer, result.size());
      buffer[result.size()] = u'\0';
    }
    return needed;
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
    return 0;
  }
}

std::optional<std::u16string> EnvironmentValue(std::u16string_view name) {
  if (name.empty() || name.find_first_of(u"=\0", 0, 2) != name.npos) {
    return std::nullopt;
  }
  const auto value = Variable(Utf16ToUtf8(name).c_str());
  if (!value) return std::nullopt;
  return Utf8ToUtf16(*value);
}

std::int32_t SpecialFolderPath(std::int32_t folderId, std::u16string& path) noexcept {
  try {
    std::optional<std::string> folder;
    switch (folderId) {
      case kFolderAppData:
        folder = XdgFolder("XDG_CONFIG_HOME", ".config");
        break;
      case kFolderLocalAppData:
        folder = XdgFolder("XDG_DATA_HOME", ".local/share");
        break;
      case kFolderProfile:
        folder = HomeFolder();
        break;
      default:
        return kInvalidArgument;
    }
    if (!folder) return kFailure;
    DropTrailingSeparators(*folder);
    path = Utf8ToUtf16(*folder);
    return 0;
  } catch (const std::bad_alloc&) {
    return kFailure;
  }
}

bool HostExecutablePath(std::u16string& path) noexcept {
  try {
    std::string target(PATH_MAX, '\0');
    while (true) {
      const ssize_t length = readlink("/proc/self/exe", target.data(), target.size());
      if (length < 0) return false;
      if (static_cast<std::size_t>(length) < target.size()) {
        target.resize(static_cast<std::size_t>(length));
        break;
      }
      target.resize(target.size() * 2);  // possibly cut short: read again
    }
    path = Utf8ToUtf16(target);
    return true;
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
    return false;
  }
}

}  // namespace zevo::os
