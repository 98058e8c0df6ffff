// The platform's system configuration file: named string values sorted into
// groups, kept as XML in memory and encrypted on disk (see zevo_data_crypto.h).
//
//   zevo::util::SysConfigManager store(installFolder,
//                                      zevo::util::kSysConfigFileName);
//   std::u16string value;
//   if (store.Load() &&
//       store.GetSysConfig(zevo::util::kSysConfigGroupAll,
//                          zevo::util::kSysConfigModuleLoad, value) ==
//           zevo::kCommonOk) { ... }
//   store.Close();
//
// Not safe for concurrent use: each user makes its own instance and uses it
// on one thread.
#ifndef ZEVO_UTIL_SYS_CONFIG_MANAGER_H_
#define ZEVO_UTIL_SYS_CONFIG_MANAGER_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pugi {
class xml_document;
class xml_node;
}  // namespace pugi

namespace zevo::util {

inline constexpr std::u16string_view kSysConfigFileName = u"system_config.cfg";

// The group of the self-protection switches; "1" means on.
inline constexpr std::u16string_view kSysConfigGroupAll = u"ZEVO_ALL";
inline constexpr std::u16string_view kSysConfigRestartAndRevert = u"ZEVO_CFG_SP_RESTART_ND_REVERT";
inline constexpr std::u16string_view kSysConfigModuleLoad = u"ZEVO_CFG_SP_MODULE_LOAD";
inline constexpr std::u16string_view kSysConfigMainObjective = u"ZEVO_CFG_SP_MAIN_OBJECTIVE";

// One value as GetAllSysConfigs lists it.
struct SysConfigRecord {
  std::u16string group;
  std::u16string name;
  std::u16string value;

  friend bool operator==(const SysConfigRecord&, const SysConfigRecord&) = default;
};

class SysConfigManager {
 public:
  // Not ready and without document until Load().
  SysConfigManager(std::u16string folderPath, std::u16string fileName);
  ~SysConfigManager();

  SysConfigManager(const SysConfigManager&) = delete;
  SysConfigManager& operator=(const SysConfigManager&) = delete;

  // Reads, decrypts and parses <folder><separator><file name>. Returns
  // whether the store is ready. A missing, unreadable or undecryptable file
  // leaves the ready flag as it was; a file that does not parse (or has no
  // "SysConfigManager" root) clears it.
  bool Load() noexcept;

  // Drops the document and loads the given file instead.
  bool Reload(std::u16string_view folderPath, std::u16string_view fileName) noexcept;

  // Drops the document. Always true.
  bool Close() noexcept;

  bool IsConfigReady() const noexcept { return configReady_; }

  // Every operation below answers kCommonOk (0x20FF0000) or kFail
  // (0xE0FF0001). A group or name that is not an XML element name (no ':'
  // either) is refused with kFail before the document is touched.

  // The text of the value without the XML white space around it (empty
  // when the element has none). GetAllSysConfigs lists values the same way.
  std::int32_t GetSysConfig(std::u16string_view group, std::u16string_view name, std::u16string& value) noexcept;
  // Changes an existing value; creates nothing.
  std::int32_t SetSysConfig(std::u16string_view group, std::u16string_view name, std::u16string_view newValue) noexcept;
  // Adds a value that does not exist yet, and its group when missing.
  std::int32_t AddSysConfig(std::u16string_view group, std::u16string_view name, std::u16string_view value) noexcept;
  std::int32_t RemoveSysConfig(std::u16string_view group, std::u16string_view name) noexcept;
  // Appends every value of every group, in document order.
  std::int32_t GetAllSysConfigs(std::vector<SysConfigRecord>& list) noexcept;

  // Prints the "SysConfigManager" element (other top-level elements are
  // dropped), encrypts it and writes it to <folder><separator><file>.
  // False, writing nothing, when the document has no such element.
  bool saveFile(std::u16string_view folderPath, std::u16string_view fileName, bool writeThrough) noexcept;

 private:
  bool loadFile(std::u16string_view folderPath, std::u16string_view fileName) noexcept;
  bool ParseText(const char* text, std::size_t size);
  pugi::xml_node getXmlNodeByPath(const std::string& xpath) const;
  std::vector<pugi::xml_node> getXmlNodesByPath(const std::string& xpath) const;

  bool configReady_ = false;
  const std::u16string folderPath_;
  const std::u16string fileName_;
  std::unique_ptr<pugi::xml_document> managedDoc_;
};

}  // namespace zevo::util

#endif  // ZEVO_UTIL_SYS_CONFIG_MANAGER_H_
