// The registry as a folder tree; see registry.h for the layout and
// registry_names.h for how names become file names. Values are replaced by
// writing a temporary file (".=tmp-...", never a value's name) and renaming
// it over the old one, so a reader sees the old value or the new one.
#include "os/registry.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "os/posix/registry_names.h"

namespace zevo::os {

namespace fs = std::filesystem;
using posix::KeyFileName;
using posix::KeyNameOf;
using posix::SameIgnoringAsciiCase;
using posix::ValueFileName;

struct RegistryKey::State {
  fs::path folder;
  std::uint32_t access;
  bool predefined;
};

namespace {

constexpr const char* kDefaultRoot = "/etc/zevo/registry";
constexpr const char* kRootVariable = "ZEVO_REGISTRY_ROOT";
constexpr std::size_t kTypeBytes = 4;
constexpr std::uint32_t kReadRights = kKeyQueryValue | kKeyEnumerateSubKeys;
constexpr std::uint32_t kWriteRights = kKeySetValue | kKeyCreateSubKey;

std::int32_t StatusOf(int error) noexcept {
  switch (error) {
    case 0:
      return kRegSuccess;
    case ENOENT:
    case ENOTDIR:
      return kRegFileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case ENOTEMPTY:
    case EEXIST:
      return kRegAccessDenied;
    case ENOMEM:
      return kRegNotEnoughMemory;
    case ENAMETOOLONG:
      return kRegInvalidParameter;
    default:
      return kRegIoFailed;
  }
}

std::int32_t StatusOf(const std::error_code& error) noexcept { return StatusOf(error.value()); }

fs::path RootFolder() {
  const char* configured = std::getenv(kRootVariable);
  return (configured != nullptr && *configured != '\0') ? configured : kDefaultRoot;
}

const char* RootFolderName(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::kClassesRoot:
      return "HKEY_CLASSES_ROOT";
    case RegistryRoot::kCurrentUser:
      return "HKEY_CURRENT_USER";
    case RegistryRoot::kLocalMachine:
      return "HKEY_LOCAL_MACHINE";
    case RegistryRoot::kUsers:
      return "HKEY_USERS";
  }
  return nullptr;
}

enum class Kind { kKey, kValue };

bool IsKind(const fs::file_status& status, Kind kind) {
  return kind == Kind::kKey ? fs::is_directory(status) : fs::is_regular_file(status);
}

// The entry of `folder` called `fileName`: the exact name first, else one
// that differs only in ASCII case. Sets `error` when the folder cannot be
// read; an entry that is absent leaves it clear.
std::optional<fs::path> FindEntry(const fs::path& folder, const std::string& fileName, Kind kind,
                                  std::error_code& error) {
  error.clear();
  const fs::path exact = folder / fileName;
  std::error_code ignored;
  if (IsKind(fs::symlink_status(exact, ignored), kind)) return exact;
  fs::directory_iterator it(folder, error);
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (SameIgnoringAsciiCase(name, fileName) && IsKind(it->symlink_status(ignored), kind)) {
      return it->path();
    }
  }
  if (error.value() == ENOENT) error.clear();
  return std::nullopt;
}

// Splits a backslash-separated subkey into folder names.
std::optional<std::vector<std::string>> SplitSubkey(std::u16string_view subkey) {
  std::vector<std::string> names;
  if (subkey.empty()) return names;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = subkey.find(u'\\', start);
    const std::optional<std::string> name =
        KeyFileName(subkey.substr(start, end == std::u16string_view::npos ? std::u16string_view::npos : end - start));
    if (!name) return std::nullopt;
    names.push_back(*name);
    if (end == std::u16string_view::npos) return names;
    start = end + 1;
  }
}

bool HasRights(const fs::path& folder, std::uint32_t access) {
  int mode = 0;
  if ((access & kReadRights) != 0) mode |= R_OK | X_OK;
  if ((access & kWriteRights) != 0) mode |= W_OK | X_OK;
  return mode == 0 || ::access(folder.c_str(), mode) == 0;
}

std::int32_t FinishOpen(const fs::path& folder, std::uint32_t access, RegistryKey::State& state) {
  if (!HasRights(folder, access)) return StatusOf(errno);
  state.folder = folder;
  state.access = access;
  state.predefined = false;
  return kRegSuccess;
}

// Reads a value file into `bytes` (type first).
std::int32_t ReadValueFile(const fs::path& file, std::string& bytes) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return StatusOf(errno);
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) return kRegIoFailed;
  if (bytes.size() < kTypeBytes || bytes.size() - kTypeBytes > UINT32_MAX) {
    return kRegBadDb;
  }
  return kRegSuccess;
}

