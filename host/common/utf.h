// UTF-16 <-> UTF-8 conversion for the reference host pieces (logging
// library, host services, reference engine): log lines, file names, the
// environment and JSON texts.
#ifndef ZEVO_HOST_COMMON_UTF_H_
#define ZEVO_HOST_COMMON_UTF_H_

#include <optional>
#include <string>
#include <string_view>

namespace zevo::host {

// Appends `text` to `out` as UTF-8. Surrogate pairs become one four-byte
// sequence; a lone surrogate becomes U+FFFD.
void AppendUtf8(std::u16string_view text, std::string& out);
std::string Utf16ToUtf8(std::u16string_view text);

// Decodes UTF-8; every byte that does not start a valid, shortest-form
// sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

// Decodes UTF-8, or nothing when any sequence is malformed.
std::optional<std::u16string> Utf8ToUtf16Strict(std::string_view text);

}  // namespace zevo::host

#endif  // ZEVO_HOST_COMMON_UTF_H_
