// Detection in one file: byte signatures and SHA-256 of the content, file
// name globs, tracking cookies in cookie files.
#ifndef TARSK_DETECT_H_
#define TARSK_DETECT_H_

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <set>
#include <vector>

#include "pattern.h"
#include "session.h"

namespace tarsk {

// What one scan looks for: copied from the session when the scan starts.
struct DetectScope {
  std::shared_ptr<const Pattern> pattern;
  std::set<std::uint32_t> scanners;  // enabled scanner ids
  std::set<std::int32_t> whitelist;  // company ids skipped
};

enum class DetectResult { kDone, kStopped, kUnreadable };

// Appends one item per matching signature to `found` (whitelisted companies
// left out). Reads the file in chunks and checks `stop` between them.
DetectResult DetectInFile(const DetectScope& scope, const std::filesystem::path& file, const std::atomic<bool>& stop,
                          std::vector<Item>& found);

// The item of signature `sig` (or of the pattern's referential item when sig
// is null) for `file`.
Item MakeItem(const Pattern& pattern, const Signature* sig, const std::filesystem::path& file);

// Whether the file is read as a cookie file (cookies.txt, *.cookies).
bool IsCookieFile(const std::filesystem::path& file);
// The domain of a cookie line in the Netscape format (lower case), or empty
// for comments and blank lines.
std::u16string CookieLineDomain(std::string_view line);
// Whether a cookie domain belongs to a tracking domain (equal or subdomain).
bool DomainMatches(std::u16string_view cookieDomain, std::u16string_view trackingDomain);

}  // namespace tarsk

#endif  // TARSK_DETECT_H_
