#include "fake_engine.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <tuple>
#include <type_traits>
#include <utility>

namespace zevo::testing {

namespace {

constexpr std::int32_t kNoFakeInstalled = -9999;
constexpr std::int32_t kInvalidArgument = -1;
constexpr std::int32_t kNoSuchHandle = -2;

struct Enumeration {
  std::int32_t table;
  std::vector<std::u16string> rows;
  std::size_t next = 0;
};

std::u16string TextOf(const char16_t* text) { return text == nullptr ? std::u16string() : std::u16string(text); }

// Copies `text` into a buffer of `capacity` characters, terminated.
void CopyOut(std::u16string_view text, char16_t* buffer, std::int32_t capacity) {
  if (buffer == nullptr || capacity <= 0) return;
  const std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(capacity) - 1);
  std::copy_n(text.data(), n, buffer);
  buffer[n] = u'\0';
}

std::u16string FieldOf(const std::u16string& row, std::int32_t field) {
  std::size_t begin = 0;
  for (std::int32_t i = 0; i < field; ++i) {
    begin = row.find(kRowFieldSeparator, begin);
    if (begin == std::u16string::npos) return {};
    ++begin;
  }
  return row.substr(begin, row.find(kRowFieldSeparator, begin) - begin);
}

bool FieldIsNumber(const std::u16string& field, std::int32_t key) {
  std::string narrow;
  for (char16_t c : field) narrow.push_back(static_cast<char>(c));
  try {
    std::size_t used = 0;
    return !narrow.empty() && std::stoll(narrow, &used) == key && used == narrow.size();
  } catch (...) {
    return false;
  }
}

}  // namespace

struct FakeEngine::State {
  mutable std::mutex mutex;
  // Signalled whenever a blocking scan starts or a stop arrives.
  mutable std::condition_variable scan_changed;
  bool scan_blocks = false;
  std::multiset<std::int32_t> blocked_scans;
  std::multiset<std::int32_t> stops;
  std::vector<Call> calls;
  std::map<std::string, std::int32_t, std::less<>> statuses;
  // Calls per name so far, and statuses for one numbered call of a name.
  std::map<std::string, std::size_t, std::less<>> call_counts;
  std::map<std::pair<std::string, std::size_t>, std::int32_t> call_statuses;
  std::vector<TKC_ITEM> items;
  std::vector<std::u16string> companies;
  std::vector<bool> selected;
  std::map<std::u16string, std::vector<std::uint32_t>> company_indexes;
  bool backup_writes_file = true;
  std::vector<Backup> backups;
  std::vector<Clean> cleans;
  std::set<std::int32_t> sessions;
  std::int32_t next_session = 1;
  std::map<std::int32_t, std::int32_t> pattern_source;
  std::vector<Option> options;
  std::vector<RcmCall> rcm_calls;
  std::vector<WhitelistEntry> whitelist;
  std::int32_t last_error_code = 0;
  std::u16string last_error_text;
  std::u16string pattern_version = u"1.234.00";
  std::u16string engine_version = u"3.2.0.1024";
  std::map<std::int32_t, std::vector<std::u16string>> rows;
  std::map<std::int32_t, std::int32_t> forced_enumeration;
  std::map<std::int32_t, Enumeration> enumerations;
  std::int32_t next_enumeration = 100;

