// Replacing placeholders in configured paths, and cleaning up path spellings.
#ifndef ZEVO_SRC_UTIL_ENV_EXPAND_H_
#define ZEVO_SRC_UTIL_ENV_EXPAND_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "util/environment_var.h"

namespace zevo::util {

// A placeholder candidate: both percent signs included, so "%%" has length 2.
struct VariableToken {
  std::size_t position;
  std::size_t length;
};

// Pairs the percent signs of `input` strictly left to right into `tokens`
// (appended). False when a '%' is left without a partner (the tokens found
// until then stay in `tokens`): "%A%%B%" gives %A% and %B%, "%A%B%" fails.
// Throws only std::bad_alloc.
bool FindVariableTokens(std::u16string_view input, std::vector<VariableToken>& tokens);

// Writes `input` with every placeholder of `variables` replaced to `output`
// (always written; use it only on success). "%%" becomes "%" when
// `replaceDoublePercent`; a token that is not a placeholder stays. False
// when the percent signs do not pair up (`output` then equals `input`) or
// a placeholder has an empty value.
bool ExpandEnvironmentVar(std::u16string_view input, std::u16string& output, bool replaceDoublePercent,
                          const EnvVarMapType& variables) noexcept;

// The same with the module's placeholder table.
bool ExpandEnvironmentVar(std::u16string_view input, std::u16string& output, bool replaceDoublePercent) noexcept;

// Result codes of NormalizeEnvPath.
inline constexpr std::int32_t kNormalizeAllocFailed = static_cast<std::int32_t>(0xE0190016u);
inline constexpr std::uint32_t kNormalizeSystemFailureBase = 0xE0F00000u;

// Cleans up `path` in place: drops a leading double quote and the next one;
// then drops a leading "<sep>??<sep>" or "<sep><sep>?<sep>" (<sep> being the
// path separator); otherwise expands %NAME% strings with the system's own
// expansion (not the placeholder table).
// kCommonOk on success; kUnsupported for an empty path, or for a path that
// holds a NUL and needs expanding (the system would drop what follows it);
// (system error & 0xFFFF) | 0xE0F00000 when the expansion fails;
// kNormalizeAllocFailed when no buffer could be had. The quotes are gone
// from `path` even when the expansion then fails; the expansion replaces it
// only on success.
std::int32_t NormalizeEnvPath(std::u16string& path) noexcept;

// For a NUL-terminated path in long form: "<sep><sep>?<sep>UNC<sep>server"
// (any case) is turned into "<sep><sep>server" in place by writing a
// separator over index 6, and a pointer to index 6 is returned;
// "<sep><sep>?<sep>x" yields a pointer to "x"; anything else (null, short
// texts included) comes back as it is. Never reads past the terminator.
char16_t* SkipLongPathPrefix(char16_t* path) noexcept;

}  // namespace zevo::util

#endif  // ZEVO_SRC_UTIL_ENV_EXPAND_H_
