// The engine's progress callback and the item records it reports: the
// engine (during a scan) and the driver (backup files, cleaning results) call
// TARSKProcessCallback; the report reaches the host's progress sink of the
// object that owns the session, with that object's cookie.
#include <algorithm>
#include <string_view>

#include "driver/sessions.h"
#include "interface/item_record.h"
#include "interface/tarsk_interface.h"
#include "zevo/engine_api.h"

namespace zevo::iface {
namespace {

// The engine's text up to its terminator, or the whole field when it has none.
template <std::size_t N>
std::u16string_view FieldView(const char16_t (&text)[N]) noexcept {
  return {text, static_cast<std::size_t>(std::find(text, text + N, u'\0') - text)};
}

}  // namespace

// The owner is found without the session lock (see FindAndPinSessionOwner);
// the reference taken while its entry cannot leave the map keeps the object
// until the report is over, so the host may release an object while its
// scan is still reporting, even from the report's own sink. The host cookie
// is read there too: function 1 clears it only after the session has left
// the map, so a report that found the object carries the cookie of its
// session.
class ITarskEngineInterface::ReportPin {
 public:
  explicit ReportPin(std::int32_t handle) noexcept
      // Engine interface objects are the only owners that register this
      // callback, so every owner reached through it is one.
      : owner_(static_cast<ITarskEngineInterface*>(driver::FindAndPinSessionOwner(handle, &Pin, this))) {}
  ~ReportPin() {
    if (owner_ != nullptr) owner_->Unref();
  }
  ReportPin(const ReportPin&) = delete;
  ReportPin& operator=(const ReportPin&) = delete;

  ITarskEngineInterface* get() const noexcept { return owner_; }
  std::uint64_t cookie() const noexcept { return cookie_; }

 private:
  static bool Pin(driver::ISessionOwner* owner, void* context) noexcept {
    auto* const object = static_cast<ITarskEngineInterface*>(owner);
    if (!object->TryRef()) return false;  // being destroyed: its release came first
    static_cast<ReportPin*>(context)->cookie_ = object->HostCookie();
    return true;
  }

  std::uint64_t cookie_ = 0;  // before owner_: written while owner_ is being found
  ITarskEngineInterface* const owner_;
};

std::int32_t ITarskEngineInterface::TARSKProcessCallback(std::int32_t handle, std::int32_t event, std::int32_t c,
                                                         std::int32_t d, void* data) noexcept {
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

  // Item events without an item still reach the host, with no record.
  const bool itemEvent = event == kEventItemFound || event == kEventCleanResult;
  if (!itemEvent || data == nullptr) {
    if (IProgressSink* const sink = owner->progress_sink_.load(std::memory_order_acquire)) {
      sink->OnProgress(static_cast<std::uint32_t>(event), c, d, data, pin.cookie());
    }
    return 0;
  }
  // Built even without a sink: the record feeds the object's company cache,
  // so that an item is named alike before and after a sink is registered.
  const TKC_ITEM& item = *static_cast<const TKC_ITEM*>(data);
  SPYWARE_ITEM record;  // every byte written by FormatItem
  owner->FormatItem(handle, item, record);
  if (event == kEventCleanResult) record.resultCode = CleanResultCode(item, d);
  if (IProgressSink* const sink = owner->progress_sink_.load(std::memory_order_acquire)) {
    sink->OnProgress(static_cast<std::uint32_t>(event), c, d, &record, pin.cookie());
  }
  return 0;
}

bool ITarskEngineInterface::GetSpyCompanyName(std::int32_t handle, const TKC_ITEM& item,
                                              std::u16string& name) noexcept {
  const ReportPin pin(handle);
  return pin.get() != nullptr && pin.get()->CompanyNameOf(handle, item, name);
}

void ITarskEngineInterface::GetSpyThreatLevel(std::int32_t handle, const TKC_ITEM& item, std::int32_t& level) noexcept {
  const ReportPin pin(handle);
  level = pin.get() != nullptr ? pin.get()->driver_.GetThreatLevel(item.threatTypeId) : driver::kDefaultThreatLevel;
}

void ITarskEngineInterface::FormatItem(std::int32_t handle, const TKC_ITEM& item, SPYWARE_ITEM& record) noexcept {
  // The item's lines load while the lookups wait for the tables.
  PrefetchItem(item);
  std::int32_t threatLevel = driver::kDefaultThreatLevel;
  const auto fill = [&](std::u16string& name) noexcept {
    bool named = true;
    if (IsCustomItemId(item.itemId)) {
      threatLevel = driver_.DescribeItem(handle, item, nullptr);
      named = company_names_.NameOf(item.itemId, FieldView(item.companyText), name);
    } else {
      threatLevel = driver_.DescribeItem(handle, item, &name);
    }
    CopyItemFields(item, record, named ? std::u16string_view(name) : std::u16string_view());
  };
  if (!report_name_taken_.exchange(true, std::memory_order_acquire)) {
    fill(report_name_);
    report_name_taken_.store(false, std::memory_order_release);
  } else {
    std::u16string name;
    fill(name);
  }
  record.threatLevel = threatLevel;
}

bool ITarskEngineInterface::CompanyNameOf(std::int32_t handle, const TKC_ITEM& item, std::u16string& name) noexcept {
  if (IsCustomItemId(item.itemId)) {
    return company_names_.NameOf(item.itemId, FieldView(item.companyText), name);
  }
  driver_.GetCompanyNameOfItem(handle, item, name);
  return true;
}

}  // namespace zevo::iface