std::int32_t WriteValueFile(const fs::path& target, std::uint32_t type, const void* data, std::uint32_t size) {
  static std::atomic<unsigned> counter{0};
  const fs::path temp = target.parent_path() / (".=tmp-" + std::to_string(::getpid()) + "-" +
                                                std::to_string(counter.fetch_add(1, std::memory_order_relaxed)));
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return StatusOf(errno);
    const unsigned char typeBytes[kTypeBytes] = {
        static_cast<unsigned char>(type), static_cast<unsigned char>(type >> 8), static_cast<unsigned char>(type >> 16),
        static_cast<unsigned char>(type >> 24)};
    out.write(reinterpret_cast<const char*>(typeBytes), kTypeBytes);
    if (size != 0) out.write(static_cast<const char*>(data), size);
    out.close();
    if (!out) {
      std::error_code ignored;
      fs::remove(temp, ignored);
      return kRegIoFailed;
    }
  }
  std::error_code error;
  fs::rename(temp, target, error);
  if (error) {
    std::error_code ignored;
    fs::remove(temp, ignored);
  }
  return StatusOf(error);
}

std::int32_t DeleteEmptyKey(const fs::path& folder) {
  std::error_code error;
  std::vector<fs::path> files;
  for (fs::directory_iterator it(folder, error); !error && it != fs::directory_iterator(); it.increment(error)) {
    std::error_code ignored;
    if (fs::is_directory(it->symlink_status(ignored))) return kRegAccessDenied;
    files.push_back(it->path());
  }
  if (error) return StatusOf(error);
  for (const fs::path& file : files) {
    fs::remove(file, error);
    if (error) return StatusOf(error);
  }
  fs::remove(folder, error);
  return StatusOf(error);
}

// Follows `names` down from `folder`, each found as FindEntry finds it:
// kRegSuccess with `folder` the last one's folder, else the status of the
// first step that failed.
std::int32_t WalkDown(fs::path& folder, const std::vector<std::string>& names) {
  std::error_code error;
  for (const std::string& name : names) {
    const auto child = FindEntry(folder, name, Kind::kKey, error);
    if (error) return StatusOf(error);
    if (!child) return kRegFileNotFound;
    folder = *child;
  }
  return kRegSuccess;
}

// Runs `body` for a noexcept boundary: whatever it throws (only memory can
// run out) is answered kRegNotEnoughMemory.
template <class Body>
std::int32_t MemoryGuarded(Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return kRegNotEnoughMemory;
  }
}

}  // namespace

RegistryKey::RegistryKey() noexcept = default;
RegistryKey::~RegistryKey() = default;
RegistryKey::RegistryKey(RegistryKey&& other) noexcept = default;
RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept = default;

RegistryKey RegistryKey::Predefined(RegistryRoot root) noexcept {
  RegistryKey key;
  const char* name = RootFolderName(root);
  if (name == nullptr) return key;
  try {
    key.state_ = std::make_unique<State>(State{RootFolder() / name, kKeyAllAccess, /*predefined=*/true});
  } catch (...) {
    key.state_.reset();
  }
  return key;
}

std::int32_t RegistryKey::Open(const RegistryKey& parent, std::u16string_view subkey, std::uint32_t access,
                               RegistryKey& out) noexcept {
  if (!parent.IsOpen()) return kRegInvalidHandle;
  return MemoryGuarded([&] {
    const auto names = SplitSubkey(subkey);
    if (!names) return kRegInvalidParameter;
    fs::path folder = parent.state_->folder;
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
      return error ? StatusOf(error) : kRegFileNotFound;
    }
    if (const std::int32_t status = WalkDown(folder, *names)) return status;
    auto state = std::make_unique<State>();
    const std::int32_t status = FinishOpen(folder, access, *state);
    if (status == kRegSuccess) out.state_ = std::move(state);
    return status;
  });
}

