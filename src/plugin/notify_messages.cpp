#include "plugin/notify_messages.h"

#include <type_traits>
#include <utility>

#include "zevo/identity.h"

namespace zevo::plugin {

namespace {

// Collects the first failure of a run of message-library calls; the calls
// after it are skipped.
class Writer {
 public:
  explicit Writer(ZEVO_DataHandleWrapper& message) noexcept : message_(message) {}

  Writer& Int(std::uint32_t field, std::int32_t value) noexcept {
    if (Ok()) result_ = message_.PutInt32(field, value);
    return *this;
  }
  Writer& UInt(std::uint32_t field, std::uint32_t value) noexcept {
    if (Ok()) result_ = message_.PutUInt32(field, value);
    return *this;
  }
  Writer& Text(std::uint32_t field, std::u16string_view value) noexcept {
    if (Ok()) result_ = message_.PutWString(field, value);
    return *this;
  }
  Writer& Data(const ZEVO_DataHandleWrapper& nested) noexcept {
    if (Ok()) result_ = message_.PutData(nested);
    return *this;
  }
  Writer& Then(std::int32_t result) noexcept {
    if (Ok()) result_ = result;
    return *this;
  }
  bool Ok() const noexcept { return result_ >= 0; }
  std::int32_t Result() const noexcept { return result_; }

