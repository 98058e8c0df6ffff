#include "util/sys_config_manager.h"

#include <pugixml.hpp>

#include <algorithm>
#include <limits>
#include <new>
#include <utility>
#include <string>

#include "log/logging.h"
#include "os/path.h"
#include "os/text.h"
#include "os/whole_file.h"
#include "util/save_cfg_helper.h"
#include "util/xml_name.h"
#include "util/zevo_data_crypto.h"
#include "zevo/result.h"

namespace zevo::util {

namespace {

constexpr logging::Site kLog{u"Core Config Repository", u"core/coreConfigRepository/SysConfigManager"};

constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n";
constexpr std::u16string_view kRootPath = u"/SysConfigManager";
constexpr char kRootName[] = "SysConfigManager";

// Values that hold proxy passwords: they never reach the log.
constexpr std::u16string_view kProxyPasswordNames[] = {
    u"ZEVO_CFG_ROLNE_FR_PROXY_AUTHPWD", u"ZEVO_CFG_ROLNE_CS_PROXY_AUTHPWD", u"ZEVO_CFG_ROLNE_DC_PROXY_AUTHPWD"};

bool IsProxyPassword(std::u16string_view name) {
  return std::find(std::begin(kProxyPasswordNames), std::end(kProxyPasswordNames), name) !=
         std::end(kProxyPasswordNames);
}

char16_t Flag(bool value) { return value ? u'1' : u'0'; }

std::u16string JoinPath(std::u16string_view folder, std::u16string_view file) {
  std::u16string path(folder);
  // Added even after a separator: the path is used as the caller spells it.
  if (!folder.empty()) path += os::kPathSeparator;
  path += file;
  return path;
}

std::u16string GroupXPath(std::u16string_view group) {
  std::u16string xpath(kRootPath);
  xpath += u'/';
  xpath += group;
  return xpath;
}

std::u16string ValueXPath(std::u16string_view group, std::u16string_view name) {
  std::u16string xpath = GroupXPath(group);
  xpath += u'/';
  xpath += name;
  return xpath;
}

// Group and name end up inside an XPath and as element names: anything
// but a plain element name is refused before either happens.
bool AreElementNames(std::u16string_view group, std::u16string_view name) {
  return IsXmlElementName(group) && IsXmlElementName(name);
}

// An element's text as the file keeps it: its first child, when that is
// text; else empty.
pugi::xml_node TextChild(pugi::xml_node element) {
  const pugi::xml_node child = element.first_child();
  const pugi::xml_node_type type = child.type();
  return type == pugi::node_pcdata || type == pugi::node_cdata ? child : pugi::xml_node();
}

std::u16string ElementText(pugi::xml_node element) { return os::Utf8ToUtf16(TextChild(element).value()); }

// 1-based row and column of a byte offset into `text`.
struct TextPosition {
  std::size_t row = 1;
  std::size_t column = 1;
};

TextPosition PositionOf(const char* text, std::size_t size, std::ptrdiff_t offset) {
  const std::size_t end = std::min(size, static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, offset)));
  TextPosition position;
  for (std::size_t i = 0; i < end; ++i) {
    if (text[i] == '\n') {
      ++position.row;
      position.column = 1;
    } else {
      ++position.column;
    }
  }
  return position;
}

struct StringWriter : pugi::xml_writer {
  explicit StringWriter(std::string& out) : text(out) {}
  void write(const void* data, std::size_t size) override { text.append(static_cast<const char*>(data), size); }
  std::string& text;
};

}  // namespace

SysConfigManager::SysConfigManager(std::u16string folderPath, std::u16string fileName)
    : folderPath_(std::move(folderPath)), fileName_(std::move(fileName)) {}

SysConfigManager::~SysConfigManager() = default;

bool SysConfigManager::Load() noexcept { return loadFile(folderPath_, fileName_); }

bool SysConfigManager::Reload(std::u16string_view folderPath, std::u16string_view fileName) noexcept {
  ZLOG_ENTER(kLog, u"SysConfigManager::Reload", u"pwszFolderPath = ", folderPath, u", pwszConfigFileName = ", fileName);
  configReady_ = false;
  managedDoc_.reset();
  const bool result = loadFile(folderPath, fileName);
  ZLOG_EXIT(kLog, u"SysConfigManager::Reload", u"bResult = ", Flag(result));
  return result;
}

bool SysConfigManager::Close() noexcept {
  managedDoc_.reset();
  configReady_ = false;
  return true;
}

