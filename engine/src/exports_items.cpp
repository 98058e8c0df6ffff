// Entry points: the session's item list.
#include "exports.h"

using namespace tarsk;

namespace {

std::int32_t CountItems(Session& session, std::uint32_t scannerId, bool selectedOnly, std::int32_t* outCount) {
  if (outCount == nullptr) return Fail(session.handle, kInvalidArgument, u"no out pointer");
  zevo::host::MutexLock lock(&session.mu);
  std::int32_t count = 0;
  for (const Item& item : session.items) {
    const bool scannerMatches = scannerId == zevo::kAllScanners || item.record.value13 == scannerId;
    if (scannerMatches && (!selectedOnly || item.selected)) ++count;
  }
  *outCount = count;
  return kOk;
}

}  // namespace

extern "C" {

#ifndef TARSK_OMIT_TKGetItemCount
std::int32_t TKGetItemCount(std::int32_t h, std::int32_t* outCount) {
  return WithSession("TKGetItemCount", h,
                     [&](Session& session) { return CountItems(session, zevo::kAllScanners, false, outCount); });
}
#endif

#ifndef TARSK_OMIT_TKGetItemCountByScannerId
std::int32_t TKGetItemCountByScannerId(std::int32_t h, std::uint32_t scannerId, std::int32_t* outCount) {
  return WithSession("TKGetItemCountByScannerId", h,
                     [&](Session& session) { return CountItems(session, scannerId, false, outCount); });
}
#endif

#ifndef TARSK_OMIT_TKGetCountSelectedByScannerId
std::int32_t TKGetCountSelectedByScannerId(std::int32_t h, std::uint32_t scannerId, std::int32_t* outCount) {
  return WithSession("TKGetCountSelectedByScannerId", h,
                     [&](Session& session) { return CountItems(session, scannerId, true, outCount); });
}
#endif

#ifndef TARSK_OMIT_TKGetItem
std::int32_t TKGetItem(std::int32_t h, std::uint32_t index, TKC_ITEM* item) {
  return WithSession("TKGetItem", h, [&](Session& session) {
    if (item == nullptr || item->size != ZEVO_TKC_ITEM_SIZE) {
      return Fail(h, kInvalidArgument, u"item record size must be 3428");
    }
    zevo::host::MutexLock lock(&session.mu);
    if (index >= session.items.size()) {
      session.lastErrorCode = kInvalidArgument;
      session.lastErrorText = u"no item at this index";
      return kInvalidArgument;
    }
    *item = session.items[index].record;
    return kOk;
  });
}
#endif

#ifndef TARSK_OMIT_TKSelectItems
std::int32_t TKSelectItems(std::int32_t h, std::uint32_t index, std::int32_t select) {
  return WithSession("TKSelectItems", h, [&](Session& session) {
    zevo::host::MutexLock lock(&session.mu);
    if (index == zevo::kAllItems) {
      for (Item& item : session.items) item.selected = select != 0;
      return kOk;
    }
    if (index >= session.items.size()) {
      session.lastErrorCode = kInvalidArgument;
      session.lastErrorText = u"no item at this index";
      return kInvalidArgument;
    }
    session.items[index].selected = select != 0;
    return kOk;
  });
}
#endif

#ifndef TARSK_OMIT_TKAddItem
std::int32_t TKAddItem(std::int32_t h, const TKC_ITEM*, std::uint32_t*) {
  return Guarded("TKAddItem", h, [&] { return Fail(h, kNotSupported, u"not supported"); });
}
#endif

#ifndef TARSK_OMIT_TKUpdateItem
std::int32_t TKUpdateItem(std::int32_t h, std::uint32_t, const TKC_ITEM*) {
  return Guarded("TKUpdateItem", h, [&] { return Fail(h, kNotSupported, u"not supported"); });
}
#endif

#ifndef TARSK_OMIT_TKRemoveItems
std::int32_t TKRemoveItems(std::int32_t h, std::uint32_t index) {
  return WithSession("TKRemoveItems", h, [&](Session& session) {
    zevo::host::MutexLock lock(&session.mu);
    if (index == zevo::kAllItems) {
      session.items.clear();
      session.references.clear();
      return kOk;
    }
    if (index >= session.items.size()) {
      session.lastErrorCode = kInvalidArgument;
      session.lastErrorText = u"no item at this index";
      return kInvalidArgument;
    }
    session.items.erase(session.items.begin() + index);
    return kOk;
  });
}
#endif

#ifndef TARSK_OMIT_TKGetItemIndexByCompanyName
std::int32_t TKGetItemIndexByCompanyName(std::int32_t h, const char16_t* companyName, std::uint32_t* indexes,
                                         std::int32_t* inOutCount) {
  return WithSession("TKGetItemIndexByCompanyName", h, [&](Session& session) {
    if (companyName == nullptr || inOutCount == nullptr || (indexes && *inOutCount < 0)) {
      return Fail(h, kInvalidArgument, u"company name and count needed");
    }
    const std::u16string_view name(companyName);
    zevo::host::MutexLock lock(&session.mu);
    std::int32_t count = 0;
    for (std::size_t i = 0; i < session.items.size(); ++i) {
      if (session.items[i].companyName != name) continue;
      if (indexes != nullptr) {
        if (count == *inOutCount) break;
        indexes[count] = static_cast<std::uint32_t>(i);
      }
      ++count;
    }
    *inOutCount = count;
    return kOk;
  });
}
#endif

}  // extern "C"