  // --- Simulations (mutex held) ---------------------------------------------
  std::int32_t Init(std::int32_t* out) {
    if (out == nullptr) return kInvalidArgument;
    *out = next_session++;
    sessions.insert(*out);
    return 0;
  }
  std::int32_t Quit(std::int32_t h) {
    if (sessions.erase(h) == 0) return kNoSuchHandle;
    pattern_source.erase(h);
    return 0;
  }
  std::int32_t ReadPattern(std::int32_t h, std::int32_t shared) {
    if (sessions.count(h) == 0) return kNoSuchHandle;
    pattern_source[h] = shared;
    return 0;
  }
  std::int32_t SetOption(std::int32_t h, std::int32_t id, const char16_t* value) {
    options.push_back({h, id, TextOf(value)});
    return 0;
  }
  const Option* FindOption(std::int32_t h, std::int32_t id) const {
    for (auto it = options.rbegin(); it != options.rend(); ++it) {
      if (it->handle == h && it->id == id) return &*it;
    }
    return nullptr;
  }
  std::int32_t GetOption(std::int32_t h, std::int32_t id, char16_t* value, std::int32_t capacity) {
    const Option* option = FindOption(h, id);
    if (option != nullptr) CopyOut(option->value, value, capacity);
    return option != nullptr ? 0 : kInvalidArgument;
  }
  std::int32_t Property(const std::u16string& text, char16_t* buffer, std::int32_t capacity) {
    if (buffer == nullptr) return kInvalidArgument;
    CopyOut(text, buffer, capacity);
    return 0;
  }
  std::int32_t LastError(std::int32_t* code, char16_t* text, std::int32_t capacity) {
    if (code != nullptr) *code = last_error_code;
    CopyOut(last_error_text, text, capacity);
    return 0;
  }
  std::int32_t SetRcm(std::int32_t h, const ZEVO_RcmRecord* record, std::uint32_t size) {
    rcm_calls.push_back({h, record != nullptr ? std::optional(*record) : std::nullopt, size});
    return 0;
  }
  std::int32_t OpenEnum(std::int32_t table, std::optional<std::pair<std::int32_t, std::int32_t>> key,
                        std::int32_t* out) {
    if (out == nullptr) return kInvalidArgument;
    if (auto forced = forced_enumeration.find(table); forced != forced_enumeration.end()) {
      *out = forced->second;
      return 0;
    }
    Enumeration e{table, {}, 0};
    for (const auto& row : rows[table]) {
      if (!key || FieldIsNumber(FieldOf(row, key->first), key->second)) e.rows.push_back(row);
    }
    *out = next_enumeration++;
    enumerations.emplace(*out, std::move(e));
    return 0;
  }
  std::int32_t NextRow(std::int32_t enumeration, bool first, char16_t* row, std::int32_t capacity, std::int32_t noRow) {
    auto it = enumerations.find(enumeration);
    if (it == enumerations.end()) return kNoSuchHandle;
    if (row == nullptr) return kInvalidArgument;
    Enumeration& e = it->second;
    if (first) e.next = 0;
    if (e.next >= e.rows.size()) return noRow;
    CopyOut(e.rows[e.next++], row, capacity);
    return 0;
  }
  std::int32_t CloseEnum(std::int32_t enumeration) { return enumerations.erase(enumeration) == 0 ? kNoSuchHandle : 0; }
  // Waits on `lock` (the state's mutex) until a stop for h or the end of
  // blocking; the stop is used up.
  std::int32_t Scan(std::unique_lock<std::mutex>& lock, std::int32_t h) {
    if (!scan_blocks) return 0;
    blocked_scans.insert(h);
    scan_changed.notify_all();
    scan_changed.wait(lock, [&] { return !scan_blocks || stops.count(h) != 0; });
    blocked_scans.erase(blocked_scans.find(h));
    if (auto stop = stops.find(h); stop != stops.end()) stops.erase(stop);
    return 0;
  }
  // A stop reaches only a scan that is running; it is not kept for later.
  std::int32_t StopScan(std::int32_t h) {
    if (blocked_scans.count(h) != 0) stops.insert(h);
    scan_changed.notify_all();
    return 0;
  }
  std::int32_t AddWhitelist(std::int32_t h, const TKC_WHITELIST_ITEM* item) {
    if (item == nullptr) return kInvalidArgument;
    whitelist.push_back({h, *item});
    return 0;
  }

