#include "util/reg_key.h"

#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace zevo::util {

namespace {

using os::RegistryKey;

// The registry allows 512 levels; a deeper tree (only a hand-made POSIX
// folder tree can be one) is not followed further.
constexpr int kMaxTreeDepth = 512;

std::int32_t DeleteTree(RegistryKey& parent, std::u16string_view name, int depth) noexcept {
  if (depth > kMaxTreeDepth) return os::kRegInvalidParameter;
  RegistryKey key;
  std::int32_t status = RegistryKey::Open(parent, name, os::kKeyAllAccess, key);
  if (status != os::kRegSuccess) return status;
  // Always the first child: deleting it renumbers the rest.
  std::u16string child;
  while ((status = key.EnumKey(0, child)) == os::kRegSuccess) {
    status = DeleteTree(key, child, depth + 1);
    if (status != os::kRegSuccess) return status;
  }
  if (status != os::kRegNoMoreItems) return status;
  key.Close();
  return parent.DeleteKey(name);
}

}  // namespace

std::int32_t RegKey::Open(RegistryRoot root, std::u16string_view subkey, std::uint32_t access) noexcept {
  const RegistryKey parent = RegistryKey::Predefined(root);
  RegistryKey opened;
  std::int32_t status = RegistryKey::Open(parent, subkey, access | os::kKeyWow64_64Key, opened);
  if (status != os::kRegSuccess) {
    status = RegistryKey::Open(parent, subkey, access, opened);
  }
  if (status == os::kRegSuccess) key_ = std::move(opened);
  return status;
}

std::int32_t RegKey::Create(RegistryRoot root, std::u16string_view subkey, std::u16string_view className,
                            std::uint32_t options, std::uint32_t access, void* security,
                            std::uint32_t* disposition) noexcept {
  RegistryKey created;
  const std::int32_t status = RegistryKey::Create(RegistryKey::Predefined(root), subkey, className, options, access,
                                                  security, disposition, created);
  if (status == os::kRegSuccess) key_ = std::move(created);
  return status;
}

std::int32_t RegKey::QueryString(std::u16string_view valueName, std::u16string& out) const noexcept {
  std::uint32_t size = 0;
  std::int32_t status = key_.QueryValue(valueName, /*type=*/nullptr, /*data=*/nullptr, &size);
  if (status != os::kRegSuccess) return status;
  try {
    std::vector<char16_t> text(size / sizeof(char16_t) + 1, u'\0');
    status = key_.QueryValue(valueName, nullptr, text.data(), &size);
    if (status != os::kRegSuccess) return status;
    const std::u16string_view read(text.data(), size / sizeof(char16_t));
    out.assign(read.substr(0, read.find(u'\0')));
    return os::kRegSuccess;
  } catch (const std::bad_alloc&) {
    return os::kRegNotEnoughMemory;
  }
}

std::int32_t RegKey::QueryFixed(std::u16string_view name, std::uint32_t type, void* value,
                                std::uint32_t size) const noexcept {
  unsigned char bytes[sizeof(std::uint64_t)] = {};
  std::uint32_t actualType = 0;
  std::uint32_t length = sizeof bytes;
  const std::int32_t status = key_.QueryValue(name, &actualType, bytes, &length);
  if (status == os::kRegMoreData) return os::kRegInvalidData;
  if (status != os::kRegSuccess) return status;
  if (actualType != type || length != size) return os::kRegInvalidData;
  std::memcpy(value, bytes, size);
  return os::kRegSuccess;
}

std::int32_t RegKey::QueryDWORD(std::uint32_t& value, std::u16string_view name) const noexcept {
  return QueryFixed(name, os::kRegDword, &value, sizeof value);
}

std::int32_t RegKey::QueryQWORD(std::uint64_t& value, std::u16string_view name) const noexcept {
  return QueryFixed(name, os::kRegQword, &value, sizeof value);
}

std::int32_t RegKey::QueryBinary(std::u16string_view name, void* data, std::uint32_t& length) const noexcept {
  std::uint32_t size = 0;
  const std::int32_t status = key_.QueryValue(name, nullptr, nullptr, &size);
  if (status != os::kRegSuccess) return status;
  if (length == 0) {
    length = size;
    return os::kRegSuccess;
  }
  if (length < size) {
    length = size;
    return os::kRegNotEnoughMemory;
  }
  if (data == nullptr) return os::kRegInvalidParameter;
  return key_.QueryValue(name, nullptr, data, &length);
}

