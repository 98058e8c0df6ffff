// Entry points: table enumerations of the session's pattern.
#include "exports.h"

using namespace tarsk;

namespace {

// Opens an enumeration of table tableId; rows = null means every row.
std::int32_t OpenEnumeration(Session& session, std::int32_t tableId, std::optional<std::vector<std::uint32_t>> rows,
                             std::int32_t* outEnumeration) {
  if (outEnumeration == nullptr) return Fail(session.handle, kInvalidArgument, u"no out pointer");
  *outEnumeration = -1;
  zevo::host::MutexLock lock(&session.mu);
  if (!session.pattern) {
    session.lastErrorCode = kNoPattern;
    session.lastErrorText = u"no pattern loaded";
    return kNoPattern;
  }
  const Table* table = session.pattern->TableById(tableId);
  if (table == nullptr) {
    session.lastErrorCode = kInvalidArgument;
    session.lastErrorText = u"no such table";
    return kInvalidArgument;
  }
  Enumeration enumeration{session.pattern, table, rows.has_value(), rows.value_or(std::vector<std::uint32_t>{}), 0};
  const std::int32_t id = session.nextEnumeration++;
  session.enumerations.emplace(id, std::move(enumeration));
  *outEnumeration = id;
  return kOk;
}

// Rows of table tableId whose field `field` reads as `key` (field 0 through the index).
std::vector<std::uint32_t> RowsWithKey(const Pattern& pattern, std::int32_t tableId, std::int32_t field,
                                       std::u16string_view key) {
  std::vector<std::uint32_t> rows;
  const Table* table = pattern.TableById(tableId);
  if (table == nullptr) return rows;
  if (field == zevo::kFieldId) {
    if (const auto id = ParseNumber(key)) return table->RowsWithId(static_cast<std::int32_t>(*id));
    return rows;
  }
  for (std::uint32_t r = 0; r < table->rows.size(); ++r) {
    if (RowField(table->rows[r], static_cast<std::size_t>(field)) == key) rows.push_back(r);
  }
  return rows;
}

std::shared_ptr<const Pattern> PatternOf(Session& session) {
  zevo::host::MutexLock lock(&session.mu);
  return session.pattern;
}

// Writes row `position` of the enumeration (or kNoMoreRows) and moves on.
std::int32_t RowAt(Session& session, std::int32_t enumerationId, bool first, char16_t* row, std::int32_t capacity) {
  zevo::host::MutexLock lock(&session.mu);
  const auto it = session.enumerations.find(enumerationId);
  if (it == session.enumerations.end()) {
    session.lastErrorCode = kInvalidHandle;
    session.lastErrorText = u"no such enumeration";
    return kInvalidHandle;
  }
  Enumeration& e = it->second;
  if (first) e.next = 0;
  const std::size_t total = e.keyed ? e.rows.size() : e.table->rows.size();
  if (e.next >= total) {
    if (row != nullptr && capacity > 0) row[0] = u'\0';
    return kNoMoreRows;
  }
  const std::uint32_t r = e.keyed ? e.rows[e.next] : static_cast<std::uint32_t>(e.next);
  if (!WriteText(e.table->rows[r], row, capacity)) return kBufferTooSmall;
  ++e.next;
  return kOk;
}

}  // namespace

