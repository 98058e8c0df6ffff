// FakeEngine: an in-process TARSK engine for unit tests of the driver.
//
// FakeEngine::Table() is a complete TkFunctionTable (all 66 entries set)
// whose entries forward to the FakeEngine object that currently exists;
// hand it to the driver's in-process constructor:
//
//   zevo::testing::FakeEngine engine;             // installs itself
//   CEngineTARSK driver(&organizer, zevo::testing::FakeEngine::Table());
//
// The newest FakeEngine is the current one; when it goes, the one it
// replaced is current again (destroy them in reverse order of creation).
// While none exists every entry answers kNoFakeInstalled. Every entry records its call (name, integral
// arguments in order, text arguments in order), then answers the status set
// with SetStatus for that name if it is nonzero (the simulated effect is
// skipped: out parameters are left alone), else simulates:
//
//   TKInit            new session handle (1, 2, ...; see SetNextSession) into
//                     *outHandle; -1 for a null out pointer
//   TKQuit            closes a session; -2 for an unknown one
//   TKReadSpywarePattern  remembers (handle -> shared session); -2 unknown h
//   TKSetOption       appends to Options(); TKGetOption reads the last value
//   TKGetPatternProperty / TKGetEngineProperty  the version texts (cut to
//                     capacity - 1, terminated); -1 for a null buffer
//   TKGetLastError    code and text of SetLastError
//   TKSetRCMTable     appends to RcmCalls() (record copied when not null)
//   TKOpenTableSeqEnum / TKOpenTableLongEnum  an enumeration over the rows of
//                     SetRows(tableId) (all, or those whose field `keyField`
//                     is the number `key`); SetEnumerationHandle forces the
//                     handle written (e.g. a negative one, status 0)
//   TKGetFirstRow / TKGetNextRow  rows in order, -1000 after the last;
//                     TKGetRowById the first row, kNoRow (-2000) when none
//   TKCloseHandle     ends an enumeration; -2 for an unknown one
//   TKAddWhitelistItem  appends the record to Whitelist()
//   TKGetItemCount    the number of items (SetItems; one list for every
//                     session)
//   TKGetItem         copies item `index`; -1 for a null record, a size
//                     field other than 3428, or an index out of range
//   TKSelectItems     (de)selects one item or all (0xFFFFFFFF); -1 out of range
//   TKGetItemIndexByCompanyName  the indexes of the items of that company
//                     (SetItems' companies, else the item's company text), or
//                     those of SetCompanyIndexes; null array: the count
//   TKBackup          with items selected (and SetBackupWritesFile not off):
//                     writes "<option 16>_<n>.tkb" (n = 1, 2, ...) into the
//                     session's last option-14 folder, listing the selected
//                     item ids; -1 without an option-14 folder, -5 when the
//                     file cannot be written; nothing selected: no file.
//                     Every call that answers 0 appends to Backups()
//   TKClean           appends the selected indexes to Cleans(); marks those
//                     items cleaned (result flag 1, state 1)
//   TKRemoveItems     removes one item or all (0xFFFFFFFF); -1 out of range
//   TKScan            with SetScanBlocks(true): waits (fake's mutex released)
//                     until TKStopScan is called for its handle, or blocking
//                     is turned off, then answers 0
//   TKStopScan        wakes such a scan on its handle (no effect otherwise)
// Every other entry (TKRestore, TKAddReferentialScanItem,
// TKScanRelatedReferences among them) only records and answers 0 (or its
// SetStatus / SetStatusOnCall).
//
// Thread safe: every entry and accessor takes the fake's mutex (no entry
// calls back into the caller).
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
  // Answer of every entry while no FakeEngine exists.
  static constexpr std::int32_t kNoFakeInstalled = -9999;
  // Status of TKGetFirstRow/TKGetNextRow after the last row.
  static constexpr std::int32_t kNoMoreRows = -1000;

  struct Call {
    std::string name;
    std::vector<std::int64_t> ints;     // integral arguments, in order
    std::vector<std::u16string> texts;  // const char16_t* arguments (null -> empty)
  };
  struct Option {
    std::int32_t handle;  // 0 = global
    std::int32_t id;
    std::u16string value;
  };
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
    std::u16string folder;                // option 14 at the time
    std::u16string prefix;                // option 16 at the time
    std::vector<std::uint32_t> selected;  // item indexes
    std::u16string file;                  // path written; empty when none
  };
  struct Clean {
    std::int32_t handle;
    std::vector<std::uint32_t> selected;  // item indexes
  };

  FakeEngine();
  ~FakeEngine();
  FakeEngine(const FakeEngine&) = delete;
  FakeEngine& operator=(const FakeEngine&) = delete;

  // All 66 entries, forwarding to the current FakeEngine.
  static const TkFunctionTable& Table() noexcept;
  // Joins row fields with U+007F.
  static std::u16string Row(std::initializer_list<std::u16string_view> fields);

  // --- Control ------------------------------------------------------------
  // Entry `name` (e.g. "TKSetOption") answers `status` from now on (0 =
  // simulate again).
  void SetStatus(std::string_view name, std::int32_t status);
  // Only the `nth` call of `name` from now on (1 = the next one) answers
  // `status`; it wins over SetStatus.
  void SetStatusOnCall(std::string_view name, std::size_t nth, std::int32_t status);
  void SetNextSession(std::int32_t handle);
  void SetLastError(std::int32_t code, std::u16string text);
  void SetPatternVersion(std::u16string text);  // default u"1.234.00"
  void SetEngineVersion(std::u16string text);   // default u"3.2.0.1024"
  void SetRows(std::int32_t tableId, std::vector<std::u16string> rows);
  // The enumeration handle written by TKOpenTable*Enum for that table
  // (no enumeration is opened then); ClearEnumerationHandle undoes it.
  void SetEnumerationHandle(std::int32_t tableId, std::int32_t handle);
  void ClearEnumerationHandle(std::int32_t tableId);
  // While set, TKScan waits for TKStopScan on its handle (see above).
  // Turning it off releases every waiting scan.
  void SetScanBlocks(bool block);
  // The session items, none selected. companies[i] (when given) is the
  // company TKGetItemIndexByCompanyName finds item i by.
  void SetItems(std::vector<TKC_ITEM> items, std::vector<std::u16string> companies = {});
  // TKGetItemIndexByCompanyName answers exactly `indexes` for `company`.
  void SetCompanyIndexes(std::u16string company, std::vector<std::uint32_t> indexes);
  // Off: TKBackup answers 0 without writing a file.
  void SetBackupWritesFile(bool write);

  // --- Observation ----------------------------------------------------------
  std::vector<Call> Calls() const;
  std::vector<std::string> CallNames() const;
  std::vector<Call> CallsOf(std::string_view name) const;
  std::size_t CountCalls(std::string_view name) const;
  void ClearCalls();

  std::vector<std::int32_t> OpenSessions() const;  // ascending
  bool IsOpen(std::int32_t handle) const;
  // The shared session of the pattern load of `handle`; empty when none.
  std::optional<std::int32_t> PatternSource(std::int32_t handle) const;
  std::vector<Option> Options() const;
  std::vector<RcmCall> RcmCalls() const;
  std::vector<WhitelistEntry> Whitelist() const;
  std::size_t OpenEnumerations() const;
  std::vector<TKC_ITEM> Items() const;
  std::vector<bool> Selection() const;
  std::vector<Backup> Backups() const;
  std::vector<Clean> Cleans() const;
  // Waits until a TKScan on `handle` is waiting (SetScanBlocks); false when
  // none started within `limit`.
  bool WaitForBlockedScan(std::int32_t handle,
                          std::chrono::milliseconds limit = std::chrono::seconds(30)) const;

  struct State;  // the simulation, shared with the entries

 private:
  std::unique_ptr<State> state_;
  State* previous_ = nullptr;
};

}  // namespace zevo::testing

#endif  // ZEVO_TESTS_SUPPORT_FAKE_ENGINE_H_
