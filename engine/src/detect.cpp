#include "detect.h"

#include <fstream>

#include "platform.h"
#include "text.h"

namespace tarsk {

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;
constexpr std::size_t kMaxCookieFileSize = 4 * 1024 * 1024;

bool Enabled(const DetectScope& scope, const Signature& sig) { return scope.scanners.count(sig.scanner) != 0; }

void Add(const DetectScope& scope, const Signature& sig, const std::filesystem::path& file, std::vector<Item>& found) {
  Item item = MakeItem(*scope.pattern, &sig, file);
  if (item.companyId != 0 && scope.whitelist.count(item.companyId) != 0) return;
  found.push_back(std::move(item));
}

// Streams the file once: byte signatures over chunk boundaries, and the hash.
DetectResult ScanContent(const DetectScope& scope, const std::filesystem::path& file, const std::atomic<bool>& stop,
                         std::vector<bool>& matched, Digest& digest) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return DetectResult::kUnreadable;
  const std::vector<Signature>& sigs = scope.pattern->signatures;
  const std::size_t keep = scope.pattern->longestBytes > 0 ? scope.pattern->longestBytes - 1 : 0;
  Sha256 hash;
  std::string window;
  std::string chunk(kChunkSize, '\0');
  while (in) {
    if (stop) return DetectResult::kStopped;
    in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got == 0) break;
    hash.Update(chunk.data(), got);
    window.append(chunk.data(), got);
    for (std::size_t i = 0; i < sigs.size(); ++i) {
      if (!matched[i] && sigs[i].type == SignatureType::kBytes && Enabled(scope, sigs[i]) &&
          window.find(sigs[i].bytes) != std::string::npos) {
        matched[i] = true;
      }
    }
    if (window.size() > keep) window.erase(0, window.size() - keep);
  }
  if (in.bad()) return DetectResult::kUnreadable;
  digest = hash.Final();
  return DetectResult::kDone;
}

void ScanCookies(const DetectScope& scope, const std::filesystem::path& file, std::vector<bool>& matched) {
  std::error_code ec;
  if (std::filesystem::file_size(file, ec) > kMaxCookieFileSize || ec) return;
  std::ifstream in(file, std::ios::binary);
  const std::vector<Signature>& sigs = scope.pattern->signatures;
  for (std::string line; std::getline(in, line);) {
    const std::u16string domain = CookieLineDomain(line);
    if (domain.empty()) continue;
    for (std::size_t i = 0; i < sigs.size(); ++i) {
      if (sigs[i].type == SignatureType::kCookie && Enabled(scope, sigs[i]) && DomainMatches(domain, sigs[i].domain)) {
        matched[i] = true;
      }
    }
  }
}

}  // namespace

DetectResult DetectInFile(const DetectScope& scope, const std::filesystem::path& file, const std::atomic<bool>& stop,
                          std::vector<Item>& found) {
  const std::vector<Signature>& sigs = scope.pattern->signatures;
  std::vector<bool> matched(sigs.size(), false);
  Digest digest{};
  const DetectResult result = ScanContent(scope, file, stop, matched, digest);
  if (result == DetectResult::kStopped) return result;
  const std::u16string name = FromPath(file.filename());
  for (std::size_t i = 0; i < sigs.size(); ++i) {
    const Signature& sig = sigs[i];
    if (!Enabled(scope, sig)) continue;
    if (sig.type == SignatureType::kSha256 && result == DetectResult::kDone) {
      matched[i] = sig.digest == digest;
    } else if (sig.type == SignatureType::kName) {
      matched[i] = GlobMatch(sig.glob, name);
    }
  }
  if (IsCookieFile(file)) ScanCookies(scope, file, matched);
  for (std::size_t i = 0; i < sigs.size(); ++i) {
    if (matched[i]) Add(scope, sigs[i], file, found);
  }
  return result;
}

Item MakeItem(const Pattern& pattern, const Signature* sig, const std::filesystem::path& file) {
  Item item;
  TKC_ITEM& r = item.record;
  r.size = ZEVO_TKC_ITEM_SIZE;
  r.itemId = sig != nullptr ? sig->itemId : pattern.referentialItemId;
  r.threatTypeId = sig != nullptr ? sig->threatTypeId : pattern.referentialThreatTypeId;
  r.kind = sig != nullptr ? sig->kind : kKindReferential;
  r.value13 = sig != nullptr ? sig->scanner : kScannerReferential;
  r.presence = 1;
  r.resultFlags = sig != nullptr && sig->notWithBackup ? ZEVO_ITEM_FLAG_NOT_WITH_BACKUP : 0;
  const bool custom = zevo::IsCustomItemId(r.itemId);
  if (custom && sig != nullptr) {
    item.companyName = sig->companyText;
    CopyText(r.companyText, sig->companyText);
  } else {
    item.companyId = pattern.CompanyIdOfItem(r.itemId);
    item.companyName = pattern.CompanyName(item.companyId);
  }
  const std::u16string name = sig != nullptr && !sig->name.empty() ? sig->name : pattern.ItemName(r.itemId);
  CopyText(r.text1, name);
  CopyText(r.text2, FromPath(file.filename()));
  CopyText(r.text3, FromPath(file.parent_path()));
  if (sig != nullptr) CopyText(r.text5, sig->detail);
  CopyText(r.text6, FromPath(file));
  item.path = file;
  item.needsRestart = sig != nullptr && sig->needsRestart;
  if (sig != nullptr && sig->type == SignatureType::kCookie) item.cookieDomain = sig->domain;
  return item;
}

bool IsCookieFile(const std::filesystem::path& file) {
  const std::u16string name = AsciiLower(FromPath(file.filename()));
  return name == u"cookies.txt" || (name.size() > 8 && name.ends_with(u".cookies"));
}

std::u16string CookieLineDomain(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  constexpr std::string_view kHttpOnly = "#HttpOnly_";
  if (line.starts_with(kHttpOnly))
    line.remove_prefix(kHttpOnly.size());
  else if (line.empty() || line.front() == '#')
    return {};
  const std::size_t tab = line.find('\t');
  if (tab == line.npos) return {};
  std::string_view domain = line.substr(0, tab);
  if (domain.starts_with('.')) domain.remove_prefix(1);
  return AsciiLower(Utf8ToUtf16(domain));
}

bool DomainMatches(std::u16string_view cookieDomain, std::u16string_view trackingDomain) {
  if (cookieDomain == trackingDomain) return true;
  return cookieDomain.size() > trackingDomain.size() && cookieDomain.ends_with(trackingDomain) &&
         cookieDomain[cookieDomain.size() - trackingDomain.size() - 1] == u'.';
}

}  // namespace tarsk
