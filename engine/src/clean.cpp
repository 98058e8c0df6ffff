// TKClean: deletes the files of selected file items and removes the lines
// of selected tracking cookies from their cookie files.
#include <set>

#include "detect.h"
#include "file_io.h"
#include "operations.h"
#include "status.h"

namespace tarsk {

namespace {

namespace fs = std::filesystem;

bool RemoveFile(const fs::path& file) {
  std::error_code ec;
  if (fs::remove(file, ec)) return true;
  // A read-only file (Windows) must be made writable before it can go.
  fs::permissions(file, fs::perms::owner_write, fs::perm_options::add, ec);
  return !ec && fs::remove(file, ec);
}

bool RemoveCookieLines(const fs::path& file, std::u16string_view domain) {
  const auto text = ReadFileBytes(file);
  if (!text) return false;
  std::string kept;
  bool removed = false;
  for (const std::string& line : SplitLines(*text)) {
    const std::u16string lineDomain = CookieLineDomain(line);
    if (!lineDomain.empty() && DomainMatches(lineDomain, domain)) {
      removed = true;
      continue;
    }
    kept += line;
    kept += '\n';
  }
  return !removed || ReplaceFile(file, kept);
}

// Result flags of the cleaned item, 0 when it could not be cleaned.
std::uint32_t CleanOne(const Item& item, std::set<fs::path>& deleted) {
  bool cleaned = false;
  if (item.record.kind == kKindCookie) {
    cleaned = RemoveCookieLines(item.path, item.cookieDomain);
  } else if (deleted.count(item.path) != 0) {
    cleaned = true;  // another item of the same file already removed it
  } else if (RemoveFile(item.path)) {
    deleted.insert(item.path);
    cleaned = true;
  }
  if (!cleaned) return 0;
  return ZEVO_ITEM_FLAG_CLEANED | (item.needsRestart ? ZEVO_ITEM_FLAG_CLEANED_REPORTED : 0u);
}

}  // namespace

std::int32_t Clean(Session& session) {
  BusyScope busy(session, kStateCleaning);
  if (!busy.Acquired()) return Fail(session.handle, kBusy, u"another operation runs");
  std::vector<std::pair<std::size_t, Item>> work;
  {
    zevo::host::MutexLock lock(&session.mu);
    for (std::size_t i = 0; i < session.items.size(); ++i) {
      if (session.items[i].selected) work.emplace_back(i, session.items[i]);
    }
  }
  std::set<fs::path> deleted;
  std::size_t failed = 0;
  for (auto& [index, item] : work) {
    const std::uint32_t flags = CleanOne(item, deleted);
    if (flags == 0) ++failed;
    zevo::host::MutexLock lock(&session.mu);
    if (index < session.items.size() && session.items[index].path == item.path) {
      TKC_ITEM& record = session.items[index].record;
      record.resultFlags = (record.resultFlags & ~3u) | flags;
      record.state = flags != 0 ? 1 : 0;
    }
  }
  if (failed != 0) Fail(session.handle, kIoError, u"some items could not be cleaned");
  return kOk;
}

}  // namespace tarsk