  // --- Items ------------------------------------------------------------------
  std::int32_t GetItem(std::uint32_t index, TKC_ITEM* item) {
    if (item == nullptr || item->size != kTkcItemSize || index >= items.size()) return kInvalidArgument;
    *item = items[index];
    return 0;
  }
  std::int32_t Select(std::uint32_t index, std::int32_t select) {
    if (index == kAllItems) {
      selected.assign(items.size(), select != 0);
      return 0;
    }
    if (index >= items.size()) return kInvalidArgument;
    selected[index] = select != 0;
    return 0;
  }
  std::vector<std::uint32_t> SelectedIndexes() const {
    std::vector<std::uint32_t> indexes;
    for (std::uint32_t i = 0; i < selected.size(); ++i) {
      if (selected[i]) indexes.push_back(i);
    }
    return indexes;
  }
  std::u16string CompanyOf(std::size_t i) const {
    return i < companies.size() ? companies[i] : std::u16string(items[i].companyText);
  }
  std::int32_t IndexesOf(const char16_t* company, std::uint32_t* indexes, std::int32_t* inOut) {
    if (company == nullptr || inOut == nullptr) return kInvalidArgument;
    std::vector<std::uint32_t> found;
    if (auto it = company_indexes.find(company); it != company_indexes.end()) {
      found = it->second;
    } else {
      for (std::uint32_t i = 0; i < items.size(); ++i) {
        if (CompanyOf(i) == company) found.push_back(i);
      }
    }
    if (indexes == nullptr) {
      *inOut = static_cast<std::int32_t>(found.size());
      return 0;
    }
    const std::size_t n = std::min<std::size_t>(found.size(), static_cast<std::size_t>(std::max(*inOut, 0)));
    std::copy_n(found.begin(), n, indexes);
    *inOut = static_cast<std::int32_t>(n);
    return 0;
  }
  std::u16string OptionOf(std::int32_t h, std::int32_t id) const {
    const Option* option = FindOption(h, id);
    return option != nullptr ? option->value : std::u16string();
  }
  std::int32_t WriteBackup(std::int32_t h) {
    Backup backup{h, OptionOf(h, kOptionBackupPath), OptionOf(h, kOptionBackupPrefix), SelectedIndexes(), {}};
    const bool write = backup_writes_file && !backup.selected.empty();
    if (write && backup.folder.empty()) return kInvalidArgument;
    if (write) {
      std::u16string path = backup.folder;
      if (!path.empty() && path.back() != u'/' && path.back() != u'\\') path.push_back(u'/');
      const std::string n = std::to_string(backups.size() + 1);
      path += backup.prefix + u'_' + std::u16string(n.begin(), n.end()) + u".tkb";
      std::ofstream out(std::filesystem::path(path), std::ios::binary);
      for (std::uint32_t i : backup.selected) out << items[i].itemId << '\n';
      if (!out.flush()) return -5;
      backup.file = path;
    }
    backups.push_back(std::move(backup));
    return 0;
  }
  std::int32_t CleanSelected(std::int32_t h) {
    cleans.push_back({h, SelectedIndexes()});
    for (std::uint32_t i : cleans.back().selected) {
      items[i].resultFlags |= kItemFlagCleaned;
      items[i].state = 1;
    }
    return 0;
  }
  std::int32_t Remove(std::uint32_t index) {
    if (index == kAllItems) {
      items.clear();
      companies.clear();
      selected.clear();
      return 0;
    }
    if (index >= items.size()) return kInvalidArgument;
    items.erase(items.begin() + index);
    selected.erase(selected.begin() + index);
    if (index < companies.size()) companies.erase(companies.begin() + index);
    return 0;
  }
};

