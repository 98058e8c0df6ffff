// FakeEngine: an in-process TARSK engine for unit tests of the driver.
// Table() holds all 66 entries, forwarding to the newest FakeEngine alive
// (destroy them in reverse order of creation); with none alive every entry
// answers -9999. Every entry records its call (name, integral and text
// arguments in order), then answers its SetStatus/SetStatusOnCall status if
// nonzero (no effect, out parameters untouched), else simulates sessions
// (handles 1, 2, ...), pattern loads, options, version properties, the last
// error, the RCM table, the whitelist, table enumerations (-1000 after the
// last row, kNoRow for an unknown id), items (one list for every session:
// count, get, select, remove, indexes by company), backups that write
// "<option 16>_<n>.tkb" listing the selected item ids into the last option-14
// folder (-1 without one, -5 unwritable), cleans (flag 1, state 1) and scans
// that block while SetScanBlocks is on, until TKStopScan on their handle. A
// null out pointer, an unknown handle or an index out of range answers -1 or
// -2; every other entry answers 0. Thread safe: every entry and accessor
// takes the fake's mutex.
#ifndef ZEVO_TESTS_SUPPORT_FAKE_ENGINE_H_
#define ZEVO_TESTS_SUPPORT_FAKE_ENGINE_H_

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "zevo/engine_api.h"
#include "zevo/records.h"

namespace zevo::testing {

class FakeEngine {
 public:
  // Status of TKGetFirstRow/TKGetNextRow after the last row.
  static constexpr std::int32_t kNoMoreRows = -1000;

  struct Call {
    std::string name;
    std::vector<std::int64_t> ints;     // integral arguments, in order
    std::vector<std::u16string> texts;  // const char16_t* arguments (null -> empty)
  };
  struct Option {
    std::int32_t handle;
    std::int32_t id;
    std::u16string value;
  };  // handle 0: global
  struct RcmCall {
    std::int32_t handle;
    std::optional<ZEVO_RcmRecord> record;  // empty when null was passed
    std::uint32_t size;
  };
  struct WhitelistEntry {
    std::int32_t handle;
    TKC_WHITELIST_ITEM record;
  };
  struct Backup {
    std::int32_t handle;
    std::u16string folder, prefix;        // options 14 and 16 at the time
    std::vector<std::uint32_t> selected;  // item indexes
    std::u16string file;                  // path written; empty when none
  };
  struct Clean {
    std::int32_t handle;
    std::vector<std::uint32_t> selected;
  };

  FakeEngine();
  ~FakeEngine();
  FakeEngine(const FakeEngine&) = delete;
  FakeEngine& operator=(const FakeEngine&) = delete;

  static const TkFunctionTable& Table() noexcept;
  // Joins row fields with U+007F.
  static std::u16string Row(std::initializer_list<std::u16string_view> fields);

  // Entry `name` (e.g. "TKSetOption") answers `status` from now on (0: simulate).
  void SetStatus(std::string_view name, std::int32_t status);
  // Only the `nth` call of `name` from now on (1 = the next one) answers
  // `status`; it wins over SetStatus.
  void SetStatusOnCall(std::string_view name, std::size_t nth, std::int32_t status);
  void SetNextSession(std::int32_t handle);
  void SetLastError(std::int32_t code, std::u16string text);
  void SetPatternVersion(std::u16string text);  // default u"1.234.00"
  void SetEngineVersion(std::u16string text);   // default u"3.2.0.1024"
  // TKOpenTableLongEnum keeps those whose field `keyField` is the number `key`.
  void SetRows(std::int32_t tableId, std::vector<std::u16string> rows);
  // The handle TKOpenTable*Enum writes for that table, opening nothing.
  void SetEnumerationHandle(std::int32_t tableId, std::int32_t handle);
  // Turning it off releases every waiting scan.
  void SetScanBlocks(bool block);
  // The items, none selected; companies[i]: the company item i is found by.
  void SetItems(std::vector<TKC_ITEM> items, std::vector<std::u16string> companies = {});
  // What TKGetItemIndexByCompanyName answers for `company`, whatever the items.
  void SetCompanyIndexes(std::u16string company, std::vector<std::uint32_t> indexes);
  void SetBackupWritesFile(bool write);  // off: TKBackup answers 0, writes nothing

  std::vector<Call> Calls() const;
  std::vector<std::string> CallNames() const;
  std::vector<Call> CallsOf(std::string_view name) const;
  std::size_t CountCalls(std::string_view name) const;
  void ClearCalls();

  bool IsOpen(std::int32_t handle) const;
  // The shared session of the pattern load of `handle`; empty when none.
  std::optional<std::int32_t> PatternSource(std::int32_t handle) const;
  std::vector<Option> Options() const;
  std::vector<RcmCall> RcmCalls() const;
  std::vector<WhitelistEntry> Whitelist() const;
  std::size_t OpenEnumerations() const;
  std::vector<TKC_ITEM> Items() const;
  std::vector<Backup> Backups() const;
  std::vector<Clean> Cleans() const;
  // Waits until a TKScan on `handle` waits (SetScanBlocks); false after `limit`.
  bool WaitForBlockedScan(std::int32_t handle, std::chrono::milliseconds limit = std::chrono::seconds(30)) const;

  struct State;  // the simulation, shared with the entries

 private:
  std::unique_ptr<State> state_;
  State* previous_ = nullptr;
};

}  // namespace zevo::testing

#endif  // ZEVO_TESTS_SUPPORT_FAKE_ENGINE_H_