std::int32_t RegistryKey::Create(const RegistryKey& parent, std::u16string_view subkey,
                                 std::u16string_view /*className*/, std::uint32_t /*options*/, std::uint32_t access,
                                 void* /*security*/, std::uint32_t* disposition, RegistryKey& out) noexcept {
  if (!parent.IsOpen()) return kRegInvalidHandle;
  return MemoryGuarded([&] {
    const auto names = SplitSubkey(subkey);
    if (!names) return kRegInvalidParameter;
    fs::path folder = parent.state_->folder;
    std::error_code error;
    if (parent.state_->predefined) fs::create_directories(folder, error);
    if (error) return StatusOf(error);
    bool created = false;
    for (const std::string& name : *names) {
      const auto child = FindEntry(folder, name, Kind::kKey, error);
      if (error) return StatusOf(error);
      if (child) {
        folder = *child;
        continue;
      }
      if (!created && !parent.state_->predefined && (parent.state_->access & kKeyCreateSubKey) == 0) {
        return kRegAccessDenied;
      }
      folder /= name;
      fs::create_directory(folder, error);
      if (error) return StatusOf(error);
      created = true;
    }
    auto state = std::make_unique<State>();
    const std::int32_t status = FinishOpen(folder, access, *state);
    if (status != kRegSuccess) return status;
    out.state_ = std::move(state);
    if (disposition != nullptr) {
      *disposition = created ? kRegCreatedNewKey : kRegOpenedExistingKey;
    }
    return kRegSuccess;
  });
}

std::int32_t RegistryKey::QueryValue(std::u16string_view name, std::uint32_t* type, void* data,
                                     std::uint32_t* size) const noexcept {
  if (!IsOpen()) return kRegInvalidHandle;
  if (data != nullptr && size == nullptr) return kRegInvalidParameter;
  if ((state_->access & kKeyQueryValue) == 0) return kRegAccessDenied;
  return MemoryGuarded([&] {
    const auto fileName = ValueFileName(name);
    if (!fileName) return kRegInvalidParameter;
    std::error_code error;
    const auto file = FindEntry(state_->folder, *fileName, Kind::kValue, error);
    if (error) return StatusOf(error);
    if (!file) return kRegFileNotFound;
    std::string bytes;
    const std::int32_t status = ReadValueFile(*file, bytes);
    if (status != kRegSuccess) return status;
    const auto length = static_cast<std::uint32_t>(bytes.size() - kTypeBytes);
    if (type != nullptr) {
      const auto* raw = reinterpret_cast<const unsigned char*>(bytes.data());
      *type = raw[0] | raw[1] << 8 | raw[2] << 16 | static_cast<std::uint32_t>(raw[3]) << 24;
    }
    if (data != nullptr) {
      if (*size < length) {
        *size = length;
        return kRegMoreData;
      }
      std::memcpy(data, bytes.data() + kTypeBytes, length);
    }
    if (size != nullptr) *size = length;
    return kRegSuccess;
  });
}

std::int32_t RegistryKey::SetValue(std::u16string_view name, std::uint32_t type, const void* data,
                                   std::uint32_t size) noexcept {
  if (!IsOpen()) return kRegInvalidHandle;
  if (data == nullptr && size != 0) return kRegInvalidParameter;
  if ((state_->access & kKeySetValue) == 0) return kRegAccessDenied;
  return MemoryGuarded([&] {
    const auto fileName = ValueFileName(name);
    if (!fileName) return kRegInvalidParameter;
    std::error_code error;
    if (!fs::is_directory(state_->folder, error)) return kRegKeyDeleted;
    const auto existing = FindEntry(state_->folder, *fileName, Kind::kValue, error);
    if (error) return StatusOf(error);
    return WriteValueFile(existing ? *existing : state_->folder / *fileName, type, data, size);
  });
}

std::int32_t RegistryKey::EnumKey(std::uint32_t index, std::u16string& name) const noexcept {
  if (!IsOpen()) return kRegInvalidHandle;
  if ((state_->access & kKeyEnumerateSubKeys) == 0) return kRegAccessDenied;
  return MemoryGuarded([&] {
    std::vector<std::string> children;
    std::error_code error;
    for (fs::directory_iterator it(state_->folder, error); !error && it != fs::directory_iterator();
         it.increment(error)) {
      std::error_code ignored;
      if (fs::is_directory(it->symlink_status(ignored))) {
        children.push_back(it->path().filename().string());
      }
    }
    if (error) return error.value() == ENOENT ? kRegKeyDeleted : StatusOf(error);
    if (index >= children.size()) return kRegNoMoreItems;
    std::sort(children.begin(), children.end());
    name = KeyNameOf(children[index]);
    return kRegSuccess;
  });
}

std::int32_t RegistryKey::DeleteKey(std::u16string_view subkey) noexcept {
  if (!IsOpen()) return kRegInvalidHandle;
  return MemoryGuarded([&] {
    const auto names = SplitSubkey(subkey);
    if (!names || names->empty()) return kRegInvalidParameter;
    fs::path folder = state_->folder;
    if (const std::int32_t status = WalkDown(folder, *names)) return status;
    return DeleteEmptyKey(folder);
  });
}

void RegistryKey::Close() noexcept { state_.reset(); }

}  // namespace zevo::os