namespace {

std::atomic<FakeEngine::State*> g_current{nullptr};

constexpr std::size_t IndexOf(std::string_view name) {
  for (std::size_t i = 0; i < kTkFunctionNames.size(); ++i) {
    if (name == kTkFunctionNames[i]) return i;
  }
  return kTkFunctionNames.size();
}

template <typename T>
void Collect(FakeEngine::Call& call, T value) {
  if constexpr (std::is_integral_v<T>) {
    call.ints.push_back(static_cast<std::int64_t>(value));
  } else if constexpr (std::is_same_v<T, const char16_t*>) {
    call.texts.push_back(TextOf(value));
  }
  // Output buffers and records are not recorded.
}

template <std::size_t I, typename... A>
std::int32_t Simulate(FakeEngine::State& s, std::unique_lock<std::mutex>& lock, A... a) {
  constexpr std::string_view name = kTkFunctionNames[I];
  [[maybe_unused]] const std::tuple<A...> t(a...);
  if constexpr (name == "TKInit") {
    return s.Init(std::get<2>(t));
  } else if constexpr (name == "TKQuit") {
    return s.Quit(a...);
  } else if constexpr (name == "TKReadSpywarePattern") {
    return s.ReadPattern(std::get<0>(t), std::get<1>(t));
  } else if constexpr (name == "TKSetOption") {
    return s.SetOption(a...);
  } else if constexpr (name == "TKGetOption") {
    return s.GetOption(a...);
  } else if constexpr (name == "TKGetPatternProperty") {
    return s.Property(s.pattern_version, std::get<2>(t), std::get<3>(t));
  } else if constexpr (name == "TKGetEngineProperty") {
    return s.Property(s.engine_version, std::get<1>(t), std::get<2>(t));
  } else if constexpr (name == "TKGetLastError") {
    return s.LastError(std::get<1>(t), std::get<2>(t), std::get<3>(t));
  } else if constexpr (name == "TKSetRCMTable") {
    return s.SetRcm(a...);
  } else if constexpr (name == "TKOpenTableSeqEnum") {
    return s.OpenEnum(std::get<1>(t), std::nullopt, std::get<2>(t));
  } else if constexpr (name == "TKOpenTableLongEnum") {
    return s.OpenEnum(std::get<1>(t), std::make_pair(std::get<2>(t), std::get<3>(t)), std::get<4>(t));
  } else if constexpr (name == "TKGetFirstRow" || name == "TKGetNextRow") {
    return s.NextRow(std::get<1>(t), name == "TKGetFirstRow", std::get<2>(t), std::get<3>(t), FakeEngine::kNoMoreRows);
  } else if constexpr (name == "TKGetRowById") {
    return s.NextRow(std::get<1>(t), true, std::get<2>(t), std::get<3>(t), kNoRow);
  } else if constexpr (name == "TKCloseHandle") {
    return s.CloseEnum(std::get<1>(t));
  } else if constexpr (name == "TKScan") {
    return s.Scan(lock, std::get<0>(t));
  } else if constexpr (name == "TKStopScan") {
    return s.StopScan(a...);
  } else if constexpr (name == "TKAddWhitelistItem") {
    return s.AddWhitelist(a...);
  } else if constexpr (name == "TKGetItemCount") {
    if (auto* out = std::get<1>(t); out != nullptr) *out = static_cast<std::int32_t>(s.items.size());
    return 0;
  } else if constexpr (name == "TKGetItem") {
    return s.GetItem(std::get<1>(t), std::get<2>(t));
  } else if constexpr (name == "TKSelectItems") {
    return s.Select(std::get<1>(t), std::get<2>(t));
  } else if constexpr (name == "TKGetItemIndexByCompanyName") {
    return s.IndexesOf(std::get<1>(t), std::get<2>(t), std::get<3>(t));
  } else if constexpr (name == "TKBackup") {
    return s.WriteBackup(std::get<0>(t));
  } else if constexpr (name == "TKClean") {
    return s.CleanSelected(std::get<0>(t));
  } else if constexpr (name == "TKRemoveItems") {
    return s.Remove(std::get<1>(t));
  } else {
    (void)lock;
    return 0;
  }
}

template <std::size_t I, typename Signature>
struct Entry;

template <std::size_t I, typename... A>
struct Entry<I, std::int32_t(A...)> {
  static std::int32_t Fn(A... a) noexcept {
    FakeEngine::State* s = g_current.load();
    if (s == nullptr) return kNoFakeInstalled;
    std::unique_lock lock(s->mutex);
    FakeEngine::Call call{std::string(kTkFunctionNames[I]), {}, {}};
    (Collect(call, a), ...);
    s->calls.push_back(std::move(call));
    const std::size_t number = ++s->call_counts[std::string(kTkFunctionNames[I])];
    if (auto it = s->call_statuses.find({std::string(kTkFunctionNames[I]), number}); it != s->call_statuses.end()) {
      return it->second;
    }
    if (auto it = s->statuses.find(kTkFunctionNames[I]); it != s->statuses.end() && it->second != 0) {
      return it->second;
    }
    return Simulate<I>(*s, lock, a...);
  }
};

TkFunctionTable MakeTable() {
  TkFunctionTable table;
#define ZEVO_FAKE_ENTRY(name) table.name = &Entry<IndexOf(#name), FN_##name>::Fn;
  ZEVO_TK_FUNCTIONS(ZEVO_FAKE_ENTRY)
#undef ZEVO_FAKE_ENTRY
  return table;
}

}  // namespace

FakeEngine::FakeEngine() : state_(std::make_unique<State>()) { previous_ = g_current.exchange(state_.get()); }

FakeEngine::~FakeEngine() {
  State* expected = state_.get();
  g_current.compare_exchange_strong(expected, previous_);
}

const TkFunctionTable& FakeEngine::Table() noexcept {
  static const TkFunctionTable table = MakeTable();
  return table;
}

std::u16string FakeEngine::Row(std::initializer_list<std::u16string_view> fields) {
  std::u16string row;
  bool first = true;
  for (auto field : fields) {
    if (!first) row.push_back(kRowFieldSeparator);
    first = false;
    row.append(field);
  }
  return row;
}

#define ZEVO_FAKE_LOCK std::lock_guard lock(state_->mutex)
// Setters that store their argument, getters that copy a member out.
#define ZEVO_FAKE_SET(Name, Type, member) \
  void FakeEngine::Name(Type value) {     \
    ZEVO_FAKE_LOCK;                       \
    state_->member = std::move(value);    \
  }
#define ZEVO_FAKE_GET(Type, Name, expression) \
  Type FakeEngine::Name() const {             \
    ZEVO_FAKE_LOCK;                           \
    return expression;                        \
  }

