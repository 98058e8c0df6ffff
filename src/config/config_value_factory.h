// The two ways a configuration value comes into being: by type tag (a
// command that needs a value of a given type) and from a command message (a
// command read from the repository's reply). Also the mapping between the
// C++ types of the typed operations and the type tags.
#ifndef ZEVO_SRC_CONFIG_CONFIG_VALUE_FACTORY_H_
#define ZEVO_SRC_CONFIG_CONFIG_VALUE_FACTORY_H_

#include <concepts>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

#include "config/config_value.h"
#include "config/config_value_int.h"

namespace zevo::config {

// The eleven types a configuration value can be read as or set from.
template <class T>
concept ConfigDatum = std::same_as<T, std::u16string> || std::same_as<T, std::uint64_t> ||
    std::same_as<T, std::uint32_t> || std::same_as<T, std::uint16_t> || std::same_as<T, std::uint8_t> ||
    std::same_as<T, std::int64_t> || std::same_as<T, std::int32_t> || std::same_as<T, std::int16_t> ||
    std::same_as<T, std::int8_t> || std::same_as<T, bool> || std::same_as<T, ZEVO_DataHandleWrapper>;

// The tag of the class that holds a T.
template <ConfigDatum T>
constexpr std::uint32_t TagOf() noexcept {
  if constexpr (std::is_same_v<T, ZEVO_DataHandleWrapper>)
    return kTagComplex;
  else if constexpr (std::is_same_v<T, bool>)
    return kTagBool;
  else if constexpr (std::is_same_v<T, std::u16string>)
    return kTagWString;
  else
    return IntegerTag<T>();
}

// Calls visit(static_cast<T*>(nullptr)) with the T of `tag` (1 to 11) and
// returns its result; any other tag returns `otherwise`.
template <class Result, class Visit>
Result VisitTagType(std::uint32_t tag, Result otherwise, Visit&& visit) {
  switch (tag) {
    case kTagComplex:
      return visit(static_cast<ZEVO_DataHandleWrapper*>(nullptr));
    case kTagBool:
      return visit(static_cast<bool*>(nullptr));
    case kTagInt8:
      return visit(static_cast<std::int8_t*>(nullptr));
    case kTagInt16:
      return visit(static_cast<std::int16_t*>(nullptr));
    case kTagInt32:
      return visit(static_cast<std::int32_t*>(nullptr));
    case kTagInt64:
      return visit(static_cast<std::int64_t*>(nullptr));
    case kTagUInt8:
      return visit(static_cast<std::uint8_t*>(nullptr));
    case kTagUInt16:
      return visit(static_cast<std::uint16_t*>(nullptr));
    case kTagUInt32:
      return visit(static_cast<std::uint32_t*>(nullptr));
    case kTagUInt64:
      return visit(static_cast<std::uint64_t*>(nullptr));
    case kTagWString:
      return visit(static_cast<std::u16string*>(nullptr));
    default:
      return otherwise;
  }
}

// A new empty value of the tag's class; null for a tag outside 1 to 11 or
// when memory runs out.
std::shared_ptr<CConfigValue> CreateConfigValue(std::uint32_t tag) noexcept;

// The value a command message carries: the tag from index 0x70007 (int32)
// and the value message nested under 0x70005 (position 0), shared. Null
// when either is missing or the tag is outside 1 to 11.
std::shared_ptr<CConfigValue> ReadConfigValue(const ZEVO_DataHandleWrapper& command) noexcept;

}  // namespace zevo::config

#endif  // ZEVO_SRC_CONFIG_CONFIG_VALUE_FACTORY_H_
