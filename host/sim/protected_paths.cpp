#include "sim/protected_paths.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <utility>

#include <nlohmann/json.hpp>

#include "common/utf.h"

namespace zevo::hostsim {
namespace {

constexpr bool kWindowsNames = std::filesystem::path::preferred_separator == '\\';

constexpr bool IsSeparator(char16_t c) noexcept {
  return c == static_cast<char16_t>(std::filesystem::path::preferred_separator) || (kWindowsNames && c == u'/');
}

// One character as the file system compares it.
constexpr char16_t Folded(char16_t c) noexcept {
  if constexpr (kWindowsNames) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c - u'A' + u'a');
    if (c == u'/') return u'\\';
  }
  return c;
}

}  // namespace

bool PathUnderPrefix(std::u16string_view path, std::u16string_view prefix) noexcept {
  if (prefix.empty() || path.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (Folded(path[i]) != Folded(prefix[i])) return false;
  }
  return path.size() == prefix.size() || IsSeparator(prefix.back()) || IsSeparator(path[prefix.size()]);
}

bool ParseProtectedPaths(std::string_view json, std::vector<std::u16string>& prefixes, std::string& error) {
  prefixes.clear();
  const nlohmann::json document = nlohmann::json::parse(json, nullptr, /*allow_exceptions=*/false);
  if (document.is_discarded() || !document.is_object()) {
    error = "not a JSON object";
    return false;
  }
  if (!document.contains(kProtectedPathsField)) return true;
  const nlohmann::json& list = document[kProtectedPathsField];
  if (!list.is_array()) {
    error = std::string("\"") + kProtectedPathsField + "\" must be an array of path texts";
    return false;
  }
  std::vector<std::u16string> parsed;
  for (std::size_t index = 0; index < list.size(); ++index) {
    std::optional<std::u16string> text;
    if (list[index].is_string()) text = host::Utf8ToUtf16Strict(list[index].get_ref<const std::string&>());
    if (!text || text->empty()) {
      error = std::string(kProtectedPathsField) + "[" + std::to_string(index) + "]: not a non-empty path text";
      return false;
    }
    parsed.push_back(std::move(*text));
  }
  prefixes = std::move(parsed);
  return true;
}

bool LoadProtectedPaths(const std::filesystem::path& storeFile, std::vector<std::u16string>& prefixes,
                        std::string& error) {
  prefixes.clear();
  std::ifstream in(storeFile, std::ios::binary);
  if (!in) {
    error = "cannot open " + storeFile.string();
    return false;
  }
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (!ParseProtectedPaths(text, prefixes, error)) {
    error = storeFile.string() + ": " + error;
    return false;
  }
  return true;
}

}  // namespace zevo::hostsim
