// Name ids, indexes and type tags of the configuration messages exchanged
// with the host's configuration repository. These numbers are the wire
// format: the repository decodes exactly these.
#ifndef ZEVO_SRC_CONFIG_CONFIG_LAYOUT_H_
#define ZEVO_SRC_CONFIG_CONFIG_LAYOUT_H_

#include <cstdint>

namespace zevo::config {

// Value message: name id and the index of its datum are the same number.
inline constexpr std::uint32_t kValueNameId = 0x70005;
inline constexpr std::uint32_t kValueIndex = 0x70005;

// Batch message (request and reply).
inline constexpr std::uint32_t kBatchNameId = 0x70001;
inline constexpr std::uint32_t kBatchModeIndex = 0x70003;  // uint32

// Command message, nested in the batch once per command.
inline constexpr std::uint32_t kCommandNameId = 0x70002;
inline constexpr std::uint32_t kCommandOperationIndex = 0x70006;  // int32
inline constexpr std::uint32_t kCommandKeyIndex = 0x70004;        // uint32
inline constexpr std::uint32_t kCommandStatusIndex = 0x70008;     // int32
inline constexpr std::uint32_t kCommandTagIndex = 0x70007;        // int32

// Context message and its nested parts.
inline constexpr std::uint32_t kContextNameId = 0x20515;
inline constexpr std::uint32_t kContextIdIndex = 0x207d3;  // narrow string
inline constexpr std::uint32_t kContextBlockNameId = 0x10002;
inline constexpr std::uint32_t kContextText1Index = 0x2076d;  // narrow string
inline constexpr std::uint32_t kContextText2Index = 0x2076e;  // narrow string
inline constexpr std::uint32_t kContextRecordNameId = 0x10001;
inline constexpr std::uint32_t kContextNumberIndex = 0x20641;    // uint32
inline constexpr std::uint32_t kContextWideTextIndex = 0x20640;  // wide string
inline constexpr std::uint32_t kContextNumbersNameId = 0x10003;
inline constexpr std::uint32_t kContextNumbersIndex[3] = {0x20899, 0x2089a, 0x2089b};

// Batch modes.
inline constexpr std::uint32_t kModeWithContext = 1;
inline constexpr std::uint32_t kModeWithoutContext = 2;

// The operation code of a read; the only one the plug-in sends.
inline constexpr std::uint32_t kOperationRead = 4;

// Type tags of configuration values.
enum ValueTag : std::uint32_t {
  kTagNone = 0,
  kTagComplex = 1,
  kTagBool = 2,
  kTagInt8 = 3,
  kTagInt16 = 4,
  kTagInt32 = 5,
  kTagInt64 = 6,
  kTagUInt8 = 7,
  kTagUInt16 = 8,
  kTagUInt32 = 9,
  kTagUInt64 = 10,
  kTagWString = 11,
};

}  // namespace zevo::config

#endif  // ZEVO_SRC_CONFIG_CONFIG_LAYOUT_H_
