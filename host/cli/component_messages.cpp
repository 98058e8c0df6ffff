#include "component_messages.h"

#include "zevo/msg_wrapper.h"

namespace zevo::cli {
namespace {

constexpr std::uint32_t kNotifyComponentList = 4108;
constexpr std::uint32_t kNotifyModuleRecord = 4109;
constexpr std::uint32_t kNotifyUpdate = 4116;
constexpr std::uint32_t kNotifyVersions = 4118;
constexpr std::uint32_t kComponentListType = 0x10017;
constexpr std::uint32_t kModuleRecordType = 0x10018;
constexpr std::uint32_t kVersionReportType = 0x100be;
constexpr std::uint32_t kVersionRecordType = 0x100bd;
constexpr std::uint32_t kUpdateRequestType = 0x100b5;
constexpr std::uint32_t kFieldHeader = 0x20001;
constexpr std::int32_t kPatternKind = 3;
constexpr std::int32_t kPatternComponentId = 0x40000010;

std::int32_t Int(const ZEVO_DataHandleWrapper& m, std::uint32_t field) {
  std::int32_t value = 0;
  m.GetInt32At(field, 0, &value);
  return value;
}

std::uint32_t UInt(const ZEVO_DataHandleWrapper& m, std::uint32_t field) {
  std::uint32_t value = 0;
  m.GetUInt32At(field, 0, &value);
  return value;
}

std::u16string Text(const ZEVO_DataHandleWrapper& m, std::uint32_t field) {
  std::u16string value;
  m.GetWStringAt(field, 0, &value);
  return value;
}

// Sends `notification` and reads the one message of `type` it answers.
std::int32_t Ask(const PluginExportTable& module, std::uint32_t notification, std::uint32_t type,
                 ZEVO_DataHandleWrapper& answer) {
  ZEVO_DataHandleWrapper output;
  const std::int32_t result = module.Plugin_Interface_OnNotify(notification, nullptr, &output);
  output.ReadDataAt(type, 0, answer);
  return result;
}

}  // namespace

std::int32_t QueryVersions(const PluginExportTable& module, std::vector<ComponentVersion>& versions) {
  ZEVO_DataHandleWrapper report;
  const std::int32_t result = Ask(module, kNotifyVersions, kVersionReportType, report);
  versions.clear();
  ZEVO_DataHandleWrapper record;
  for (std::uint32_t i = 0; report.ReadDataAt(kVersionRecordType, i, record) >= 0; ++i) {
    versions.push_back({Int(record, 1), Int(record, 2), Text(record, 17), Text(record, 18)});
  }
  return result;
}

Components QueryComponents(const PluginExportTable& module) {
  Components c;
  ZEVO_DataHandleWrapper list;
  c.listResult = Ask(module, kNotifyComponentList, kComponentListType, list);
  for (std::uint32_t i = 1; i <= UInt(list, 1); ++i) {
    const std::uint32_t base = 30 * i;
    c.list.push_back({Int(list, base + 1), Int(list, base + 2), UInt(list, base + 7), Int(list, base + 8),
                      Text(list, base + 15), UInt(list, base + 16)});
  }
  ZEVO_DataHandleWrapper record;
  c.recordResult = Ask(module, kNotifyModuleRecord, kModuleRecordType, record);
  for (std::uint32_t field = 1; field <= 7; ++field) {
    c.record.push_back(field <= 5 ? UInt(record, field) : static_cast<std::uint32_t>(Int(record, field)));
  }
  c.versionsResult = QueryVersions(module, c.versions);
  return c;
}

std::int32_t CheckPatternUpdate(const PluginExportTable& module) {
  ZEVO_DataHandleWrapper input;
  ZEVO_DataHandleWrapper request(kUpdateRequestType);
  request.PutUInt32(kFieldHeader, 0);
  request.PutInt32(1, kPatternKind);
  request.PutInt32(2, kPatternComponentId);
  for (std::uint32_t field = 3; field <= 6; ++field) request.PutInt32(field, -1);
  request.PutWString(17, u"");
  request.PutWString(18, u"tarskptn.da6");
  request.PutUInt32(7, 10001);
  request.PutInt32(8, 1);
  input.PutData(request);
  return module.Plugin_Interface_OnNotify(kNotifyUpdate, &input, nullptr);
}

}  // namespace zevo::cli
