#include "util/path_match.h"

#include <exception>

#include "os/file_ops.h"
#include "os/path.h"

namespace zevo::util {

namespace {

constexpr char16_t Upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

bool SameIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Upper(a[i]) != Upper(b[i])) return false;
  }
  return true;
}

// Whether the star-free `segment` matches `text` at `at`.
bool SegmentAt(std::u16string_view segment, std::u16string_view text, std::size_t at) {
  for (std::size_t i = 0; i < segment.size(); ++i) {
    if (segment[i] != u'?' && Upper(segment[i]) != Upper(text[at + i])) return false;
  }
  return true;
}

// The first position in [from, last] at which `segment` matches, or npos.
std::size_t FindSegment(std::u16string_view segment, std::u16string_view text, std::size_t from, std::size_t last) {
  for (std::size_t at = from; at <= last; ++at) {
    if (SegmentAt(segment, text, at)) return at;
  }
  return std::u16string_view::npos;
}

// Shared by the two pattern-list tests: `fallback` decides when the
// wildcard does not.
template <class Fallback>
bool AnyPattern(std::u16string_view path, const std::vector<std::u16string>& patterns, Fallback fallback) {
  for (const std::u16string& pattern : patterns) {
    if (pattern.empty()) continue;
    if (path.size() >= 3 && MatchWildcard(pattern, path)) return true;
    if (fallback(std::u16string_view(pattern))) return true;
  }
  return false;
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

// The pattern is cut at its stars into segments. The first must match at
// the start and the last at the end; each one between is taken at its
// leftmost place after the one before, which leaves the most room for the
// rest, so one pass finds a match whenever there is one.
bool MatchWildcard(std::u16string_view pattern, std::u16string_view text) noexcept {
  const std::size_t firstStar = pattern.find(u'*');
  if (firstStar == std::u16string_view::npos) {
    return pattern.size() == text.size() && SegmentAt(pattern, text, 0);
  }
  const std::u16string_view head = pattern.substr(0, firstStar);
  const std::size_t lastStar = pattern.rfind(u'*');
  const std::u16string_view tail = pattern.substr(lastStar + 1);
  if (head.size() + tail.size() > text.size() || !SegmentAt(head, text, 0) ||
      !SegmentAt(tail, text, text.size() - tail.size())) {
    return false;
  }
  std::size_t position = head.size();
  const std::size_t end = text.size() - tail.size();
  std::u16string_view middle = pattern.substr(firstStar + 1, lastStar - firstStar);  // up to the last star
  while (!middle.empty()) {
    const std::size_t star = middle.find(u'*');
    const std::u16string_view segment = middle.substr(0, star);
    middle.remove_prefix(star + 1);
    if (segment.empty()) continue;
    if (segment.size() > end - position) return false;
    const std::size_t found = FindSegment(segment, text, position, end - segment.size());
    if (found == std::u16string_view::npos) return false;
    position = found + segment.size();
  }
  return true;
}

bool PathMatchesAnyPattern(std::u16string_view path, const std::vector<std::u16string>& patterns) noexcept {
  return AnyPattern(path, patterns, [path](std::u16string_view pattern) {
    return pattern.size() <= path.size() && SameIgnoringCase(pattern, path.substr(0, pattern.size()));
  });
}

bool PathEqualsAnyPattern(std::u16string_view path, const std::vector<std::u16string>& patterns) noexcept {
  return AnyPattern(path, patterns, [path](std::u16string_view pattern) { return SameIgnoringCase(pattern, path); });
}

bool IsShortNameComponent(const char16_t* path) noexcept {
  if (path == nullptr) return false;
  std::u16string_view component(path);
  const std::size_t separator = component.rfind(os::kPathSeparator);
  if (separator != std::u16string_view::npos) component.remove_prefix(separator + 1);
  constexpr std::size_t kTilde = 6;
  if (component.find(u'~') != kTilde) return false;
  if (component.size() == kTilde + 2) return true;
  return component.size() > kTilde + 2 && component[kTilde + 2] == u'.' && component.size() - (kTilde + 2) < 5;
}

bool HasNoShortNameComponent(const char16_t* path) noexcept {
  if (path == nullptr) return true;
  const std::u16string_view text(path);
  for (std::size_t tilde = text.find(u'~'); tilde != std::u16string_view::npos; tilde = text.find(u'~', tilde + 1)) {
    if (tilde + 1 >= text.size() || !IsDigit(text[tilde + 1])) continue;
    const std::size_t after = tilde + 2;
    if (after < text.size() && text[after] != u'.' && text[after] != os::kPathSeparator) continue;
    const std::size_t separator = text.rfind(os::kPathSeparator, tilde);
    if (separator == std::u16string_view::npos) continue;
    const std::size_t span = tilde - separator + 1;
    if (span >= 5 && span <= 8) return false;
  }
  return true;
}

std::optional<std::u16string> GetLongPathCopy(const char16_t* path) noexcept {
  if (path == nullptr || HasNoShortNameComponent(path)) return std::nullopt;
  try {
    std::u16string longPath;
    if (os::LongPathOf(path, longPath)) return longPath;
    const std::u16string_view text(path);
    const std::size_t separator = text.rfind(os::kPathSeparator);
    if (separator == std::u16string_view::npos || IsShortNameComponent(path)) return std::nullopt;
    if (!os::LongPathOf(text.substr(0, separator), longPath)) return std::nullopt;
    longPath.append(text.substr(separator));
    return longPath;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace zevo::util
