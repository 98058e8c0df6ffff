// The values a message holds and the container they live in.
#ifndef ZEVO_HOST_MSG_VALUE_H_
#define ZEVO_HOST_MSG_VALUE_H_

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace zevo::msg {

class Message;
using MessagePtr = std::shared_ptr<Message>;

struct Binary {
  std::vector<std::uint8_t> bytes;
};

// The order of the alternatives is the type tag of the packed form minus 1:
// do not reorder.
using Value = std::variant<std::int32_t, std::uint32_t, std::u16string, std::string, Binary, MessagePtr>;

enum class ValueType : std::uint8_t {
  kInt32 = 1,
  kUInt32 = 2,
  kWString = 3,
  kString = 4,
  kBinary = 5,
  kMessage = 6,
};
inline constexpr std::uint8_t kLastValueType = 6;
static_assert(std::variant_size_v<Value> == kLastValueType);

inline ValueType TypeOf(const Value& value) { return static_cast<ValueType>(value.index() + 1); }

// Values by index, each index's values in insertion order. An index is
// present only while it holds at least one value.
struct Contents {
  std::uint32_t name_id = 0;
  std::map<std::uint32_t, std::vector<Value>> values;
};

}  // namespace zevo::msg

#endif  // ZEVO_HOST_MSG_VALUE_H_
