// Referential scan: references added by the host become items; the scan
// finds the detected files related to them.
#include "detect.h"
#include "operations.h"
#include "platform.h"
#include "status.h"
#include "text.h"

namespace tarsk {

namespace {

namespace fs = std::filesystem;

bool Known(const std::vector<Item>& items, const Item& item) {
  for (const Item& other : items) {
    if (other.record.itemId == item.record.itemId && other.path == item.path) return true;
  }
  return false;
}

// Files related to one reference: its folder's files (a file reference) or
// the whole tree (a folder reference), limited by the glob.
std::vector<fs::path> RelatedFiles(const Reference& reference) {
  const fs::path path = ToPath(reference.first);
  const std::u16string glob = reference.second.empty() ? u"*" : reference.second;
  std::vector<fs::path> files;
  auto consider = [&](const fs::directory_entry& entry) {
    std::error_code ec;
    const fs::file_status status = entry.symlink_status(ec);
    if (!ec && fs::is_regular_file(status) && GlobMatch(glob, FromPath(entry.path().filename())) &&
        IsWithinScanRoots(entry.path())) {
      files.push_back(entry.path());
    }
  };
  std::error_code ec;
  if (fs::is_directory(fs::symlink_status(path, ec))) {
    fs::recursive_directory_iterator it(path, fs::directory_options::skip_permission_denied, ec);
    for (const fs::recursive_directory_iterator end; !ec && it != end; it.increment(ec)) {
      consider(*it);
    }
  } else {
    fs::directory_iterator it(path.parent_path(), ec);
    for (const fs::directory_iterator end; !ec && it != end; it.increment(ec)) consider(*it);
  }
  return files;
}

}  // namespace

std::int32_t AddReference(Session& session, std::u16string_view first, std::u16string_view second,
                          std::u16string_view third) {
  std::error_code ec;
  const fs::path path = ToPath(first);
  const fs::file_status status = fs::symlink_status(path, ec);
  if (first.empty() || ec || !fs::exists(status) || fs::is_symlink(status) || !IsWithinScanRoots(path)) {
    return Fail(session.handle, kReferenceMissing, u"reference does not exist in the scan roots");
  }
  zevo::host::MutexLock lock(&session.mu);
  if (!session.pattern) {
    session.lastErrorCode = kNoPattern;
    session.lastErrorText = u"no pattern loaded";
    return kNoPattern;
  }
  for (const Reference& known : session.references) {
    if (known.first == first && known.second == second && known.third == third) {
      return kReferenceDuplicate;  // a warning: nothing is recorded as an error
    }
  }
  session.references.push_back({std::u16string(first), std::u16string(second), std::u16string(third)});
  Item item = MakeItem(*session.pattern, nullptr, path.lexically_normal());
  CopyText(item.record.text5, third);
  session.items.push_back(std::move(item));
  return kOk;
}

std::int32_t ScanRelatedReferences(Session& session) {
  DetectScope scope;
  std::vector<Reference> references;
  {
    zevo::host::MutexLock lock(&session.mu);
    scope.pattern = session.pattern;
    scope.scanners = session.scanners;
    scope.whitelist = session.whitelist;
    references = session.references;
  }
  if (!scope.pattern) return Fail(session.handle, kNoPattern, u"no pattern loaded");
  BusyScope busy(session, kStateScanning);
  if (!busy.Acquired()) return Fail(session.handle, kBusy, u"another operation runs");
  session.stopRequested = false;
  std::int32_t found = 0;
  for (const Reference& reference : references) {
    for (const fs::path& file : RelatedFiles(reference)) {
      std::vector<Item> items;
      if (DetectInFile(scope, file, session.stopRequested, items) == DetectResult::kStopped) {
        return Fail(session.handle, kStopped, u"scan stopped");
      }
      for (Item& item : items) {
        TKC_ITEM record = item.record;
        {
          zevo::host::MutexLock lock(&session.mu);
          if (Known(session.items, item)) continue;
          session.items.push_back(std::move(item));
        }
        Notify(session, zevo::kEventItemFound, ++found, 0, &record);
      }
    }
  }
  return kOk;
}

}  // namespace tarsk
