// ConfigStore: the configuration repository's typed values, loaded from a
// human-editable JSON file:
//
//   { "values": [
//       { "key": "0x12711000", "type": "bool",    "value": true },
//       { "key": "0x12770003", "type": "int32",   "value": 11 },
//       { "key": "0x10c20001", "type": "wstring", "value": "D:\\backup\\" } ] }
//
// "key" is hexadecimal text (the "0x" is optional). "type" is the value's
// type tag, as its number (2 to 11) or its name: bool, int8, int16, int32,
// int64, uint8, uint16, uint32, uint64, wstring. "value" is a JSON bool for
// bool, an integer within the type's range for the integer types, and a
// string for wstring. Each key appears once.
#ifndef ZEVO_HOST_SIM_CONFIG_STORE_H_
#define ZEVO_HOST_SIM_CONFIG_STORE_H_

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <variant>

namespace zevo::hostsim {

struct StoredValue {
  std::uint32_t tag;  // 2 to 11
  // bool for tag 2, int64 for signed, uint64 for unsigned, text for 11;
  // already within the tag's range.
  std::variant<bool, std::int64_t, std::uint64_t, std::u16string> datum;
};

class ConfigStore {
 public:
  // Replaces the content with the file's. On failure the store is left
  // empty and `error` says what is wrong and where.
  bool Load(const std::filesystem::path& file, std::string& error);
  bool Parse(std::string_view json, std::string& error);

  // The value stored under `key`, or null.
  const StoredValue* Find(std::uint32_t key) const noexcept;
  std::size_t Size() const noexcept { return values_.size(); }

 private:
  std::map<std::uint32_t, StoredValue> values_;
};

}  // namespace zevo::hostsim

#endif  // ZEVO_HOST_SIM_CONFIG_STORE_H_