extern "C" {

#ifndef TARSK_OMIT_TKOpenTableSeqEnum
std::int32_t TKOpenTableSeqEnum(std::int32_t h, std::int32_t tableId, std::int32_t* outEnumeration) {
  return WithSession("TKOpenTableSeqEnum", h,
                     [&](Session& session) { return OpenEnumeration(session, tableId, std::nullopt, outEnumeration); });
}
#endif

#ifndef TARSK_OMIT_TKOpenTableStrEnum
std::int32_t TKOpenTableStrEnum(std::int32_t h, std::int32_t tableId, std::int32_t keyField, const char16_t* key,
                                std::int32_t* outEnumeration) {
  return WithSession("TKOpenTableStrEnum", h, [&](Session& session) {
    const auto pattern = PatternOf(session);
    if (!pattern || key == nullptr || keyField < 0) {
      return Fail(h, pattern ? kInvalidArgument : kNoPattern, u"no pattern or no key");
    }
    return OpenEnumeration(session, tableId, RowsWithKey(*pattern, tableId, keyField, key), outEnumeration);
  });
}
#endif

#ifndef TARSK_OMIT_TKOpenTableLongEnum
std::int32_t TKOpenTableLongEnum(std::int32_t h, std::int32_t tableId, std::int32_t keyField, std::int32_t key,
                                 std::int32_t* outEnumeration) {
  return WithSession("TKOpenTableLongEnum", h, [&](Session& session) {
    const auto pattern = PatternOf(session);
    if (!pattern || keyField < 0) {
      return Fail(h, pattern ? kInvalidArgument : kNoPattern, u"no pattern or bad key field");
    }
    const std::u16string text = Utf8ToUtf16(std::to_string(key));
    return OpenEnumeration(session, tableId, RowsWithKey(*pattern, tableId, keyField, text), outEnumeration);
  });
}
#endif

#ifndef TARSK_OMIT_TKCloseHandle
std::int32_t TKCloseHandle(std::int32_t h, std::int32_t enumeration) {
  return WithSession("TKCloseHandle", h, [&](Session& session) {
    zevo::host::MutexLock lock(&session.mu);
    if (session.enumerations.erase(enumeration) != 0) return kOk;
    session.lastErrorCode = kInvalidHandle;
    session.lastErrorText = u"no such enumeration";
    return kInvalidHandle;
  });
}
#endif

#ifndef TARSK_OMIT_TKGetFirstRow
std::int32_t TKGetFirstRow(std::int32_t h, std::int32_t enumeration, char16_t* row, std::int32_t capacity) {
  return WithSession("TKGetFirstRow", h,
                     [&](Session& session) { return RowAt(session, enumeration, true, row, capacity); });
}
#endif

#ifndef TARSK_OMIT_TKGetNextRow
std::int32_t TKGetNextRow(std::int32_t h, std::int32_t enumeration, char16_t* row, std::int32_t capacity) {
  return WithSession("TKGetNextRow", h,
                     [&](Session& session) { return RowAt(session, enumeration, false, row, capacity); });
}
#endif

#ifndef TARSK_OMIT_TKGetRowById
std::int32_t TKGetRowById(std::int32_t h, std::int32_t enumeration, char16_t* row, std::int32_t capacity) {
  return WithSession("TKGetRowById", h, [&](Session& session) {
    const std::int32_t status = RowAt(session, enumeration, true, row, capacity);
    return status == kNoMoreRows ? kNoRow : status;
  });
}
#endif

#ifndef TARSK_OMIT_TKGetFirstRowByField
TARSK_NOT_SUPPORTED(TKGetFirstRowByField, std::int32_t, std::int32_t, const char16_t*, char16_t*, std::int32_t)
#endif
#ifndef TARSK_OMIT_TKGetNextRowByField
TARSK_NOT_SUPPORTED(TKGetNextRowByField, std::int32_t, std::int32_t, const char16_t*, char16_t*, std::int32_t)
#endif
#ifndef TARSK_OMIT_TKGetFirstRowByStrKey
TARSK_NOT_SUPPORTED(TKGetFirstRowByStrKey, std::int32_t, const char16_t*, char16_t*, std::int32_t)
#endif
#ifndef TARSK_OMIT_TKGetNextRowByStrKey
TARSK_NOT_SUPPORTED(TKGetNextRowByStrKey, std::int32_t, const char16_t*, char16_t*, std::int32_t)
#endif
#ifndef TARSK_OMIT_TKGetFirstRowByLongKey
TARSK_NOT_SUPPORTED(TKGetFirstRowByLongKey, std::int32_t, std::int32_t, char16_t*, std::int32_t)
#endif
#ifndef TARSK_OMIT_TKGetNextRowByLongKey
TARSK_NOT_SUPPORTED(TKGetNextRowByLongKey, std::int32_t, std::int32_t, char16_t*, std::int32_t)
#endif

}  // extern "C"