bool SysConfigManager::loadFile(std::u16string_view folderPath, std::u16string_view fileName) noexcept {
  ZLOG_ENTER(kLog, u"SysConfigManager::loadFile", u"pwszFolderPath = ", folderPath, u", pwszConfigFileName = ",
             fileName);
  try {
    std::vector<std::uint8_t> cipher;
    CryptoBuffer plain;
    std::uint32_t plainLength = 0;
    if (os::ReadWholeFile(JoinPath(folderPath, fileName), cipher) == os::ReadFileResult::kOk &&
        ZevoDataCrypto::DecryptData(/*password=*/nullptr, cipher.data(), static_cast<std::uint32_t>(cipher.size()),
                                    plain, plainLength)) {
      if (!managedDoc_) managedDoc_ = std::make_unique<pugi::xml_document>();
      configReady_ = ParseText(reinterpret_cast<const char*>(plain.get()), plainLength);
    }
  } catch (...) {
    // Out of memory: the store stays as it was, as for an unreadable file.
  }
  ZLOG_EXIT(kLog, u"SysConfigManager::loadFile", u"m_bIsConfigReady = ", Flag(configReady_));
  return configReady_;
}

bool SysConfigManager::ParseText(const char* text, std::size_t size) {
  // Values are read without the XML white space around them (space, tab,
  // CR, LF): installers and XML tools put a value on a line of its own.
  const pugi::xml_parse_result parsed =
      managedDoc_->load_buffer(text, size, pugi::parse_default | pugi::parse_trim_pcdata, pugi::encoding_auto);
  if (!parsed) {
    // Whatever was parsed before the error is not served as configuration.
    managedDoc_->reset();
    const TextPosition at = PositionOf(text, size, parsed.offset);
    ZLOG(kLog, logging::kLevelInfo, u"system_config.cfg parse failed.");
    ZLOG(kLog, logging::kLevelInfo, u"description: ", parsed.description());
    ZLOG(kLog, logging::kLevelInfo, u"detailed: row = ", at.row, u", col = ", at.column);
    return false;
  }
  if (!managedDoc_->document_element() || !managedDoc_->child(kRootName)) {
    ZLOG(kLog, logging::kLevelInfo, u"system_config.cfg parse failed. There's no root element");
    return false;
  }
  return true;
}

pugi::xml_node SysConfigManager::getXmlNodeByPath(const std::string& xpath) const {
  if (!managedDoc_) return {};
  const pugi::xml_node root = managedDoc_->document_element();
  if (!root) return {};
  return root.select_node(xpath.c_str()).node();
}

std::vector<pugi::xml_node> SysConfigManager::getXmlNodesByPath(const std::string& xpath) const {
  std::vector<pugi::xml_node> nodes;
  if (!managedDoc_) return nodes;
  const pugi::xml_node root = managedDoc_->document_element();
  if (!root) return nodes;
  for (const pugi::xpath_node& found : root.select_nodes(xpath.c_str())) {
    if (found.node()) nodes.push_back(found.node());
  }
  return nodes;
}

std::int32_t SysConfigManager::GetSysConfig(std::u16string_view group, std::u16string_view name,
                                            std::u16string& value) noexcept {
  if (name.empty() || !AreElementNames(group, name)) return kFail;
  try {
    const std::u16string xpath = ValueXPath(group, name);
    const std::vector<pugi::xml_node> nodes = getXmlNodesByPath(os::Utf16ToUtf8(xpath));
    if (nodes.empty()) {
      ZLOG(kLog, logging::kLevelInfo, u"GetSysConfig failed, id=", name, u", xpath=[", xpath, u"]");
      return kFail;
    }
    value = ElementText(nodes.front());
    return kCommonOk;
  } catch (...) {
    return kFail;
  }
}

std::int32_t SysConfigManager::SetSysConfig(std::u16string_view group, std::u16string_view name,
                                            std::u16string_view newValue) noexcept {
  if (!IsProxyPassword(name)) {
    ZLOG_ENTER(kLog, u"SysConfigManager::SetSysConfig", u"wstrGroupName = ", group, u", wstrConfigName = ", name,
               u", wstrNewValue = ", newValue);
  }
  bool changed = false;
  if (AreElementNames(group, name)) {
    try {
      const std::string value = os::Utf16ToUtf8(newValue);
      pugi::xml_node element = getXmlNodeByPath(os::Utf16ToUtf8(ValueXPath(group, name)));
      if (element) {
        pugi::xml_node text = TextChild(element);
        if (!text) text = element.append_child(pugi::node_pcdata);
        changed = text && text.set_value(value.c_str());
      }
    } catch (...) {
      changed = false;
    }
  }
  ZLOG_EXIT(kLog, u"SysConfigManager::SetSysConfig", u"bRet = ", Flag(changed));
  return changed ? kCommonOk : kFail;
}

