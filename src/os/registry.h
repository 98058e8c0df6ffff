// The system registry: keys holding typed values and child keys.
//
// Windows: the Reg* functions of advapi32; statuses are the system's.
// POSIX: a folder tree under a root folder — `$ZEVO_REGISTRY_ROOT` when set
// and not empty, else /etc/zevo/registry — with one folder per predefined
// root ("HKEY_LOCAL_MACHINE", ...), one folder per key and one file per
// value holding its type (4 bytes, little-endian) followed by its data.
// Names are matched without regard to ASCII case, as on Windows. Statuses
// use the Windows codes below so that callers read them the same way.
#ifndef ZEVO_OS_REGISTRY_H_
#define ZEVO_OS_REGISTRY_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace zevo::os {

// The predefined roots, with their Windows handle values.
enum class RegistryRoot : std::uint32_t {
  kClassesRoot = 0x80000000u,
  kCurrentUser = 0x80000001u,
  kLocalMachine = 0x80000002u,
  kUsers = 0x80000003u,
};

// Access rights.
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
inline constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t kKeyWow64_64Key = 0x0100;
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyWrite = 0x20006;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;

// Value types.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegQword = 11;

// Dispositions reported by Create.
inline constexpr std::uint32_t kRegCreatedNewKey = 1;
inline constexpr std::uint32_t kRegOpenedExistingKey = 2;

// Statuses (Windows system error codes).
inline constexpr std::int32_t kRegSuccess = 0;
inline constexpr std::int32_t kRegFileNotFound = 2;
inline constexpr std::int32_t kRegAccessDenied = 5;
inline constexpr std::int32_t kRegInvalidHandle = 6;
inline constexpr std::int32_t kRegNotEnoughMemory = 8;
inline constexpr std::int32_t kRegInvalidData = 13;
inline constexpr std::int32_t kRegInvalidParameter = 87;
inline constexpr std::int32_t kRegMoreData = 234;
inline constexpr std::int32_t kRegNoMoreItems = 259;
inline constexpr std::int32_t kRegBadDb = 1009;
inline constexpr std::int32_t kRegIoFailed = 1016;
inline constexpr std::int32_t kRegKeyDeleted = 1018;

// Longest key name the registry accepts, in characters.
inline constexpr std::size_t kMaxKeyNameLength = 255;

// One open registry key, or a predefined root, or nothing. Move-only; an
// owned key is closed when the object goes. Not safe for concurrent use of
// one object; distinct objects are independent.
//
// A subkey is a path of key names separated by backslashes; an empty subkey
// names the parent itself. On POSIX a subkey with an empty name, "." or
// "..", a '/' or a NUL in a name is refused with kRegInvalidParameter, so
// no key ever lies outside the root folder.
class RegistryKey {
 public:
  RegistryKey() noexcept;
  ~RegistryKey();
  RegistryKey(RegistryKey&& other) noexcept;
  RegistryKey& operator=(RegistryKey&& other) noexcept;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  // A predefined root; never closed. Invalid only when out of memory.
  static RegistryKey Predefined(RegistryRoot root) noexcept;

  bool IsOpen() const noexcept { return state_ != nullptr; }

  // RegOpenKeyExW: opens `subkey` of `parent` with `access` into `out`,
  // which changes only on success.
  static std::int32_t Open(const RegistryKey& parent, std::u16string_view subkey, std::uint32_t access,
                           RegistryKey& out) noexcept;

  // RegCreateKeyExW: opens `subkey` of `parent`, creating it and any missing
  // key above it. `className`, `options` and `security` are passed through
  // on Windows and ignored on POSIX. `disposition` (may be null) receives
  // kRegCreatedNewKey or kRegOpenedExistingKey.
  static std::int32_t Create(const RegistryKey& parent, std::u16string_view subkey, std::u16string_view className,
                             std::uint32_t options, std::uint32_t access, void* security, std::uint32_t* disposition,
                             RegistryKey& out) noexcept;

  // RegQueryValueExW: `type` and `data` may be null. With `data` null,
  // `*size` receives the size in bytes; with `data` given, `*size` is its
  // capacity and receives the size; a capacity below the size gives
  // kRegMoreData. The empty name is the key's default value.
  std::int32_t QueryValue(std::u16string_view name, std::uint32_t* type, void* data,
                          std::uint32_t* size) const noexcept;

  // RegSetValueExW: writes `size` bytes of `data` under `type`.
  std::int32_t SetValue(std::u16string_view name, std::uint32_t type, const void* data, std::uint32_t size) noexcept;

  // RegEnumKeyExW: the name of child key number `index` (no order is
  // promised beyond a stable one while nothing changes); kRegNoMoreItems
  // past the last.
  std::int32_t EnumKey(std::uint32_t index, std::u16string& name) const noexcept;

  // RegDeleteKeyW: deletes the child key `subkey`, which must have no child
  // keys of its own (kRegAccessDenied otherwise), with its values.
  std::int32_t DeleteKey(std::u16string_view subkey) noexcept;

  // Closes an owned key; leaves a predefined root alone. Safe to repeat.
  void Close() noexcept;

  struct State;  // the platform's handle or folder

 private:
  std::unique_ptr<State> state_;
};

}  // namespace zevo::os

#endif  // ZEVO_OS_REGISTRY_H_
