#include "util/env_expand.h"

#include <new>
#include <utility>
#include <vector>

#include "os/environment.h"
#include "os/path.h"
#include "os/system_error.h"
#include "zevo/result.h"

namespace zevo::util {

namespace {

constexpr std::uint32_t kBufferChars = 260;
constexpr int kExpandAttempts = 4;
constexpr std::int32_t kInsufficientBuffer = 122;  // ERROR_INSUFFICIENT_BUFFER

constexpr char16_t kSep = os::kPathSeparator;

std::int32_t SystemFailure(std::int32_t error) {
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(error) & 0xFFFFu) | kNormalizeSystemFailureBase);
}

bool StartsWith(std::u16string_view text, std::u16string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Expands `path` with the system's rules into `expanded`; a result code.
std::int32_t SystemExpand(const std::u16string& path, std::u16string& expanded) noexcept {
  try {
    std::vector<char16_t> buffer(kBufferChars, u'\0');
    for (int attempt = 0; attempt < kExpandAttempts; ++attempt) {
      const std::uint32_t needed =
          os::ExpandEnvironmentText(path.c_str(), buffer.data(), static_cast<std::uint32_t>(buffer.size()));
      if (needed == 0) return SystemFailure(os::LastErrorCode());
      if (needed <= buffer.size()) {
        expanded.assign(buffer.data());
        return kCommonOk;
      }
      buffer.assign(needed, u'\0');
    }
    return SystemFailure(kInsufficientBuffer);
  } catch (const std::bad_alloc&) {
    return kNormalizeAllocFailed;
  }
}

char16_t FoldCase(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

// True when the terminated `path` begins with `prefix`, ASCII letters
// compared without regard to case. Stops at the path's terminator.
bool BeginsWithFolded(const char16_t* path, std::u16string_view prefix) {
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (path[i] == u'\0' || FoldCase(path[i]) != FoldCase(prefix[i])) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool FindVariableTokens(std::u16string_view input, std::vector<VariableToken>& tokens) {
  std::size_t open = input.find(u'%');
  while (open != std::u16string_view::npos) {
    const std::size_t close = input.find(u'%', open + 1);
    if (close == std::u16string_view::npos) return false;
    tokens.push_back({open, close - open + 1});
    if (close + 1 == input.size()) break;
    open = input.find(u'%', close + 1);
  }
  return true;
}

bool ExpandEnvironmentVar(std::u16string_view input, std::u16string& output, bool replaceDoublePercent,
                          const EnvVarMapType& variables) noexcept {
  try {
    output.assign(input);
    std::vector<VariableToken> tokens;
    if (!FindVariableTokens(input, tokens)) return false;
    bool ok = true;
    // Last token first: replacing it never moves the tokens before it.
    for (auto token = tokens.rbegin(); token != tokens.rend(); ++token) {
      if (token->length == 2) {
        if (replaceDoublePercent) output.replace(token->position, 2, u"%");
        continue;
      }
      const auto found = variables.find(std::u16string(input.substr(token->position, token->length)));
      if (found == variables.end()) continue;
      output.replace(token->position, token->length, found->second);
      if (found->second.empty()) ok = false;
    }
    return ok;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool ExpandEnvironmentVar(std::u16string_view input, std::u16string& output, bool replaceDoublePercent) noexcept {
  return ExpandEnvironmentVar(input, output, replaceDoublePercent, EnvVarMap());
}

std::int32_t NormalizeEnvPath(std::u16string& path) noexcept {
  if (path.empty()) return kUnsupported;
  std::u16string_view view(path);
  std::size_t secondQuote = std::u16string_view::npos;
  if (view.front() == u'"') {
    view.remove_prefix(1);
    secondQuote = view.find(u'"');
  }
  try {
    std::u16string work(view.substr(0, secondQuote));
    if (secondQuote != std::u16string_view::npos) {
      work.append(view.substr(secondQuote + 1));
    }
    const char16_t ntPrefix[] = {kSep, u'?', u'?', kSep};
    const char16_t longPrefix[] = {kSep, kSep, u'?', kSep};
    if (StartsWith(work, {ntPrefix, 4}) || StartsWith(work, {longPrefix, 4})) {
      path = work.substr(4);
      return kCommonOk;
    }
    path = std::move(work);  // the quotes stay removed whatever follows
    if (path.find(u'%') == std::u16string::npos) return kCommonOk;
    // The system reads up to the first NUL and would drop the rest.
    if (path.find(u'\0') != std::u16string::npos) return kUnsupported;
    std::u16string expanded;
    const std::int32_t status = SystemExpand(path, expanded);
    if (status == kCommonOk) path = std::move(expanded);
    return status;
  } catch (const std::bad_alloc&) {
    return kNormalizeAllocFailed;
  }
}

char16_t* SkipLongPathPrefix(char16_t* path) noexcept {
  if (path == nullptr) return nullptr;
  const char16_t uncPrefix[] = {kSep, kSep, u'?', kSep, u'U', u'N', u'C', kSep};
  const char16_t longPrefix[] = {kSep, kSep, u'?', kSep};
  if (BeginsWithFolded(path, {uncPrefix, 8})) {
    path[6] = kSep;
    return path + 6;
  }
  if (BeginsWithFolded(path, {longPrefix, 4})) return path + 4;
  return path;
}

}  // namespace zevo::util