std::int32_t SysConfigManager::AddSysConfig(std::u16string_view group, std::u16string_view name,
                                            std::u16string_view value) noexcept {
  if (!AreElementNames(group, name)) return kFail;
  try {
    const std::string groupName = os::Utf16ToUtf8(group);
    const std::string valueName = os::Utf16ToUtf8(name);
    const std::string text = os::Utf16ToUtf8(value);
    if (getXmlNodeByPath(os::Utf16ToUtf8(ValueXPath(group, name)))) {
      return kFail;
    }
    pugi::xml_node groupElement = getXmlNodeByPath(os::Utf16ToUtf8(GroupXPath(group)));
    if (!groupElement) {
      pugi::xml_node root = getXmlNodeByPath(os::Utf16ToUtf8(kRootPath));
      if (!root) return kFail;
      groupElement = root.append_child(groupName.c_str());
      if (!groupElement) return kFail;
    }
    pugi::xml_node element = groupElement.append_child(valueName.c_str());
    if (!element) return kFail;
    const bool added = element.append_child(pugi::node_pcdata).set_value(text.c_str());
    return added ? kCommonOk : kFail;
  } catch (...) {
    return kFail;
  }
}

std::int32_t SysConfigManager::RemoveSysConfig(std::u16string_view group, std::u16string_view name) noexcept {
  if (!AreElementNames(group, name)) return kFail;
  try {
    pugi::xml_node groupElement = getXmlNodeByPath(os::Utf16ToUtf8(GroupXPath(group)));
    bool removed = false;  // the outcome of the last removal
    for (const pugi::xml_node& element : getXmlNodesByPath(os::Utf16ToUtf8(ValueXPath(group, name)))) {
      removed = groupElement && groupElement.remove_child(element);
    }
    return removed ? kCommonOk : kFail;
  } catch (...) {
    return kFail;
  }
}

std::int32_t SysConfigManager::GetAllSysConfigs(std::vector<SysConfigRecord>& list) noexcept {
  try {
    // The "*" group: every group, the one XPath not built from a name.
    const std::u16string xpath = GroupXPath(u"*");
    const std::vector<pugi::xml_node> groups = getXmlNodesByPath(os::Utf16ToUtf8(xpath));
    if (groups.empty()) {
      ZLOG(kLog, logging::kLevelInfo, u"getXmlNodesByPath failed, xpath=[", xpath, u"]");
      return kFail;
    }
    ZLOG(kLog, logging::kLevelEntryExit, u"getXmlNodesByPath succeeds, groupNodeList.size() = ", groups.size());
    for (std::size_t i = 0; i < groups.size(); ++i) {
      const std::u16string group = os::Utf8ToUtf16(groups[i].name());
      if (group.empty()) {
        ZLOG(kLog, logging::kLevelFailure, u"groupNodeList[", i, u"]->Value() returns an empty string");
        continue;
      }
      ZLOG(kLog, logging::kLevelEntryExit, u"groupNodeList[", i, u"]->Value() returns ", group);
      for (const pugi::xml_node& element : groups[i].children()) {
        if (element.type() != pugi::node_element) continue;
        SysConfigRecord record{group, os::Utf8ToUtf16(element.name()), ElementText(element)};
        if (!IsProxyPassword(record.name)) {
          ZLOG(kLog, logging::kLevelEntryExit, u"Found a config: Group = ", record.group, u", config name = ",
               record.name, u", value = ", record.value);
        }
        list.push_back(std::move(record));
      }
    }
    return kCommonOk;
  } catch (...) {
    return kFail;
  }
}

bool SysConfigManager::saveFile(std::u16string_view folderPath, std::u16string_view fileName,
                                bool writeThrough) noexcept {
  ZLOG_ENTER(kLog, u"SysConfigManager::saveFile", u"pwszFolderPath = ", folderPath, u", pwszConfigFileName = ",
             fileName);
  if (!managedDoc_) {
    ZLOG(kLog, logging::kLevelFailure, u"SysConfigManager::saveFile", u" Fail. m_managedDoc is NULL, return false.");
    return false;
  }
  try {
    std::string text = kDeclaration;
    // The file holds one root element. A loaded file may have had others at
    // the top beside it; only the "SysConfigManager" element is kept (the
    // values live there), wherever it stood, and the rest is dropped.
    const pugi::xml_node root = managedDoc_->child(kRootName);
    if (root) {
      StringWriter writer(text);
      root.print(writer, "    ", pugi::format_indent, pugi::encoding_utf8);
    }
    if (!root || text.size() > std::numeric_limits<std::uint32_t>::max()) {
      ZLOG(kLog, logging::kLevelFailure, u"SysConfigManager::saveFile", u" Fail!. Return false.");
      return false;
    }
    SaveCfgHelper saveHelper(reinterpret_cast<const std::uint8_t*>(text.data()),
                             static_cast<std::uint32_t>(text.size()));
    const std::u16string path = JoinPath(folderPath, fileName);
    if (saveHelper.Save(path, writeThrough)) {
      ZLOG_EXIT(kLog, u"SysConfigManager::saveFile", u"Return true");
      return true;
    }
    ZLOG(kLog, logging::kLevelFailure, u"saveHelper.Save(", path, u", ", Flag(writeThrough), u") fail. Return false.");
    return false;
  } catch (...) {
    ZLOG(kLog, logging::kLevelFailure, u"SysConfigManager::saveFile", u" Fail!. Return false.");
    return false;
  }
}

}  // namespace zevo::util
