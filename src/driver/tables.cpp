// CEngineTARSK: reading the engine's three tables whole into the module-wide
// tables at start-up.
#include <exception>
#include <string_view>

#include "driver/engine_tarsk.h"
#include "driver/table_rows.h"
#include "log/log_timer.h"
#include "log/logging.h"
#include "zevo/result.h"

namespace zevo::driver {

namespace {

constexpr logging::Site kLog{u"Plugin TARSK", u"tarsk_implementation"};

constexpr std::u16string_view kItemStart = u"enumerated item table... start";
constexpr std::u16string_view kItemFinish = u"enumerated item table... finished, performance = ";
constexpr std::u16string_view kCompanyStart = u"enumerated company table... start";
constexpr std::u16string_view kCompanyFinish =
    u"enumerated company table... finished, performance = ";

// Opens a sequential enumeration of `tableId` and hands every row to
// `onRow` until the engine's first nonzero status. `onRow` may throw
// (memory): the enumeration is still closed and the result is kFail.
template <class OnRow>
std::int32_t ReadWholeTable(CEngineTARSK& driver, const TkFunctionTable& engine,
                            std::int32_t handle, std::int32_t tableId,
                            std::u16string_view failureText, OnRow onRow) noexcept {
  std::int32_t enumeration = 0;
  const std::int32_t status = engine.TKOpenTableSeqEnum(handle, tableId, &enumeration);
  if (status != 0) {
    ZLOG(kLog, logging::kLevelFailure, failureText, status);
    driver.LogEngineError(handle);
    return MapEngineStatus(status);
  }
  if (enumeration < 0) return kBadEnumerationHandle;

  OpenEnumeration open(engine, handle, enumeration);
  try {
    RowBuffer row;
    for (std::int32_t r = engine.TKGetFirstRow(handle, open.id(), row.data(), row.capacity());
         r == 0; r = engine.TKGetNextRow(handle, open.id(), row.data(), row.capacity())) {
      onRow(RowReader(row.c_str()));
      row.Reset();
    }
  } catch (const std::exception&) {
    return kFail;
  }
  open.Close();  // the rows are read; a refused close changes nothing
  return kOk;
}

// Finishes a table after its enumeration: sorted for lookups, or empty when
// the reading (or the sorting) ran out of memory.
template <class Table>
std::int32_t Finish(Table& table, std::int32_t result) noexcept {
  try {
    if (result == kFail) table.Clear();
    table.Seal();
    return result;
  } catch (const std::exception&) {
    table.Clear();
    return kFail;
  }
}

}  // namespace

std::int32_t CEngineTARSK::EnumerateItemId(std::int32_t handle, ItemTable& table) noexcept {
  constexpr std::u16string_view kName = u"CEngineTARSK::EnumerateItemId";
  ZLOG_ENTER(kLog, kName);
  std::int32_t result = kEngineNotReady;
  {
    logging::ScopedTimer timer(kLog, __LINE__, kItemStart, kItemFinish);
    table.Clear();
    if (IsReady()) {
      result = ReadWholeTable(*this, Engine(), handle, kTableProductItems,
                              u"Failed: TKOpenTableSeqEnum:(DAT_TABLEID_PRODUCTITEMS) ",
                              [&table](RowReader row) {
                                const std::int32_t id = row.TakeNumber();
                                row.Field(kFieldProductItemCompanyId);
                                table.Assign(id, row.TakeNumber());
                              });
    }
    result = Finish(table, result);
  }
  ZLOG_EXIT(kLog, kName);
  return result;
}

std::int32_t CEngineTARSK::EnumerateThreatLevel(std::int32_t handle, ThreatTable& table) noexcept {
  constexpr std::u16string_view kName = u"CEngineTARSK::EnumerateThreatLevel";
  ZLOG_ENTER(kLog, kName);
  std::int32_t result = kEngineNotReady;
  {
    // The threat table reports its timing under the item table's texts.
    logging::ScopedTimer timer(kLog, __LINE__, kItemStart, kItemFinish);
    table.Clear();
    if (IsReady()) {
      result = ReadWholeTable(*this, Engine(), handle, kTableThreatTypes,
                              u"Failed: TKOpenTableSeqEnum:(DAT_TABLEID_THREATTYPES) ",
                              [&table](RowReader row) {
                                const std::int32_t id = row.TakeNumber();
                                table.Assign(id, row.Field(kFieldThreatLevel).TakeNumber());
                              });
    }
    result = Finish(table, result);
  }
  ZLOG_EXIT(kLog, kName);
  return result;
}

std::int32_t CEngineTARSK::EnumerateCompanyIdNameTable(std::int32_t handle,
                                                       CompanyIdNameTable& table) noexcept {
  constexpr std::u16string_view kName = u"CEngineTARSK::EnumerateCompanyIdNameTable";
  ZLOG_ENTER(kLog, kName);
  std::int32_t result = kEngineNotReady;
  {
    logging::ScopedTimer timer(kLog, __LINE__, kCompanyStart, kCompanyFinish);
    table.Clear();
    if (IsReady()) {
      result = ReadWholeTable(*this, Engine(), handle, kTableCompany,
                              u"Failed: TKOpenTableSeqEnum:(DAT_TABLEID_COMPANY) ",
                              [&table](RowReader row) {
                                const std::int32_t id = row.TakeNumber();
                                table.AddRow(id, row.Field(kFieldCompanyName).Text());
                              });
    }
    result = Finish(table, result);
  }
  ZLOG_EXIT(kLog, kName);
  return result;
}

}  // namespace zevo::driver
