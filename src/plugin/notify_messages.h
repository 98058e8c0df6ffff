// The messages of the host notifications: the component list (4108), the
// module record (4109), the component versions (4118), and the update
// request (4116, read). Each writer fills the host's output wrapper in the
// exact field order the host's updater reads.
#ifndef ZEVO_SRC_PLUGIN_NOTIFY_MESSAGES_H_
#define ZEVO_SRC_PLUGIN_NOTIFY_MESSAGES_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "zevo/msg_wrapper.h"

namespace zevo::plugin {

// Message types (name ids) and fields of the notification messages.
inline constexpr std::uint32_t kComponentListType = 0x10017;
inline constexpr std::uint32_t kModuleRecordType = 0x10018;
inline constexpr std::uint32_t kVersionReportType = 0x100be;
inline constexpr std::uint32_t kVersionRecordType = 0x100bd;
inline constexpr std::uint32_t kUpdateRequestType = 0x100b5;
inline constexpr std::uint32_t kFieldEmbeddedHeader = 0x20001;
inline constexpr std::uint32_t kFieldRecordNumber = 0x20a99;
inline constexpr std::uint32_t kComponentStride = 30;

// Components the platform's updater may replace.
inline constexpr std::int32_t kKindEngineLibrary = 2;
inline constexpr std::int32_t kKindPatternFile = 3;
inline constexpr std::uint32_t kEngineLibraryComponentId = 0x40080000;
inline constexpr std::uint32_t kPatternFileComponentId = 0x40000010;

struct COMPONENT_ENTRY {
  std::int32_t kind = 0;
  std::uint32_t componentId = 0;
  std::array<std::int32_t, 4> spare{};
  std::uint32_t value7 = 0;
  std::int32_t value8 = 0;
  std::optional<std::array<std::uint32_t, 3>> firstTriple;
  std::optional<std::array<std::uint32_t, 3>> secondTriple;
  std::u16string location;
  std::uint32_t flag = 0;
};

struct COMPONENT_INFO {
  std::int32_t kind = 0;
  std::uint32_t componentId = 0;
  std::int32_t value3 = 0;
  std::int32_t value4 = 0;
  std::int32_t value5 = 0;
  std::int32_t value6 = 0;
  std::uint32_t moduleId = 0;
  std::int32_t value8 = 0;
  std::u16string version;
  std::u16string location;
};

// The engine library, then the pattern file.
std::vector<COMPONENT_ENTRY> UpdatableComponents();
// The engine library's version record at `location` / the pattern's.
COMPONENT_INFO EngineComponent(std::u16string version, std::u16string location);
COMPONENT_INFO PatternComponent(std::u16string version);

// Each writer puts one message into `output` and answers the first failing
// message-library result, or ZEVO_MSG_S_OK. The message is put whole or not
// at all.
std::int32_t WriteComponentList(ZEVO_DataHandleWrapper& output, const std::vector<COMPONENT_ENTRY>& entries) noexcept;
std::int32_t WriteModuleRecord(ZEVO_DataHandleWrapper& output) noexcept;
std::int32_t WriteComponentVersions(ZEVO_DataHandleWrapper& output,
                                    const std::vector<COMPONENT_INFO>& records) noexcept;

// Reads the next update request (type 0x100b5) at the input's read cursor
// into `info` (zeroed first). False when no further request is there; a
// field that is missing or of another type stays zero.
bool ReadUpdateRequest(ZEVO_DataHandleWrapper& input, COMPONENT_INFO& info) noexcept;

}  // namespace zevo::plugin

#endif  // ZEVO_SRC_PLUGIN_NOTIFY_MESSAGES_H_
