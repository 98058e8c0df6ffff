// Strict UTF-8 to UTF-16 decoding for the texts of the store file.
#ifndef ZEVO_HOST_SIM_UTF8_H_
#define ZEVO_HOST_SIM_UTF8_H_

#include <optional>
#include <string>
#include <string_view>

namespace zevo::hostsim {

// The UTF-16 form of well-formed, shortest-form UTF-8; nullopt otherwise.
std::optional<std::u16string> DecodeUtf8(std::string_view text);

}  // namespace zevo::hostsim

#endif  // ZEVO_HOST_SIM_UTF8_H_