 private:
  ZEVO_DataHandleWrapper& message_;
  std::int32_t result_ = ZEVO_MSG_S_OK;
};

// An embedded message of `type`, created and headed; `fill` adds the rest.
// The message is put into `parent` only when every step succeeded, and
// destroyed when this returns.
template <class Fill>
std::int32_t PutEmbedded(ZEVO_DataHandleWrapper& parent, std::uint32_t type, Fill fill) noexcept {
  ZEVO_DataHandleWrapper message(type);
  if (!message.Valid()) return ZEVO_MSG_E_NO_MEMORY;
  Writer writer(message);
  writer.UInt(kFieldEmbeddedHeader, 0);
  fill(writer, message);
  return writer.Ok() ? parent.PutData(message) : writer.Result();
}

void FillEntry(Writer& w, const COMPONENT_ENTRY& entry, std::uint32_t base) noexcept {
  w.Int(base + 1, entry.kind).Int(base + 2, static_cast<std::int32_t>(entry.componentId));
  for (std::uint32_t i = 0; i < entry.spare.size(); ++i) w.Int(base + 3 + i, 0);
  w.UInt(base + 7, entry.value7).Int(base + 8, entry.value8);
  if (entry.firstTriple) {
    for (std::uint32_t i = 0; i < 3; ++i) w.UInt(base + 9 + i, (*entry.firstTriple)[i]);
  }
  if (entry.secondTriple) {
    for (std::uint32_t i = 0; i < 3; ++i) w.UInt(base + 12 + i, (*entry.secondTriple)[i]);
  }
  w.Text(base + 15, entry.location).UInt(base + 16, entry.flag);
}

void FillInfo(Writer& w, const COMPONENT_INFO& info) noexcept {
  w.Int(1, info.kind).Int(2, static_cast<std::int32_t>(info.componentId));
  w.Int(3, info.value3).Int(4, info.value4).Int(5, info.value5).Int(6, info.value6);
  w.Text(17, info.version).Text(18, info.location).UInt(7, info.moduleId).Int(8, info.value8);
}

template <class T>
void Read(const ZEVO_DataHandleWrapper& message, std::uint32_t field, T& value) noexcept {
  if constexpr (std::is_same_v<T, std::int32_t>) {
    message.GetInt32At(field, 0, &value);
  } else if constexpr (std::is_same_v<T, std::uint32_t>) {
    message.GetUInt32At(field, 0, &value);
  } else {
    message.GetWStringAt(field, 0, &value);
  }
}

}  // namespace

std::vector<COMPONENT_ENTRY> UpdatableComponents() {
  COMPONENT_ENTRY engine;
  engine.kind = kKindEngineLibrary;
  engine.componentId = kEngineLibraryComponentId;
  engine.value8 = 2;
  engine.location = u".";
  engine.flag = 1;
  COMPONENT_ENTRY pattern;
  pattern.kind = kKindPatternFile;
  pattern.componentId = kPatternFileComponentId;
  pattern.value8 = 1;
  pattern.location = u".";
  pattern.flag = 0;
  return {std::move(engine), std::move(pattern)};
}

COMPONENT_INFO EngineComponent(std::u16string version, std::u16string location) {
  return COMPONENT_INFO{kKindEngineLibrary, kEngineLibraryComponentId, -1, 0x1701, -1, -1, kModuleId, 2,
                        std::move(version), std::move(location)};
}

COMPONENT_INFO PatternComponent(std::u16string version) {
  return COMPONENT_INFO{kKindPatternFile,   kPatternFileComponentId, -1, -1, -1, -1, kModuleId, 1,
                        std::move(version), u"tarskptn.da6"};
}

std::int32_t WriteComponentList(ZEVO_DataHandleWrapper& output, const std::vector<COMPONENT_ENTRY>& entries) noexcept {
  return PutEmbedded(output, kComponentListType, [&](Writer& w, ZEVO_DataHandleWrapper&) noexcept {
    w.UInt(1, static_cast<std::uint32_t>(entries.size()));
    for (std::uint32_t i = 0; i < entries.size(); ++i) FillEntry(w, entries[i], kComponentStride * (i + 1));
  });
}

std::int32_t WriteModuleRecord(ZEVO_DataHandleWrapper& output) noexcept {
  const std::uint32_t record[7] = {kModuleId, kVersionMajor, kVersionMinor, kVersionBuild, 0, 2, 0};
  return PutEmbedded(output, kModuleRecordType, [&](Writer& w, ZEVO_DataHandleWrapper&) noexcept {
    // The host reads the record's fifth value before its fourth.
    w.UInt(1, record[0]).UInt(2, record[1]).UInt(3, record[2]).UInt(4, record[4]).UInt(5, record[3]);
    w.Int(6, static_cast<std::int32_t>(record[5])).Int(7, static_cast<std::int32_t>(record[6]));
  });
}

std::int32_t WriteComponentVersions(ZEVO_DataHandleWrapper& output,
                                    const std::vector<COMPONENT_INFO>& records) noexcept {
  return PutEmbedded(output, kVersionReportType, [&](Writer& w, ZEVO_DataHandleWrapper& report) noexcept {
    for (std::uint32_t i = 0; i < records.size() && w.Ok(); ++i) {
      w.UInt(kFieldRecordNumber, i);
      if (!w.Ok()) break;
      w.Then(PutEmbedded(report, kVersionRecordType,
                         [&](Writer& r, ZEVO_DataHandleWrapper&) noexcept { FillInfo(r, records[i]); }));
    }
  });
}

bool ReadUpdateRequest(ZEVO_DataHandleWrapper& input, COMPONENT_INFO& info) noexcept {
  info = COMPONENT_INFO{};
  ZEVO_DataHandleWrapper request(std::uint32_t{0});
  if (input.ReadNextData(kUpdateRequestType, request) < 0) return false;
  std::uint32_t header = 0;
  Read(request, kFieldEmbeddedHeader, header);
  Read(request, 1, info.kind);
  std::int32_t componentId = 0;  // sent signed, as the list's ids are
  Read(request, 2, componentId);
  info.componentId = static_cast<std::uint32_t>(componentId);
  Read(request, 3, info.value3);
  Read(request, 4, info.value4);
  Read(request, 5, info.value5);
  Read(request, 6, info.value6);
  Read(request, 17, info.version);
  Read(request, 18, info.location);
  Read(request, 7, info.moduleId);
  Read(request, 8, info.value8);
  return true;
}

}  // namespace zevo::plugin
