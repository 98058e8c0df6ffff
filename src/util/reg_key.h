// A small owner of one open registry key, with typed reads and writes.
//
// Every status is the system's (0 on success; see os/registry.h). A wrapper
// that holds no key answers kRegInvalidHandle. Not safe for concurrent use
// of one object.
#ifndef ZEVO_SRC_UTIL_REG_KEY_H_
#define ZEVO_SRC_UTIL_REG_KEY_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "os/registry.h"

namespace zevo::util {

using os::RegistryRoot;

class RegKey {
 public:
  RegKey() noexcept = default;
  RegKey(RegKey&&) noexcept = default;
  RegKey& operator=(RegKey&&) noexcept = default;
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;

  bool IsOpen() const noexcept { return key_.IsOpen(); }

  // Opens in the 64-bit view first (access | KEY_WOW64_64KEY), then with
  // `access` alone; the status of the last attempt. On success the key held
  // before is closed.
  std::int32_t Open(RegistryRoot root, std::u16string_view subkey, std::uint32_t access) noexcept;

  // Creates or opens the key (no view flag added); on success replaces the
  // key held. `disposition` may be null.
  std::int32_t Create(RegistryRoot root, std::u16string_view subkey, std::u16string_view className,
                      std::uint32_t options, std::uint32_t access, void* security, std::uint32_t* disposition) noexcept;

  // The value as text, up to its first NUL (or all of it when it has none;
  // an odd last byte is dropped). `out` changes only on success.
  std::int32_t QueryString(std::u16string_view valueName, std::u16string& out) const noexcept;

  // A REG_DWORD (4 bytes) / REG_QWORD (8 bytes); kRegInvalidData for a value
  // of another type or size. `value` changes only on success.
  std::int32_t QueryDWORD(std::uint32_t& value, std::u16string_view name) const noexcept;
  std::int32_t QueryQWORD(std::uint64_t& value, std::u16string_view name) const noexcept;

  // Reads the value's bytes. `length` 0: receives the size (status 0).
  // `length` below the size: receives the size, status kRegNotEnoughMemory
  // (8). `data` null: kRegInvalidParameter (87). Else the bytes, and
  // `length` receives their count.
  std::int32_t QueryBinary(std::u16string_view name, void* data, std::uint32_t& length) const noexcept;

  std::int32_t SetDWORD(std::uint32_t value, std::u16string_view name) noexcept;
  std::int32_t SetQWORD(std::uint64_t value, std::u16string_view name) noexcept;
  // Writes the text with its terminator ((length + 1) * 2 bytes).
  std::int32_t SetString(std::u16string_view text, std::u16string_view name, std::uint32_t type = os::kRegSz) noexcept;
  std::int32_t SetBinary(const void* data, std::u16string_view name, std::uint32_t type, std::uint32_t length) noexcept;

  // Deletes `subkey` of the held key with everything below it, deepest
  // first. Stops at the first failure.
  std::int32_t DeleteKeyTree(std::u16string_view subkey) noexcept;

  void Close() noexcept { key_.Close(); }

  // Create the key with full access, write one value (strings as REG_SZ),
  // close the key again.
  static std::int32_t WriteString(RegistryRoot root, std::u16string_view subkey, std::u16string_view value,
                                  std::u16string_view name) noexcept;
  static std::int32_t WriteDWORD(RegistryRoot root, std::u16string_view subkey, std::uint32_t value,
                                 std::u16string_view name) noexcept;
  static std::int32_t WriteQWORD(RegistryRoot root, std::u16string_view subkey, std::uint64_t value,
                                 std::u16string_view name) noexcept;

  // Under HKEY_LOCAL_MACHINE, opened with KEY_READ (64-bit view first); true
  // when the value was read.
  static bool ReadString(std::u16string_view subkey, std::u16string_view name, std::u16string& value) noexcept;
  static bool ReadDWORD(std::u16string_view subkey, std::u16string_view name, std::uint32_t& value) noexcept;

  // The Write operations under HKEY_LOCAL_MACHINE; true on success.
  static bool WriteStringToHKLM(std::u16string_view value, std::u16string_view subkey,
                                std::u16string_view name) noexcept;
  static bool WriteDWORDToHKLM(std::uint32_t value, std::u16string_view subkey, std::u16string_view name) noexcept;

 private:
  std::int32_t QueryFixed(std::u16string_view name, std::uint32_t type, void* value, std::uint32_t size) const noexcept;

  os::RegistryKey key_;
};

}  // namespace zevo::util

#endif  // ZEVO_SRC_UTIL_REG_KEY_H_
