// C functions that put and get scalar, text and binary values.
#include <cstring>
#include <string>
#include <utility>

#include "boundary.h"
#include "zevo/msg.h"

using zevo::msg::Binary;
using zevo::msg::Message;
using zevo::msg::Value;
using zevo::msg::WithMessage;

namespace {

// REQUIRES: data is non-null or length is 0.
int32_t PutValue(const ZEVO_DataHandle* h, uint32_t index, const void* data, uint32_t length,
                 Value (*make)(const void*, uint32_t)) noexcept {
  if (data == nullptr && length != 0) return ZEVO_MSG_E_INVALID;
  return WithMessage(h, [&](Message& message) {
    message.Append(index, make(data, length));
    return ZEVO_MSG_S_OK;
  });
}

template <class T>
int32_t GetScalar(const ZEVO_DataHandle* h, uint32_t index, uint32_t position, T* out) noexcept {
  if (out == nullptr) return ZEVO_MSG_E_INVALID;
  return WithMessage(h, [&](Message& message) {
    int32_t rc = ZEVO_MSG_E_INVALID;
    message.VisitAt(index, position, [&](const Value& value) {
      if (const T* v = std::get_if<T>(&value)) {
        *out = *v;
        rc = ZEVO_MSG_S_OK;
      }
    });
    return rc;
  });
}

// Length query when buf is null, else a copy that must fit whole (with a
// zero terminator when `terminate`). Nothing is written to buf on failure.
template <class T>
int32_t CopyOut(const T* data, std::size_t length, bool terminate, T* buf, uint32_t size, uint32_t* out_len) {
  const auto len = static_cast<uint32_t>(length);  // lengths were put as uint32_t
  if (buf == nullptr) {
    *out_len = len;
    return ZEVO_MSG_S_OK;
  }
  if (std::uint64_t{len} + (terminate ? 1 : 0) > size) {
    if (out_len != nullptr) *out_len = len;
    return ZEVO_MSG_E_INVALID;
  }
  if (len != 0) std::memcpy(buf, data, len * sizeof(T));
  if (terminate) buf[len] = T{};
  if (out_len != nullptr) *out_len = len;
  return ZEVO_MSG_S_OK;
}

// Shared by the three getters of sized values. `Stored` is the value type,
// `view` maps it onto its elements.
template <class Stored, class T, class View>
int32_t GetSized(const ZEVO_DataHandle* h, uint32_t index, uint32_t position, T* buf, uint32_t size, uint32_t* out_len,
                 bool terminate, View view) noexcept {
  const bool length_query = buf == nullptr && size == 0;
  if (buf == nullptr && !length_query) return ZEVO_MSG_E_INVALID;
  if (length_query && out_len == nullptr) return ZEVO_MSG_E_INVALID;
  return WithMessage(h, [&](Message& message) {
    int32_t rc = ZEVO_MSG_E_INVALID;
    message.VisitAt(index, position, [&](const Value& value) {
      if (const Stored* stored = std::get_if<Stored>(&value)) {
        auto [data, length] = view(*stored);
        rc = CopyOut<T>(data, length, terminate, buf, size, out_len);
      }
    });
    return rc;
  });
}

}  // namespace

int32_t ZEVO_Msg_PutInt32(const ZEVO_DataHandle* h, uint32_t index, int32_t value) noexcept {
  return WithMessage(h, [&](Message& message) {
    message.Append(index, value);
    return ZEVO_MSG_S_OK;
  });
}

int32_t ZEVO_Msg_PutUInt32(const ZEVO_DataHandle* h, uint32_t index, uint32_t value) noexcept {
  return WithMessage(h, [&](Message& message) {
    message.Append(index, value);
    return ZEVO_MSG_S_OK;
  });
}

int32_t ZEVO_Msg_PutWString(const ZEVO_DataHandle* h, uint32_t index, const char16_t* s,
                            uint32_t lengthInChars) noexcept {
  return PutValue(h, index, s, lengthInChars, [](const void* p, uint32_t n) -> Value {
    return n == 0 ? std::u16string() : std::u16string(static_cast<const char16_t*>(p), n);
  });
}

int32_t ZEVO_Msg_PutString(const ZEVO_DataHandle* h, uint32_t index, const char* s, uint32_t lengthInBytes) noexcept {
  return PutValue(h, index, s, lengthInBytes, [](const void* p, uint32_t n) -> Value {
    return n == 0 ? std::string() : std::string(static_cast<const char*>(p), n);
  });
}

int32_t ZEVO_Msg_PutBinary(const ZEVO_DataHandle* h, uint32_t index, const void* p, uint32_t size) noexcept {
  return PutValue(h, index, p, size, [](const void* data, uint32_t n) -> Value {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return n == 0 ? Binary{} : Binary{std::vector<std::uint8_t>(bytes, bytes + n)};
  });
}

int32_t ZEVO_Msg_GetInt32At(const ZEVO_DataHandle* h, uint32_t index, uint32_t position, int32_t* out) noexcept {
  return GetScalar(h, index, position, out);
}

int32_t ZEVO_Msg_GetUInt32At(const ZEVO_DataHandle* h, uint32_t index, uint32_t position, uint32_t* out) noexcept {
  return GetScalar(h, index, position, out);
}

int32_t ZEVO_Msg_GetWStringAt(const ZEVO_DataHandle* h, uint32_t index, uint32_t position, char16_t* buf,
                              uint32_t sizeInChars, uint32_t* outLen) noexcept {
  return GetSized<std::u16string>(h, index, position, buf, sizeInChars, outLen, /*terminate=*/true,
                                  [](const std::u16string& s) { return std::pair(s.data(), s.size()); });
}

int32_t ZEVO_Msg_GetStringAt(const ZEVO_DataHandle* h, uint32_t index, uint32_t position, char* buf,
                             uint32_t sizeInBytes, uint32_t* outLen) noexcept {
  return GetSized<std::string>(h, index, position, buf, sizeInBytes, outLen, /*terminate=*/true,
                               [](const std::string& s) { return std::pair(s.data(), s.size()); });
}

int32_t ZEVO_Msg_GetBinaryAt(const ZEVO_DataHandle* h, uint32_t index, uint32_t position, void* buf, uint32_t size,
                             uint32_t* outLen) noexcept {
  return GetSized<Binary>(h, index, position, static_cast<std::uint8_t*>(buf), size, outLen, /*terminate=*/false,
                          [](const Binary& b) { return std::pair(b.bytes.data(), b.bytes.size()); });
}
