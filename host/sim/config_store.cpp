#include "sim/config_store.h"

#include <array>
#include <charconv>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <sstream>
#include <utility>

#include <nlohmann/json.hpp>

#include "utf.h"

namespace zevo::hostsim {
namespace {

using Json = nlohmann::json;

struct TypeInfo {
  const char* name;
  std::uint32_t tag;
  bool is_signed;
  std::int64_t min;
  std::uint64_t max;
};

constexpr std::array<TypeInfo, 10> kTypes{{
    {"bool", 2, false, 0, 1},
    {"int8", 3, true, INT8_MIN, INT8_MAX},
    {"int16", 4, true, INT16_MIN, INT16_MAX},
    {"int32", 5, true, INT32_MIN, INT32_MAX},
    {"int64", 6, true, INT64_MIN, INT64_MAX},
    {"uint8", 7, false, 0, UINT8_MAX},
    {"uint16", 8, false, 0, UINT16_MAX},
    {"uint32", 9, false, 0, UINT32_MAX},
    {"uint64", 10, false, 0, UINT64_MAX},
    {"wstring", 11, false, 0, 0},
}};

const TypeInfo* FindType(const Json& type) {
  for (const TypeInfo& info : kTypes) {
    if ((type.is_string() && type.get<std::string>() == info.name) ||
        (type.is_number_unsigned() && type.get<std::uint64_t>() == info.tag)) {
      return &info;
    }
  }
  return nullptr;
}

std::optional<std::uint32_t> ParseKey(const Json& key) {
  if (!key.is_string()) return std::nullopt;
  std::string_view text = key.get_ref<const std::string&>();
  if (text.starts_with("0x") || text.starts_with("0X")) text.remove_prefix(2);
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<StoredValue> ParseValue(const TypeInfo& type, const Json& value) {
  if (type.tag == 2) {
    if (!value.is_boolean()) return std::nullopt;
    return StoredValue{type.tag, value.get<bool>()};
  }
  if (type.tag == 11) {
    if (!value.is_string()) return std::nullopt;
    auto text = host::Utf8ToUtf16Strict(value.get_ref<const std::string&>());
    if (!text) return std::nullopt;
    return StoredValue{type.tag, std::move(*text)};
  }
  if (value.is_number_unsigned()) {
    const auto number = value.get<std::uint64_t>();
    if (number > type.max) return std::nullopt;
    if (type.is_signed) return StoredValue{type.tag, static_cast<std::int64_t>(number)};
    return StoredValue{type.tag, number};
  }
  if (value.is_number_integer()) {  // negative
    const auto number = value.get<std::int64_t>();
    if (!type.is_signed || number < type.min) return std::nullopt;
    return StoredValue{type.tag, number};
  }
  return std::nullopt;
}

// One entry of "values"; an empty text on success, else what is wrong.
std::string AddEntry(const Json& entry, std::map<std::uint32_t, StoredValue>& values) {
  if (!entry.is_object()) return "not an object";
  const auto key = entry.contains("key") ? ParseKey(entry["key"]) : std::nullopt;
  if (!key) return "\"key\" must be hexadecimal text";
  const TypeInfo* type = entry.contains("type") ? FindType(entry["type"]) : nullptr;
  if (type == nullptr) return "\"type\" must be a tag from 2 to 11 or a type name";
  auto value = entry.contains("value") ? ParseValue(*type, entry["value"]) : std::nullopt;
  if (!value) return std::string("\"value\" is not a ") + type->name;
  if (!values.emplace(*key, std::move(*value)).second) return "the key appears twice";
  return {};
}

}  // namespace

bool ConfigStore::Parse(std::string_view json, std::string& error) {
  values_.clear();
  const Json document = Json::parse(json, nullptr, /*allow_exceptions=*/false);
  if (document.is_discarded()) {
    error = "not valid JSON";
    return false;
  }
  if (!document.is_object() || !document.contains("values") || !document["values"].is_array()) {
    error = "expected an object with a \"values\" array";
    return false;
  }
  std::map<std::uint32_t, StoredValue> values;
  std::size_t index = 0;
  for (const Json& entry : document["values"]) {
    const std::string problem = AddEntry(entry, values);
    if (!problem.empty()) {
      error = "values[" + std::to_string(index) + "]: " + problem;
      return false;
    }
    ++index;
  }
  values_ = std::move(values);
  return true;
}

bool ConfigStore::Load(const std::filesystem::path& file, std::string& error) {
  values_.clear();
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    error = "cannot open " + file.string();
    return false;
  }
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (!Parse(text, error)) {
    error = file.string() + ": " + error;
    return false;
  }
  return true;
}

const StoredValue* ConfigStore::Find(std::uint32_t key) const noexcept {
  const auto found = values_.find(key);
  return found == values_.end() ? nullptr : &found->second;
}

}  // namespace zevo::hostsim
