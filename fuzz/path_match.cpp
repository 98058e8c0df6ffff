// Wildcards and pattern lists over arbitrary UTF-16 text: no crash, and on
// short inputs the same answers as a plain dynamic-programming matcher.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "util/path_match.h"

namespace {

char16_t Upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

// matches[i][j]: the first i pattern characters match the first j text ones.
bool Reference(const std::u16string& p, const std::u16string& t) {
  std::vector<std::vector<bool>> m(p.size() + 1, std::vector<bool>(t.size() + 1, false));
  m[0][0] = true;
  for (std::size_t i = 1; i <= p.size(); ++i) {
    for (std::size_t j = 0; j <= t.size(); ++j) {
      if (p[i - 1] == u'*') {
        m[i][j] = m[i - 1][j] || (j > 0 && m[i][j - 1]);
      } else if (j > 0) {
        m[i][j] = m[i - 1][j - 1] && (p[i - 1] == u'?' || Upper(p[i - 1]) == Upper(t[j - 1]));
      }
    }
  }
  return m[p.size()][t.size()];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string input(size / 2, u'\0');
  if (!input.empty()) std::memcpy(input.data(), data, input.size() * 2);
  // Pattern and text are split at the first NUL; the rest are more patterns.
  const std::size_t cut = input.find(u'\0');
  const std::u16string pattern = input.substr(0, cut);
  const std::u16string text = cut == std::u16string::npos ? std::u16string() : input.substr(cut + 1);
  const bool match = zevo::util::MatchWildcard(pattern, text);
  if (pattern.size() * text.size() <= 4096 && match != Reference(pattern, text)) std::abort();
  const std::vector<std::u16string> patterns{pattern, text.substr(0, text.size() / 2)};
  const bool any = zevo::util::PathMatchesAnyPattern(text, patterns);
  const bool equal = zevo::util::PathEqualsAnyPattern(text, patterns);
  if (equal && !any) std::abort();  // equality is a prefix too
  zevo::util::IsShortNameComponent(input.c_str());
  zevo::util::HasNoShortNameComponent(input.c_str());
  return 0;
}
