// CEngineTARSK: lookups in the module-wide tables, the keyed engine reads
// behind two of them, and whitelisting a company by name.
#include <charconv>
#include <exception>
#include <optional>
#include <string>

#include "driver/engine_tarsk.h"
#include "driver/table_rows.h"
#include "log/logging.h"
#include "zevo/result.h"

namespace zevo::driver {

namespace {

constexpr logging::Site kLog{u"Plugin TARSK", u"tarsk_implementation"};

// A fixed-size text field up to its first NUL (or its whole length).
std::u16string_view FieldText(const char16_t* chars, std::size_t capacity) noexcept {
  const char16_t* end = std::char_traits<char16_t>::find(chars, capacity, u'\0');
  return {chars, end == nullptr ? capacity : static_cast<std::size_t>(end - chars)};
}

}  // namespace

std::u16string CEngineTARSK::GetTableRow(std::int32_t handle, std::int32_t tableId, std::int32_t key) noexcept {
  if (!IsReady()) return {};
  RowBuffer row;
  std::int32_t enumeration = 0;
  const std::int32_t status = Engine().TKOpenTableLongEnum(handle, tableId, kFieldId, key, &enumeration);
  if (status != 0) {
    ZLOG(kLog, logging::kLevelFailure, u"Failed: TKOpenTableLongEnum( table id = ", tableId, u", key id = ", kFieldId,
         u", key = ", key, u"): ", status);
    return {};
  }
  OpenEnumeration open(Engine(), handle, enumeration);
  const std::int32_t read = Engine().TKGetRowById(handle, open.id(), row.data(), row.capacity());
  if (read != 0 && read != kNoRow) {
    ZLOG(kLog, logging::kLevelFailure, u"Failed: TKGetRowById(): ", read);
  }
  const std::int32_t closed = open.Close();
  if (closed != 0) ZLOG(kLog, logging::kLevelFailure, u"Failed: TKCloseHandle(): ", closed);
  try {
    return std::u16string(row.Text());
  } catch (const std::exception&) {
    return {};
  }
}

std::int32_t CEngineTARSK::GetCompanyIdOfItem(std::int32_t handle, std::int32_t itemId) noexcept {
  const PublishedTables* const tables = tables_.load(std::memory_order_acquire);
  if (tables == nullptr || itemId == 0) return 0;
  const std::optional<std::int32_t> hit =
      tables->Read([itemId](const EngineTables& t) noexcept { return t.items.Find(itemId); });
  if (hit) return *hit;
  if (!IsReady()) return 0;
  // Deliberately not remembered: the tables stay read-only after start-up.
  const std::u16string row = GetTableRow(handle, kTableProductItems, itemId);
  if (row.empty()) {
    ZLOG(kLog, logging::kLevelFailure,
         u"Failed: Dat3GetRowFromTable(DAT_TABLEID_PRODUCTITEMS, DAT_FIELD_PRODUCTITEMS_ID)");
    LogEngineError(handle);
    return 0;
  }
  return RowNumber(RowField(row, kFieldProductItemCompanyId));
}

void CEngineTARSK::GetCompanyName(std::u16string& name, std::int32_t handle, std::int32_t companyId) noexcept {
  name.clear();
  const PublishedTables* const tables = tables_.load(std::memory_order_acquire);
  if (tables == nullptr || companyId == 0) return;
  try {
    if (tables->Read([&](const EngineTables& t) { return t.companies.GetNameById(companyId, name); })) return;
    if (!IsReady()) return;
    const std::u16string row = GetTableRow(handle, kTableCompany, companyId);
    if (row.empty()) {
      ZLOG(kLog, logging::kLevelFailure, u"Failed: Dat3GetRowFromTable(DAT_TABLEID_COMPANY, DAT_FIELD_COMPANY_ID)");
      LogEngineError(handle);
      return;
    }
    name.assign(RowField(row, kFieldCompanyName));
  } catch (const std::exception&) {
    name.clear();
  }
}

void CEngineTARSK::GetCompanyNameOfItem(std::int32_t handle, const TKC_ITEM& item, std::u16string& name) noexcept {
  if (IsCustomItemId(item.itemId)) {
    try {
      name.assign(FieldText(item.companyText, std::size(item.companyText)));
    } catch (const std::exception&) {
      name.clear();
    }
    return;
  }
  GetCompanyName(name, handle, GetCompanyIdOfItem(handle, item.itemId));
}

std::int32_t CEngineTARSK::DescribeItem(std::int32_t handle, const TKC_ITEM& item, std::u16string* name) noexcept {
  if (name != nullptr && IsCustomItemId(item.itemId)) {
    GetCompanyNameOfItem(handle, item, *name);
    name = nullptr;
  }
  const PublishedTables* const tables = tables_.load(std::memory_order_acquire);
  if (tables == nullptr) {
    if (name != nullptr) name->clear();
    return kDefaultThreatLevel;
  }
  struct Facts {
    std::int32_t level;
    std::optional<std::int32_t> companyId;
    bool named;
  };
  const Facts facts = tables->Read([&](const EngineTables& t) noexcept {
    Facts f{ThreatLevelOf(t.threats, item.threatTypeId), std::int32_t{0}, false};
    if (name == nullptr || item.itemId == 0) return f;
    f.companyId = t.items.Find(item.itemId);
    try {
      f.named = f.companyId.value_or(0) != 0 && t.companies.GetNameById(*f.companyId, *name);
    } catch (const std::exception&) {
      // Out of memory: the name is looked for again below.
    }
    return f;
  });
  if (name != nullptr && !facts.named) {
    GetCompanyName(*name, handle, facts.companyId ? *facts.companyId : GetCompanyIdOfItem(handle, item.itemId));
  }
  return facts.level;
}

std::int32_t CEngineTARSK::GetCompanyIdByName(std::int32_t /*handle*/, std::u16string_view name) noexcept {
  const PublishedTables* const tables = tables_.load(std::memory_order_acquire);
  if (tables == nullptr || name.empty()) return -1;
  std::int32_t id = -1;
  if (tables->Read([&](const EngineTables& t) noexcept { return t.companies.GetIdByName(name, id); })) return id;
  ZLOG(kLog, logging::kLevelFailure, u"Failed: GetCompanyIdByName( name = ", name, u" )");
  return -1;
}

void CEngineTARSK::GetCompanyIdsByNames(std::int32_t handle, const std::vector<std::u16string>& names,
                                        std::vector<std::int32_t>& ids) noexcept {
  ids.clear();
  try {
    ids.reserve(names.size());
  } catch (const std::exception&) {
    return;  // an empty answer rather than a partial one
  }
  for (const std::u16string& name : names) ids.push_back(GetCompanyIdByName(handle, name));
}

bool CEngineTARSK::WriteCompanyTable(const ZEVO_DataHandle& message) const noexcept {
  const PublishedTables* const tables = tables_.load(std::memory_order_acquire);
  return tables != nullptr &&
         tables->Read([&](const EngineTables& t) noexcept { return t.companies.WriteToMessage(message); });
}

std::int32_t CEngineTARSK::AddWhitelistItem(std::int32_t handle, std::u16string_view companyName) noexcept {
  if (!IsReady()) return kEngineNotReady;
  const std::int32_t id = GetCompanyIdByName(handle, companyName);
  if (id == -1) return kArgumentMissing;

  TKC_WHITELIST_ITEM record = {};
  record.size = static_cast<std::uint32_t>(kWhitelistItemSize);
  record.kind = kWhitelistKindCompanyId;
  char16_t* out = record.text;
  char digits[16];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, id);
  static_cast<void>(error);  // 16 characters hold every int32_t
  for (const char* c = digits; c != end; ++c) *out++ = static_cast<char16_t>(*c);

  const std::int32_t status = Engine().TKAddWhitelistItem(handle, &record);
  if (status == 0) return kOk;
  ZLOG(kLog, logging::kLevelFailure, u"Failed: TKAddWhitelistItem: name=", companyName, u", id=",
       std::u16string_view(record.text), u", ret=", status);
  LogEngineError(handle);
  return MapEngineStatus(status);
}

std::int32_t CEngineTARSK::GetThreatLevel(std::int32_t threatTypeId) const noexcept {
  const PublishedTables* const tables = tables_.load(std::memory_order_acquire);
  if (tables == nullptr) return kDefaultThreatLevel;
  return tables->Read(
      [threatTypeId](const EngineTables& t) noexcept { return ThreatLevelOf(t.threats, threatTypeId); });
}

}  // namespace zevo::driver
