// TKBackup and TKRestore on .tkb files in the backup path (option 14).
#include <random>
#include <set>

#include "backup_file.h"
#include "detect.h"
#include "file_io.h"
#include "operations.h"
#include "platform.h"
#include "status.h"
#include "text.h"

namespace tarsk {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxPrefixChars = 64;

// The backup prefix with every character a file name may not hold replaced.
std::u16string SafePrefix(std::u16string_view prefix) {
  std::u16string safe;
  for (const char16_t c : prefix.substr(0, kMaxPrefixChars)) {
    const bool bad = c < 0x20 || c == 0x7F || std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos;
    safe.push_back(bad ? u'_' : c);
  }
  while (!safe.empty() && (safe.back() == u'.' || safe.back() == u' ')) safe.pop_back();
  return safe.empty() ? u"backup" : safe;
}

std::u16string RandomSuffix() {
  std::random_device device;
  const std::uint64_t value = (static_cast<std::uint64_t>(device()) << 32) | device();
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  std::u16string text;
  for (int shift = 60; shift >= 0; shift -= 4) text.push_back(kDigits[(value >> shift) & 0xF]);
  return text;
}

std::optional<fs::path> BackupFolder(Session& session) {
  const std::u16string folder = SessionOption(session, zevo::kOptionBackupPath).value_or(u"");
  std::error_code ec;
  if (folder.empty() || !fs::is_directory(ToPath(folder), ec)) return std::nullopt;
  return ToPath(folder);
}

// The entry of one selected item; false when its file cannot be read.
bool EntryOf(const Item& item, BackupEntry& entry) {
  std::error_code ec;
  const auto bytes = ReadFileBytes(item.path);
  const fs::file_status status = fs::status(item.path, ec);
  const auto written = fs::last_write_time(item.path, ec);
  if (!bytes || ec) return false;
  entry.path = FromPath(item.path);
  entry.permissions = static_cast<std::uint32_t>(status.permissions());
  entry.lastWriteTime = written.time_since_epoch().count();
  entry.type = item.record.kind == kKindCookie ? kEntryCookieFile : kEntryWholeFile;
  entry.data = *bytes;
  return true;
}

// Whether an existing target keeps a whole-file entry from being restored:
// true for different content; `skip` is set when it already holds the bytes.
bool Conflicts(const BackupEntry& entry, bool& skip) {
  const fs::path target = ToPath(entry.path);
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(target, ec);
  skip = false;
  if (!fs::exists(status)) return false;
  if (!fs::is_regular_file(status)) return true;
  const auto bytes = ReadFileBytes(target);
  skip = bytes && Sha256Of(*bytes) == entry.digest;
  return !skip;
}

void RestoreAttributes(const fs::path& target, const BackupEntry& entry) {
  std::error_code ec;
  fs::permissions(target, static_cast<fs::perms>(entry.permissions) & fs::perms::mask, fs::perm_options::replace, ec);
  fs::last_write_time(target, fs::file_time_type(fs::file_time_type::duration(entry.lastWriteTime)), ec);
}

// Whether every line of `part` appears in `whole` in the same order.
bool IsSubsequence(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
  std::size_t at = 0;
  for (const std::string& line : whole) {
    if (at < part.size() && part[at] == line) ++at;
  }
  return at == part.size();
}

// A cookie file that still holds only lines of the saved one gets the saved
// file back exactly; one that gained other lines since keeps them, and the
// saved lines it lacks are appended.
bool RestoreCookieFile(const fs::path& target, const BackupEntry& entry) {
  const std::optional<std::string> current = ReadFileBytes(target);
  const std::vector<std::string> saved = SplitLines(entry.data);
  if (!current || IsSubsequence(SplitLines(*current), saved)) {
    return ReplaceFile(target, entry.data);
  }
  std::string text = *current;
  const std::vector<std::string> present = SplitLines(text);
  const std::set<std::string> have(present.begin(), present.end());
  if (!text.empty() && text.back() != '\n') text += '\n';
  for (const std::string& line : saved) {
    if (have.count(line) == 0) text += line + "\n";
  }
  return ReplaceFile(target, text);
}

bool RestoreEntry(const BackupEntry& entry) {
  const fs::path target = ToPath(entry.path);
  std::error_code ec;
  fs::create_directories(target.parent_path(), ec);
  if (ec) return false;
  const bool written =
      entry.type == kEntryCookieFile ? RestoreCookieFile(target, entry) : ReplaceFile(target, entry.data);
  if (written) RestoreAttributes(target, entry);
  return written;
}

}  // namespace

std::int32_t Backup(Session& session) {
  const std::optional<fs::path> folder = BackupFolder(session);
  if (!folder) return Fail(session.handle, kIoError, u"backup path (option 14) is not a folder");
  const std::u16string prefix = SessionOption(session, zevo::kOptionBackupPrefix).value_or(u"");
  BusyScope busy(session, kStateCleaning);
  if (!busy.Acquired()) return Fail(session.handle, kBusy, u"another operation runs");
  std::vector<Item> selected;
  {
    zevo::host::MutexLock lock(&session.mu);
    for (const Item& item : session.items) {
      if (item.selected) selected.push_back(item);
    }
  }
  std::vector<BackupEntry> entries;
  std::set<std::pair<fs::path, bool>> seen;  // one entry per file (and per use of it)
  for (const Item& item : selected) {
    if (!seen.emplace(item.path, item.record.kind == kKindCookie).second) continue;
    BackupEntry entry;
    if (!EntryOf(item, entry)) return Fail(session.handle, kIoError, u"cannot read an item's file");
    entries.push_back(std::move(entry));
  }
  if (entries.empty()) return kOk;  // nothing selected: no file
  const fs::path file = *folder / ToPath(SafePrefix(prefix) + u"_" + RandomSuffix() + u".tkb");
  if (!ReplaceFile(file, EncodeBackup(entries))) {
    return Fail(session.handle, kIoError, u"cannot write the backup file");
  }
  return kOk;
}

std::int32_t Restore(Session& session, std::u16string_view backupFile) {
  const fs::path name = ToPath(backupFile);
  if (backupFile.empty() || name.has_parent_path() || name.filename() != name) {
    return Fail(session.handle, kInvalidArgument, u"backup file must be a plain file name");
  }
  const std::optional<fs::path> folder = BackupFolder(session);
  if (!folder) return Fail(session.handle, kIoError, u"backup path (option 14) is not a folder");
  BusyScope busy(session, kStateCleaning);
  if (!busy.Acquired()) return Fail(session.handle, kBusy, u"another operation runs");
  const auto bytes = ReadFileBytes(*folder / name);
  if (!bytes) return Fail(session.handle, kIoError, u"cannot read the backup file");
  std::vector<BackupEntry> entries;
  try {
    entries = DecodeBackup(*bytes);
  } catch (const std::runtime_error&) {
    return Fail(session.handle, kBackupCorrupt, u"backup file is damaged or was altered");
  }
  // Every check before the first write: a refused restore changes nothing.
  std::vector<bool> skip(entries.size(), false);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    bool same = false;
    if (entries[i].type == kEntryWholeFile && Conflicts(entries[i], same)) {
      return Fail(session.handle, kTargetExists, u"a different file exists at " + entries[i].path);
    }
    skip[i] = same;
  }
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (!skip[i] && !RestoreEntry(entries[i])) {
      return Fail(session.handle, kIoError, u"cannot write " + entries[i].path);
    }
  }
  return kOk;
}

}  // namespace tarsk