std::int32_t RegKey::SetDWORD(std::uint32_t value, std::u16string_view name) noexcept {
  return key_.SetValue(name, os::kRegDword, &value, sizeof value);
}

std::int32_t RegKey::SetQWORD(std::uint64_t value, std::u16string_view name) noexcept {
  return key_.SetValue(name, os::kRegQword, &value, sizeof value);
}

std::int32_t RegKey::SetString(std::u16string_view text, std::u16string_view name, std::uint32_t type) noexcept {
  constexpr std::size_t kMaxChars = UINT32_MAX / sizeof(char16_t) - 1;
  if (text.size() > kMaxChars) return os::kRegInvalidParameter;
  try {
    const std::u16string terminated(text);  // c_str() carries the NUL
    return key_.SetValue(name, type, terminated.c_str(),
                         static_cast<std::uint32_t>((text.size() + 1) * sizeof(char16_t)));
  } catch (const std::bad_alloc&) {
    return os::kRegNotEnoughMemory;
  }
}

std::int32_t RegKey::SetBinary(const void* data, std::u16string_view name, std::uint32_t type,
                               std::uint32_t length) noexcept {
  return key_.SetValue(name, type, data, length);
}

std::int32_t RegKey::DeleteKeyTree(std::u16string_view subkey) noexcept {
  if (!key_.IsOpen()) return os::kRegInvalidHandle;
  return DeleteTree(key_, subkey, /*depth=*/0);
}

std::int32_t RegKey::WriteString(RegistryRoot root, std::u16string_view subkey, std::u16string_view value,
                                 std::u16string_view name) noexcept {
  RegKey key;
  const std::int32_t status = key.Create(root, subkey, u"", /*options=*/0, os::kKeyAllAccess, nullptr, nullptr);
  if (status != os::kRegSuccess) return status;
  return key.SetString(value, name, os::kRegSz);
}

std::int32_t RegKey::WriteDWORD(RegistryRoot root, std::u16string_view subkey, std::uint32_t value,
                                std::u16string_view name) noexcept {
  RegKey key;
  const std::int32_t status = key.Create(root, subkey, u"", /*options=*/0, os::kKeyAllAccess, nullptr, nullptr);
  if (status != os::kRegSuccess) return status;
  return key.SetDWORD(value, name);
}

std::int32_t RegKey::WriteQWORD(RegistryRoot root, std::u16string_view subkey, std::uint64_t value,
                                std::u16string_view name) noexcept {
  RegKey key;
  const std::int32_t status = key.Create(root, subkey, u"", /*options=*/0, os::kKeyAllAccess, nullptr, nullptr);
  if (status != os::kRegSuccess) return status;
  return key.SetQWORD(value, name);
}

bool RegKey::ReadString(std::u16string_view subkey, std::u16string_view name, std::u16string& value) noexcept {
  RegKey key;
  return key.Open(RegistryRoot::kLocalMachine, subkey, os::kKeyRead) == os::kRegSuccess &&
         key.QueryString(name, value) == os::kRegSuccess;
}

bool RegKey::ReadDWORD(std::u16string_view subkey, std::u16string_view name, std::uint32_t& value) noexcept {
  RegKey key;
  return key.Open(RegistryRoot::kLocalMachine, subkey, os::kKeyRead) == os::kRegSuccess &&
         key.QueryDWORD(value, name) == os::kRegSuccess;
}

bool RegKey::WriteStringToHKLM(std::u16string_view value, std::u16string_view subkey,
                               std::u16string_view name) noexcept {
  return WriteString(RegistryRoot::kLocalMachine, subkey, value, name) == os::kRegSuccess;
}

bool RegKey::WriteDWORDToHKLM(std::uint32_t value, std::u16string_view subkey, std::u16string_view name) noexcept {
  return WriteDWORD(RegistryRoot::kLocalMachine, subkey, value, name) == os::kRegSuccess;
}

}  // namespace zevo::util
