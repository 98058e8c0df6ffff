// UTF-16 <-> UTF-8 conversion for log lines, file names and the environment.
#ifndef ZEVO_HOST_LOG_UTF_H_
#define ZEVO_HOST_LOG_UTF_H_

#include <string>
#include <string_view>

namespace zevo::hostlog {

// Appends `text` to `out` as UTF-8. Surrogate pairs become one four-byte
// sequence; a lone surrogate becomes U+FFFD.
void AppendUtf8(std::u16string_view text, std::string& out);

// Decodes UTF-8; every byte that does not start a valid, shortest-form
// sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

}  // namespace zevo::hostlog

#endif  // ZEVO_HOST_LOG_UTF_H_
