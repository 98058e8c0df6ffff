// Engine sessions and the module-wide state: the session registry, global
// options, the RCM record and the last errors.
//
// Thread safety: every function here is safe for concurrent use. A Session's
// guarded members are read and written under its mutex; long operations
// (scan, clean, backup, restore) copy what they need under the mutex and
// work without it, so table calls and TKStopScan run while they do.
#ifndef TARSK_SESSION_H_
#define TARSK_SESSION_H_

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/sync.h"
#include "pattern.h"
#include "zevo/engine_api.h"

namespace tarsk {

// One found item and what the engine needs to clean or back it up.
struct Item {
  TKC_ITEM record{};
  bool selected = false;
  std::filesystem::path path;   // the file; for cookies the cookie file
  std::u16string companyName;   // of the table, or the custom item's own
  std::int32_t companyId = 0;   // 0 for custom items
  std::u16string cookieDomain;  // kind 12: the tracking domain
  bool needsRestart = false;
};

struct Enumeration {
  std::shared_ptr<const Pattern> pattern;  // keeps `table` alive
  const Table* table = nullptr;
  bool keyed = false;
  std::vector<std::uint32_t> rows;  // keyed: the matching rows
  std::size_t next = 0;
};

struct Reference {
  std::u16string first, second, third;
};

// Engine states reported by TKGetEngineStatus.
inline constexpr std::int32_t kStateIdle = 0;
inline constexpr std::int32_t kStateScanning = 1;
inline constexpr std::int32_t kStateCleaning = 2;

struct Session {
  explicit Session(std::int32_t h) : handle(h) {}

  const std::int32_t handle;
  zevo::host::Mutex mu;
  std::shared_ptr<const Pattern> pattern ZEVO_GUARDED_BY(mu);
  std::map<std::int32_t, std::u16string> options ZEVO_GUARDED_BY(mu);
  std::set<std::uint32_t> scanners ZEVO_GUARDED_BY(mu);
  std::set<std::int32_t> whitelist ZEVO_GUARDED_BY(mu);  // company ids
  std::vector<Item> items ZEVO_GUARDED_BY(mu);
  std::vector<Reference> references ZEVO_GUARDED_BY(mu);
  std::map<std::int32_t, Enumeration> enumerations ZEVO_GUARDED_BY(mu);
  std::int32_t nextEnumeration ZEVO_GUARDED_BY(mu) = 1;
  zevo::PFN_TKCallback callback ZEVO_GUARDED_BY(mu) = nullptr;
  std::int32_t lastErrorCode ZEVO_GUARDED_BY(mu) = 0;
  std::u16string lastErrorText ZEVO_GUARDED_BY(mu);

  std::atomic<bool> stopRequested{false};
  std::atomic<bool> busy{false};  // a scan, clean, backup or restore runs
  std::atomic<std::int32_t> state{kStateIdle};
};

// Opens a session; its handle (> 0).
std::int32_t OpenSession();
// Null when h is not open.
std::shared_ptr<Session> FindSession(std::int32_t h);
bool CloseSession(std::int32_t h);

// Records the failure as the last error of h (of the engine when h is 0 or
// not open) and returns status.
std::int32_t Fail(std::int32_t h, std::int32_t status, std::u16string_view text);
void GetLastError(std::int32_t h, std::int32_t& code, std::u16string& text);

void SetGlobalOption(std::int32_t option, std::u16string value);
std::optional<std::u16string> GlobalOption(std::int32_t option);
// A session option, else the global one of the same id.
std::optional<std::u16string> SessionOption(Session& session, std::int32_t option);

void SetRcmRecord(const ZEVO_RcmRecord* record);
std::optional<ZEVO_RcmRecord> RcmRecord();

// Marks a session busy for the life of the object; Acquired() is false when
// another long operation already runs on it.
class BusyScope {
 public:
  BusyScope(Session& session, std::int32_t state);
  ~BusyScope();
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;
  bool Acquired() const { return acquired_; }

 private:
  Session& session_;
  bool acquired_;
};

}  // namespace tarsk

#endif  // TARSK_SESSION_H_
