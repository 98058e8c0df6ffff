// ProgressRecorder: the reference host's progress sink. It keeps a copy of
// every report the module sends to slot 1 — event, the two numbers, the
// host cookie, and the item record of events 2 and 1001 (the module's record
// lives only for the call) — and can pass each report on to an observer.
//
// Safe for concurrent use: the module may report from the thread that scans
// and the thread that cleans at once, and readers may look while it does.
#ifndef ZEVO_HOST_SIM_PROGRESS_RECORDER_H_
#define ZEVO_HOST_SIM_PROGRESS_RECORDER_H_

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/sync.h"
#include "zevo/plugin_interface.h"
#include "zevo/records.h"

namespace zevo::hostsim {

// Progress events of the reference engine and of the module.
inline constexpr std::uint32_t kEventRootStarted = 1;
inline constexpr std::uint32_t kEventItemFound = 2;
inline constexpr std::uint32_t kEventProgress = 3;
inline constexpr std::uint32_t kEventBackupFile = 1000;
inline constexpr std::uint32_t kEventItemCleaned = 1001;

struct ProgressReport {
  std::uint32_t event = 0;
  std::int32_t c = 0;
  std::int32_t d = 0;
  std::uint64_t cookie = 0;
  bool hadData = false;              // the data pointer was not null
  std::optional<SPYWARE_ITEM> item;  // events 2 and 1001 with data
  std::u16string text;               // events 1 and 3: the path; 1000: the backup file
  std::u16string company;            // event 1000: the company backed up
};

class ProgressRecorder final : public IProgressSink {
 public:
  // Called outside the recorder's lock, on the module's thread, after the
  // report is stored.
  using Observer = std::function<void(const ProgressReport&)>;

  ProgressRecorder() = default;
  explicit ProgressRecorder(Observer observer) : observer_(std::move(observer)) {}
  ~ProgressRecorder() = default;
  ProgressRecorder(const ProgressRecorder&) = delete;
  ProgressRecorder& operator=(const ProgressRecorder&) = delete;

  void* DeleteThis(std::uint32_t flags) noexcept override;
  std::int32_t OnProgress(std::uint32_t event, std::int32_t c, std::int32_t d, void* data,
                          std::uint64_t cookie) noexcept override;

  // After Seal() (the host released the object that reported here) every
  // further report is counted as late and not stored.
  void Seal() noexcept;

  std::vector<ProgressReport> Reports() const;
  // The item records of event 2, in the order received.
  std::vector<SPYWARE_ITEM> Items() const;
  std::size_t LateReports() const noexcept;

 private:
  const Observer observer_;
  mutable host::Mutex mu_;
  std::vector<ProgressReport> reports_ ZEVO_GUARDED_BY(mu_);
  bool sealed_ ZEVO_GUARDED_BY(mu_) = false;
  std::size_t late_ ZEVO_GUARDED_BY(mu_) = 0;
};

}  // namespace zevo::hostsim

#endif  // ZEVO_HOST_SIM_PROGRESS_RECORDER_H_
