// The engine's progress callback and the item records it reports: the
// engine (during a scan) and the driver (backup files, cleaning results) call
// TARSKProcessCallback; the report reaches the host's progress sink of the
// object that owns the session, with that object's cookie.
#include <algorithm>
#include <string_view>

#include "driver/sessions.h"
#include "interface/item_record.h"
#include "interface/tarsk_interface.h"
#include "os/rw_lock.h"
#include "zevo/engine_api.h"

namespace zevo::iface {
namespace {

// The engine's text up to its terminator, or the whole field when it has none.
template <std::size_t N>
std::u16string_view FieldView(const char16_t (&text)[N]) noexcept {
  return {text, static_cast<std::size_t>(std::find(text, text + N, u'\0') - text)};
}

}  // namespace

// The session lock is held only for the lookup; the count taken under it
// keeps the object's destructor waiting until the report is over, so the
// host may release an object while its scan is still reporting.
class ITarskEngineInterface::ReportPin {
 public:
  explicit ReportPin(std::int32_t handle) noexcept {
    os::ReaderGuard guard(driver::g_sessionLock);
    // Engine interface objects are the only owners that register this
    // callback, so every owner reached through it is one.
    owner_ = static_cast<ITarskEngineInterface*>(driver::FindSessionOwner(handle));
    if (owner_ != nullptr) owner_->reports_in_flight_.fetch_add(1, std::memory_order_relaxed);
  }
  ~ReportPin() {
    if (owner_ != nullptr) owner_->reports_in_flight_.fetch_sub(1, std::memory_order_release);
  }
  ReportPin(const ReportPin&) = delete;
  ReportPin& operator=(const ReportPin&) = delete;

  ITarskEngineInterface* get() const noexcept { return owner_; }

 private:
  ITarskEngineInterface* owner_ = nullptr;
};

std::int32_t ITarskEngineInterface::TARSKProcessCallback(std::int32_t handle, std::int32_t event,
                                                         std::int32_t c, std::int32_t d,
                                                         void* data) noexcept {
  switch (event) {
    case kEventProgress1:
    case kEventProgress3:
    case kEventBackupFile:
    case kEventItemFound:
    case kEventCleanResult:
      break;
    default:
      return 0;  // the host is told only about the events it knows
  }
  const ReportPin pin(handle);
  ITarskEngineInterface* const owner = pin.get();
  if (owner == nullptr) return 0;  // closed session or released object
  IProgressSink* const sink = owner->progress_sink_.load(std::memory_order_acquire);
  if (sink == nullptr) return 0;  // no sink registered yet: nothing to build

  // Item events without an item still reach the host, with no record.
  const bool itemEvent = event == kEventItemFound || event == kEventCleanResult;
  if (!itemEvent || data == nullptr) {
    sink->OnProgress(static_cast<std::uint32_t>(event), c, d, data, owner->HostCookie());
    return 0;
  }
  const TKC_ITEM& item = *static_cast<const TKC_ITEM*>(data);
  SPYWARE_ITEM record;  // every byte written by FormatItem
  owner->FormatItem(handle, item, record);
  if (event == kEventCleanResult) record.resultCode = CleanResultCode(item, d);
  sink->OnProgress(static_cast<std::uint32_t>(event), c, d, &record, owner->HostCookie());
  return 0;
}

void ITarskEngineInterface::_FormatSpywareItem(std::int32_t handle, const TKC_ITEM& item,
                                               SPYWARE_ITEM& record) noexcept {
  const ReportPin pin(handle);
  if (ITarskEngineInterface* const owner = pin.get()) {
    owner->FormatItem(handle, item, record);
    return;
  }
  CopyItemFields(item, record);
  record.threatLevel = driver::kDefaultThreatLevel;
}

bool ITarskEngineInterface::GetSpyCompanyName(std::int32_t handle, const TKC_ITEM& item,
                                              std::u16string& name) noexcept {
  const ReportPin pin(handle);
  return pin.get() != nullptr && pin.get()->CompanyNameOf(handle, item, name);
}

void ITarskEngineInterface::GetSpyThreatLevel(std::int32_t handle, const TKC_ITEM& item,
                                              std::int32_t& level) noexcept {
  const ReportPin pin(handle);
  level = pin.get() != nullptr ? pin.get()->driver_.GetThreatLevel(item.threatTypeId) : driver::kDefaultThreatLevel;
}

void ITarskEngineInterface::FormatItem(std::int32_t handle, const TKC_ITEM& item,
                                       SPYWARE_ITEM& record) noexcept {
  CopyItemFields(item, record);
  std::u16string name;
  if (CompanyNameOf(handle, item, name)) SetCompanyName(record, name);
  record.threatLevel = driver_.GetThreatLevel(item.threatTypeId);
}

bool ITarskEngineInterface::CompanyNameOf(std::int32_t handle, const TKC_ITEM& item,
                                          std::u16string& name) noexcept {
  if (IsCustomItemId(item.itemId)) {
    return company_names_.NameOf(item.itemId, FieldView(item.companyText), name);
  }
  driver_.GetCompanyNameOfItem(handle, item, name);
  return true;
}

}  // namespace zevo::iface
