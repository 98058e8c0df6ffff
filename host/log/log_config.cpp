#include "log_config.h"

#include <limits>
#include <optional>

namespace zevo::hostlog {
namespace {

std::u16string_view TrimBlanks(std::u16string_view s) {
  auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// Decimal digits only, no sign, at most INT32_MAX.
std::optional<int32_t> ParseLevel(std::u16string_view s) {
  if (s.empty()) return std::nullopt;
  int64_t value = 0;
  for (char16_t c : s) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
    if (value > std::numeric_limits<int32_t>::max()) return std::nullopt;
  }
  return static_cast<int32_t>(value);
}

}  // namespace

ModuleLevels ModuleLevels::Parse(std::u16string_view text) {
  ModuleLevels result;
  while (!text.empty()) {
    const size_t end = text.find(u';');
    const std::u16string_view entry = text.substr(0, end);
    text = end == std::u16string_view::npos ? std::u16string_view{} : text.substr(end + 1);
    const size_t eq = entry.rfind(u'=');
    if (eq == std::u16string_view::npos) continue;
    const std::optional<int32_t> level = ParseLevel(TrimBlanks(entry.substr(eq + 1)));
    if (!level) continue;
    result.levels_.insert_or_assign(std::u16string(TrimBlanks(entry.substr(0, eq))), *level);
  }
  return result;
}

int32_t ModuleLevels::LevelOf(std::u16string_view module) const {
  const auto it = levels_.find(module);
  return it == levels_.end() ? 0 : it->second;
}

}  // namespace zevo::hostlog
