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
constexpr std::u16string_view kCompanyFinish = u"enumerated company table... finished, performance = ";

// Opens a sequential enumeration of `tableId` and hands every row to
// `onRow` until the engine's first nonzero status. `onRow` may throw
// (memory): the enumeration is still closed and the result is kFail.
template <class OnRow>
std::int32_t ReadWholeTable(CEngineTARSK& driver, const TkFunctionTable& engine, std::int32_t handle,
                            std::int32_t tableId, std::u16string_view failureText, OnRow onRow) noexcept {
  std::int32_t enumeration = 0;
  const std::int32_t status = engine.TKOpenTableSeqEnum(handle, tableId, &enumeration);
  if (status != 0) {
    return driver.EngineFailure(handle, failureText, status);
  }
  if (enumeration < 0) return kBadEnumerationHandle;

  OpenEnumeration open(engine, handle, enumeration);
  try {
    RowBuffer row;
    for (std::int32_t r = engine.TKGetFirstRow(handle, open.id(), row.data(), row.capacity()); r == 0;
         r = engine.TKGetNextRow(handle, open.id(), row.data(), row.capacity())) {
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

// What tells the three enumerations apart in the log and in the engine.
struct TableEnumeration {
  std::u16string_view name;  // entry and exit lines
  std::u16string_view timingStart;
  std::u16string_view timingFinish;
  std::int32_t tableId;
  std::u16string_view openFailure;
};

// Entry line, timing lines, the table emptied, read whole and sealed, exit
// line. REQUIRES: every text of `what` outlives the call (literals).
template <class Table, class OnRow>
std::int32_t EnumerateTable(CEngineTARSK& driver, const TkFunctionTable& engine, bool ready,
                            const TableEnumeration& what, std::int32_t handle, Table& table, OnRow onRow) noexcept {
  ZLOG_ENTER(kLog, what.name);
  std::int32_t result = kEngineNotReady;
  {
    logging::ScopedTimer timer(kLog, __LINE__, what.timingStart, what.timingFinish);
    table.Clear();
    if (ready) result = ReadWholeTable(driver, engine, handle, what.tableId, what.openFailure, onRow);
    result = Finish(table, result);
  }
  ZLOG_EXIT(kLog, what.name);
  return result;
}

}  // namespace

std::int32_t CEngineTARSK::EnumerateItemId(std::int32_t handle, ItemTable& table) noexcept {
  static constexpr TableEnumeration kItems{u"CEngineTARSK::EnumerateItemId", kItemStart, kItemFinish,
                                           kTableProductItems,
                                           u"Failed: TKOpenTableSeqEnum:(DAT_TABLEID_PRODUCTITEMS) "};
  return EnumerateTable(*this, Engine(), IsReady(), kItems, handle, table, [&table](RowReader row) {
    const std::int32_t id = row.TakeNumber();
    row.Field(kFieldProductItemCompanyId);
    table.Assign(id, row.TakeNumber());
  });
}

std::int32_t CEngineTARSK::EnumerateThreatLevel(std::int32_t handle, ThreatTable& table) noexcept {
  // The threat table reports its timing under the item table's texts.
  static constexpr TableEnumeration kThreats{u"CEngineTARSK::EnumerateThreatLevel", kItemStart, kItemFinish,
                                             kTableThreatTypes,
                                             u"Failed: TKOpenTableSeqEnum:(DAT_TABLEID_THREATTYPES) "};
  return EnumerateTable(*this, Engine(), IsReady(), kThreats, handle, table, [&table](RowReader row) {
    const std::int32_t id = row.TakeNumber();
    table.Assign(id, row.Field(kFieldThreatLevel).TakeNumber());
  });
}

std::int32_t CEngineTARSK::EnumerateCompanyIdNameTable(std::int32_t handle, CompanyIdNameTable& table) noexcept {
  static constexpr TableEnumeration kCompanies{u"CEngineTARSK::EnumerateCompanyIdNameTable", kCompanyStart,
                                               kCompanyFinish, kTableCompany,
                                               u"Failed: TKOpenTableSeqEnum:(DAT_TABLEID_COMPANY) "};
  return EnumerateTable(*this, Engine(), IsReady(), kCompanies, handle, table, [&table](RowReader row) {
    const std::int32_t id = row.TakeNumber();
    table.AddRow(id, row.Field(kFieldCompanyName).Text());
  });
}

}  // namespace zevo::driver