ZEVO_FAKE_SET(SetBackupWritesFile, bool, backup_writes_file)
ZEVO_FAKE_SET(SetNextSession, std::int32_t, next_session)
ZEVO_FAKE_SET(SetPatternVersion, std::u16string, pattern_version)
ZEVO_FAKE_SET(SetEngineVersion, std::u16string, engine_version)
ZEVO_FAKE_GET(std::vector<FakeEngine::Call>, Calls, state_->calls)
ZEVO_FAKE_GET(std::vector<FakeEngine::Option>, Options, state_->options)
ZEVO_FAKE_GET(std::vector<FakeEngine::RcmCall>, RcmCalls, state_->rcm_calls)
ZEVO_FAKE_GET(std::vector<FakeEngine::WhitelistEntry>, Whitelist, state_->whitelist)
ZEVO_FAKE_GET(std::size_t, OpenEnumerations, state_->enumerations.size())
ZEVO_FAKE_GET(std::vector<TKC_ITEM>, Items, state_->items)
ZEVO_FAKE_GET(std::vector<FakeEngine::Backup>, Backups, state_->backups)
ZEVO_FAKE_GET(std::vector<FakeEngine::Clean>, Cleans, state_->cleans)
#undef ZEVO_FAKE_SET
#undef ZEVO_FAKE_GET

void FakeEngine::SetStatus(std::string_view name, std::int32_t status) {
  ZEVO_FAKE_LOCK;
  state_->statuses[std::string(name)] = status;
}
void FakeEngine::SetStatusOnCall(std::string_view name, std::size_t nth, std::int32_t status) {
  ZEVO_FAKE_LOCK;
  const std::string key(name);
  state_->call_statuses[{key, state_->call_counts[key] + nth}] = status;
}
void FakeEngine::SetItems(std::vector<TKC_ITEM> items, std::vector<std::u16string> companies) {
  ZEVO_FAKE_LOCK;
  state_->selected.assign(items.size(), false);
  state_->items = std::move(items);
  state_->companies = std::move(companies);
}
void FakeEngine::SetCompanyIndexes(std::u16string company, std::vector<std::uint32_t> indexes) {
  ZEVO_FAKE_LOCK;
  state_->company_indexes[std::move(company)] = std::move(indexes);
}
void FakeEngine::SetScanBlocks(bool block) {
  ZEVO_FAKE_LOCK;
  state_->scan_blocks = block;
  state_->scan_changed.notify_all();
}
void FakeEngine::SetLastError(std::int32_t code, std::u16string text) {
  ZEVO_FAKE_LOCK;
  state_->last_error_code = code;
  state_->last_error_text = std::move(text);
}
void FakeEngine::SetRows(std::int32_t tableId, std::vector<std::u16string> rows) {
  ZEVO_FAKE_LOCK;
  state_->rows[tableId] = std::move(rows);
}
void FakeEngine::SetEnumerationHandle(std::int32_t tableId, std::int32_t handle) {
  ZEVO_FAKE_LOCK;
  state_->forced_enumeration[tableId] = handle;
}

std::vector<std::string> FakeEngine::CallNames() const {
  std::vector<std::string> names;
  for (const auto& call : Calls()) names.push_back(call.name);
  return names;
}
std::vector<FakeEngine::Call> FakeEngine::CallsOf(std::string_view name) const {
  std::vector<Call> calls = Calls();
  calls.erase(std::remove_if(calls.begin(), calls.end(), [&](const Call& c) { return c.name != name; }), calls.end());
  return calls;
}
std::size_t FakeEngine::CountCalls(std::string_view name) const { return CallsOf(name).size(); }
void FakeEngine::ClearCalls() {
  ZEVO_FAKE_LOCK;
  state_->calls.clear();
}
bool FakeEngine::IsOpen(std::int32_t handle) const {
  ZEVO_FAKE_LOCK;
  return state_->sessions.count(handle) != 0;
}
std::optional<std::int32_t> FakeEngine::PatternSource(std::int32_t handle) const {
  ZEVO_FAKE_LOCK;
  auto it = state_->pattern_source.find(handle);
  if (it == state_->pattern_source.end()) return std::nullopt;
  return it->second;
}

bool FakeEngine::WaitForBlockedScan(std::int32_t handle, std::chrono::milliseconds limit) const {
  std::unique_lock lock(state_->mutex);
  return state_->scan_changed.wait_for(lock, limit, [&] { return state_->blocked_scans.count(handle) != 0; });
}

#undef ZEVO_FAKE_LOCK

}  // namespace zevo::testing
