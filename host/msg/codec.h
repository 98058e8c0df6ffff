// The packed (serialised) form of a message. The layout is described at the
// top of codec.cpp.
#ifndef ZEVO_HOST_MSG_CODEC_H_
#define ZEVO_HOST_MSG_CODEC_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "value.h"

namespace zevo::msg {

// Results are ZEVO_MSG_* codes. All may throw std::bad_alloc.

// Replaces *out with the packed form of a message with these contents.
std::int32_t Encode(const Contents& contents, std::vector<std::uint8_t>* out);

// Size of the packed form; ZEVO_MSG_E_TOO_LARGE above 4 GiB - 1.
std::int32_t EncodedSize(const Contents& contents, std::uint32_t* size);

// Reads exactly `len` bytes holding one packed message into *out. Nested
// messages are created with `owner` as their parent; at most `nesting_left`
// levels of them are accepted. *out is undefined on failure.
std::int32_t Decode(const std::uint8_t* bytes, std::size_t len, const std::weak_ptr<Message>& owner,
                    unsigned nesting_left, Contents* out);

}  // namespace zevo::msg

#endif  // ZEVO_HOST_MSG_CODEC_H_
