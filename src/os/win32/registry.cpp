#include "os/registry.h"

#include <windows.h>

#include <string>

#include "os/win32/wide.h"

namespace zevo::os {

struct RegistryKey::State {
  HKEY key;
  bool owned;
};

namespace {

HKEY PredefinedHandle(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::kClassesRoot:
      return HKEY_CLASSES_ROOT;
    case RegistryRoot::kCurrentUser:
      return HKEY_CURRENT_USER;
    case RegistryRoot::kLocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegistryRoot::kUsers:
      return HKEY_USERS;
  }
  return nullptr;
}

bool HasNul(std::u16string_view text) { return text.find(u'\0') != std::u16string_view::npos; }

}  // namespace

RegistryKey::RegistryKey() noexcept = default;

RegistryKey::~RegistryKey() { Close(); }

RegistryKey::RegistryKey(RegistryKey&& other) noexcept = default;

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
  if (this != &other) {
    Close();
    state_ = std::move(other.state_);
  }
  return *this;
}

RegistryKey RegistryKey::Predefined(RegistryRoot root) noexcept {
  RegistryKey key;
  const HKEY handle = PredefinedHandle(root);
  if (handle == nullptr) return key;
  try {
    key.state_ = std::make_unique<State>(State{handle, /*owned=*/false});
  } catch (...) {
  }
  return key;
}

std::int32_t RegistryKey::Open(const RegistryKey& parent, std::u16string_view subkey, std::uint32_t access,
                               RegistryKey& out) noexcept {
  if (!parent.IsOpen()) return ERROR_INVALID_HANDLE;
  if (HasNul(subkey)) return ERROR_INVALID_PARAMETER;
  try {
    auto state = std::make_unique<State>(State{nullptr, /*owned=*/true});
    const std::wstring name = win32::ToWide(subkey);
    const LONG status = RegOpenKeyExW(parent.state_->key, name.c_str(),
                                      /*ulOptions=*/0, access, &state->key);
    if (status != ERROR_SUCCESS) return status;
    out = RegistryKey();
    out.state_ = std::move(state);
    return ERROR_SUCCESS;
  } catch (...) {
    return ERROR_NOT_ENOUGH_MEMORY;
  }
}

std::int32_t RegistryKey::Create(const RegistryKey& parent, std::u16string_view subkey, std::u16string_view className,
                                 std::uint32_t options, std::uint32_t access, void* security,
                                 std::uint32_t* disposition, RegistryKey& out) noexcept {
  if (!parent.IsOpen()) return ERROR_INVALID_HANDLE;
  if (HasNul(subkey) || HasNul(className)) return ERROR_INVALID_PARAMETER;
  try {
    auto state = std::make_unique<State>(State{nullptr, /*owned=*/true});
    const std::wstring name = win32::ToWide(subkey);
    std::wstring keyClass = win32::ToWide(className);
    DWORD created = 0;
    const LONG status =
        RegCreateKeyExW(parent.state_->key, name.c_str(), /*Reserved=*/0, className.empty() ? nullptr : keyClass.data(),
                        options, access, static_cast<LPSECURITY_ATTRIBUTES>(security), &state->key, &created);
    if (status != ERROR_SUCCESS) return status;
    out = RegistryKey();
    out.state_ = std::move(state);
    if (disposition != nullptr) *disposition = created;
    return ERROR_SUCCESS;
  } catch (...) {
    return ERROR_NOT_ENOUGH_MEMORY;
  }
}

std::int32_t RegistryKey::QueryValue(std::u16string_view name, std::uint32_t* type, void* data,
                                     std::uint32_t* size) const noexcept {
  if (!IsOpen()) return ERROR_INVALID_HANDLE;
  if ((data != nullptr && size == nullptr) || HasNul(name)) {
    return ERROR_INVALID_PARAMETER;
  }
  try {
    const std::wstring valueName = win32::ToWide(name);
    DWORD valueType = 0;
    DWORD length = size != nullptr ? *size : 0;
    const LONG status = RegQueryValueExW(state_->key, valueName.c_str(), /*lpReserved=*/nullptr, &valueType,
                                         static_cast<BYTE*>(data), size != nullptr ? &length : nullptr);
    if (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
      if (size != nullptr) *size = length;
    }
    if (status == ERROR_SUCCESS && type != nullptr) *type = valueType;
    return status;
  } catch (...) {
    return ERROR_NOT_ENOUGH_MEMORY;
  }
}

std::int32_t RegistryKey::SetValue(std::u16string_view name, std::uint32_t type, const void* data,
                                   std::uint32_t size) noexcept {
  if (!IsOpen()) return ERROR_INVALID_HANDLE;
  if ((data == nullptr && size != 0) || HasNul(name)) {
    return ERROR_INVALID_PARAMETER;
  }
  try {
    const std::wstring valueName = win32::ToWide(name);
    return RegSetValueExW(state_->key, valueName.c_str(), /*Reserved=*/0, type, static_cast<const BYTE*>(data), size);
  } catch (...) {
    return ERROR_NOT_ENOUGH_MEMORY;
  }
}

std::int32_t RegistryKey::EnumKey(std::uint32_t index, std::u16string& name) const noexcept {
  if (!IsOpen()) return ERROR_INVALID_HANDLE;
  try {
    wchar_t buffer[kMaxKeyNameLength + 1] = {};
    DWORD length = kMaxKeyNameLength + 1;
    const LONG status = RegEnumKeyExW(state_->key, index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_SUCCESS) name = win32::FromWide({buffer, length});
    return status;
  } catch (...) {
    return ERROR_NOT_ENOUGH_MEMORY;
  }
}

std::int32_t RegistryKey::DeleteKey(std::u16string_view subkey) noexcept {
  if (!IsOpen()) return ERROR_INVALID_HANDLE;
  // An empty name would delete the open key itself.
  if (subkey.empty() || HasNul(subkey)) return ERROR_INVALID_PARAMETER;
  try {
    const std::wstring name = win32::ToWide(subkey);
    return RegDeleteKeyW(state_->key, name.c_str());
  } catch (...) {
    return ERROR_NOT_ENOUGH_MEMORY;
  }
}

void RegistryKey::Close() noexcept {
  if (state_ != nullptr && state_->owned) RegCloseKey(state_->key);
  state_.reset();
}

}  // namespace zevo::os
