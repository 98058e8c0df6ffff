// TKScan: walks the scan roots and reports progress and items.
#include <algorithm>

#include "detect.h"
#include "operations.h"
#include "platform.h"
#include "status.h"
#include "text.h"

namespace tarsk {

namespace {

constexpr std::int32_t kFilesPerProgressEvent = 16;

class ScanRun {
 public:
  ScanRun(Session& session, DetectScope scope) : session_(session), scope_(std::move(scope)) {}

  // Every root in order; kStopped as soon as a stop is seen.
  std::int32_t Run(const std::vector<std::filesystem::path>& roots) {
    for (std::size_t r = 0; r < roots.size(); ++r) {
      std::u16string text = FromPath(roots[r]);
      Notify(session_, zevo::kEventProgress1, static_cast<std::int32_t>(r), static_cast<std::int32_t>(roots.size()),
             text.data());
      if (Walk(roots[r]) == DetectResult::kStopped) return Finish(kStopped);
    }
    return Finish(kOk);
  }

 private:
  DetectResult Walk(const std::filesystem::path& root) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(root, ec);
    if (ec || fs::is_symlink(status)) return DetectResult::kDone;
    if (fs::is_regular_file(status)) return Examine(root);
    fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, ec);
    for (const fs::recursive_directory_iterator end; !ec && it != end; it.increment(ec)) {
      if (session_.stopRequested) return DetectResult::kStopped;
      std::error_code entryError;
      const fs::file_status entry = it->symlink_status(entryError);
      if (entryError || fs::is_symlink(entry) || !fs::is_regular_file(entry)) continue;
      if (Examine(it->path()) == DetectResult::kStopped) return DetectResult::kStopped;
    }
    return DetectResult::kDone;
  }

  DetectResult Examine(const std::filesystem::path& file) {
    std::vector<Item> found;
    const DetectResult result = DetectInFile(scope_, file, session_.stopRequested, found);
    if (result == DetectResult::kStopped) return result;
    for (Item& item : found) {
      TKC_ITEM record = item.record;
      {
        zevo::host::MutexLock lock(&session_.mu);
        session_.items.push_back(std::move(item));
      }
      ++items_;
      Notify(session_, zevo::kEventItemFound, items_, 0, &record);
    }
    if (++files_ % kFilesPerProgressEvent == 0) {
      std::u16string text = FromPath(file);
      Notify(session_, zevo::kEventProgress3, files_, items_, text.data());
    }
    return result;
  }

  std::int32_t Finish(std::int32_t status) {
    Notify(session_, zevo::kEventProgress3, files_, items_, nullptr);
    return status == kStopped ? Fail(session_.handle, kStopped, u"scan stopped") : status;
  }

  Session& session_;
  const DetectScope scope_;
  std::int32_t files_ = 0;
  std::int32_t items_ = 0;
};

}  // namespace

std::vector<std::filesystem::path> ScanRoots() {
  std::vector<std::filesystem::path> roots;
  const std::u16string value = GetEnv(u"TARSK_SCAN_ROOTS").value_or(u"");
  for (const std::u16string_view part : Split(value, kPathListSeparator)) {
    if (!part.empty()) roots.push_back(ToPath(part).lexically_normal());
  }
  return roots;
}

bool IsWithinScanRoots(const std::filesystem::path& path) {
  const std::filesystem::path normal = path.lexically_normal();
  for (const std::filesystem::path& root : ScanRoots()) {
    const std::filesystem::path relative = normal.lexically_relative(root);
    if (!relative.empty() && *relative.begin() != "..") return true;
  }
  return false;
}

void Notify(Session& session, std::int32_t event, std::int32_t c, std::int32_t d, void* data) {
  zevo::PFN_TKCallback callback = nullptr;
  {
    zevo::host::MutexLock lock(&session.mu);
    callback = session.callback;
  }
  if (callback != nullptr) callback(session.handle, event, c, d, data);
}

std::int32_t Scan(Session& session) {
  DetectScope scope;
  {
    zevo::host::MutexLock lock(&session.mu);
    scope.pattern = session.pattern;
    scope.scanners = session.scanners;
    scope.whitelist = session.whitelist;
  }
  if (!scope.pattern) return Fail(session.handle, kNoPattern, u"no pattern loaded");
  BusyScope busy(session, kStateScanning);
  if (!busy.Acquired()) return Fail(session.handle, kBusy, u"another operation runs");
  session.stopRequested = false;
  {
    zevo::host::MutexLock lock(&session.mu);
    session.items.clear();
  }
  return ScanRun(session, std::move(scope)).Run(ScanRoots());
}

}  // namespace tarsk
