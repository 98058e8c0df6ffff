#include "sim/progress_recorder.h"

#include <cstring>
#include <exception>

namespace zevo::hostsim {
namespace {

std::u16string CopyText(const void* data) {
  if (data == nullptr) return {};
  return std::u16string(static_cast<const char16_t*>(data));
}

ProgressReport MakeReport(std::uint32_t event, std::int32_t c, std::int32_t d, void* data, std::uint64_t cookie) {
  ProgressReport report{event, c, d, cookie, data != nullptr, std::nullopt, {}, {}};
  if (data == nullptr) return report;
  if (event == kEventItemFound || event == kEventItemCleaned) {
    // The module's record lives only for this call.
    SPYWARE_ITEM item;
    std::memcpy(&item, data, sizeof item);
    report.item = item;
  } else if (event == kEventRootStarted || event == kEventProgress) {
    report.text = CopyText(data);
  } else if (event == kEventBackupFile) {
    const auto* backup = static_cast<const ZEVO_BackupReport*>(data);
    report.text = CopyText(backup->backupFile);
    report.company = CopyText(backup->companyName);
  }
  return report;
}

}  // namespace

void* ProgressRecorder::DeleteThis(std::uint32_t flags) noexcept {
  if ((flags & ZEVO_DELETE_FREE) != 0) {
    delete this;
  } else {
    this->~ProgressRecorder();
  }
  return this;
}

std::int32_t ProgressRecorder::OnProgress(std::uint32_t event, std::int32_t c, std::int32_t d, void* data,
                                          std::uint64_t cookie) noexcept {
  try {
    ProgressReport report = MakeReport(event, c, d, data, cookie);
    {
      host::MutexLock lock(&mu_);
      if (sealed_) {
        ++late_;
        return 0;
      }
      reports_.push_back(report);
    }
    if (observer_) observer_(report);
  } catch (const std::exception&) {
    // A report that cannot be kept is dropped; the module ignores the result.
  }
  return 0;
}

void ProgressRecorder::Seal() noexcept {
  host::MutexLock lock(&mu_);
  sealed_ = true;
}

std::vector<ProgressReport> ProgressRecorder::Reports() const {
  host::MutexLock lock(&mu_);
  return reports_;
}

std::vector<SPYWARE_ITEM> ProgressRecorder::Items() const {
  host::MutexLock lock(&mu_);
  std::vector<SPYWARE_ITEM> items;
  for (const ProgressReport& report : reports_) {
    if (report.event == kEventItemFound && report.item) items.push_back(*report.item);
  }
  return items;
}

std::size_t ProgressRecorder::LateReports() const noexcept {
  host::MutexLock lock(&mu_);
  return late_;
}

}  // namespace zevo::hostsim
