// Packed form of a message, version 1. All integers are little-endian.
//
//   message := header value*
//   header  := magic u32 = 0x47534D5A ("ZMSG")
//              version u16 = 1
//              flags u16 = 0
//              name_id u32
//              value_count u32            values that follow, all indexes
//   value   := index u32, type u8, payload
//   payload by type:
//     1 int32    4 bytes
//     2 uint32   4 bytes
//     3 wstring  length u32 (UTF-16 code units), then 2 * length bytes
//     4 string   length u32 (bytes), then the bytes
//     5 binary   length u32 (bytes), then the bytes
//     6 message  length u32 (bytes), then exactly that many bytes holding a
//                whole message (header included) whose name_id equals the
//                value's index
//
// Values are written by ascending index, each index's values in position
// order; a reader appends values in the order read. Nesting is limited to
// ZEVO_MSG_MAX_NESTING levels. The whole form fits in 4 GiB - 1 bytes.
//
// The reader checks every length against the bytes left before using it,
// rejects unknown versions, flags and types, and trailing bytes.

#include "codec.h"

#include <limits>
#include <utility>

#include "message.h"
#include "zevo/msg.h"

namespace zevo::msg {
namespace {

constexpr std::uint32_t kMagic = 0x47534D5Au;
constexpr std::uint16_t kVersion = 1;
constexpr std::uint64_t kHeaderSize = 16;
// index + type + the smallest payload (4 bytes).
constexpr std::uint64_t kMinValueSize = 9;
constexpr std::uint64_t kMaxPacked = std::numeric_limits<std::uint32_t>::max();

// ---- writing ----

void PutU8(std::vector<std::uint8_t>* out, std::uint8_t v) { out->push_back(v); }

void PutU16(std::vector<std::uint8_t>* out, std::uint16_t v) {
  out->push_back(static_cast<std::uint8_t>(v));
  out->push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(std::vector<std::uint8_t>* out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out->push_back(static_cast<std::uint8_t>(v >> shift));
}

void PatchU32(std::vector<std::uint8_t>* out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) (*out)[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::int32_t EncodeInto(const Contents& contents, unsigned depth, std::vector<std::uint8_t>* out);

std::int32_t EncodeValue(const Value& value, unsigned depth, std::vector<std::uint8_t>* out) {
  PutU8(out, static_cast<std::uint8_t>(TypeOf(value)));
  switch (TypeOf(value)) {
    case ValueType::kInt32:
      PutU32(out, static_cast<std::uint32_t>(std::get<std::int32_t>(value)));
      return ZEVO_MSG_S_OK;
    case ValueType::kUInt32:
      PutU32(out, std::get<std::uint32_t>(value));
      return ZEVO_MSG_S_OK;
    case ValueType::kWString: {
      const std::u16string& s = std::get<std::u16string>(value);
      PutU32(out, static_cast<std::uint32_t>(s.size()));
      for (char16_t c : s) PutU16(out, static_cast<std::uint16_t>(c));
      return ZEVO_MSG_S_OK;
    }
    case ValueType::kString: {
      const std::string& s = std::get<std::string>(value);
      PutU32(out, static_cast<std::uint32_t>(s.size()));
      out->insert(out->end(), s.begin(), s.end());
      return ZEVO_MSG_S_OK;
    }
    case ValueType::kBinary: {
      const std::vector<std::uint8_t>& b = std::get<Binary>(value).bytes;
      PutU32(out, static_cast<std::uint32_t>(b.size()));
      out->insert(out->end(), b.begin(), b.end());
      return ZEVO_MSG_S_OK;
    }
    case ValueType::kMessage: {
      if (depth >= ZEVO_MSG_MAX_NESTING) return ZEVO_MSG_E_TOO_LARGE;
      const std::size_t length_at = out->size();
      PutU32(out, 0);
      std::int32_t rc = std::get<MessagePtr>(value)->VisitContents(
          [&](const Contents& nested) { return EncodeInto(nested, depth + 1, out); });
      if (rc < 0) return rc;
      const std::size_t length = out->size() - length_at - 4;
      if (length > kMaxPacked) return ZEVO_MSG_E_TOO_LARGE;
      PatchU32(out, length_at, static_cast<std::uint32_t>(length));
      return ZEVO_MSG_S_OK;
    }
  }
  return ZEVO_MSG_E_FAIL;
}

std::int32_t EncodeInto(const Contents& contents, unsigned depth, std::vector<std::uint8_t>* out) {
  std::uint64_t count = 0;
  for (const auto& entry : contents.values) count += entry.second.size();
  if (count > kMaxPacked) return ZEVO_MSG_E_TOO_LARGE;
  PutU32(out, kMagic);
  PutU16(out, kVersion);
  PutU16(out, /*flags=*/0);
  PutU32(out, contents.name_id);
  PutU32(out, static_cast<std::uint32_t>(count));
  for (const auto& [index, values] : contents.values) {
    for (const Value& value : values) {
      PutU32(out, index);
      std::int32_t rc = EncodeValue(value, depth, out);
      if (rc < 0) return rc;
    }
  }
  return out->size() > kMaxPacked ? ZEVO_MSG_E_TOO_LARGE : ZEVO_MSG_S_OK;
}

std::int32_t SizeOf(const Contents& contents, unsigned depth, std::uint64_t* size);

std::int32_t SizeOfValue(const Value& value, unsigned depth, std::uint64_t* size) {
  switch (TypeOf(value)) {
    case ValueType::kInt32:
    case ValueType::kUInt32:
      *size = 4;
      return ZEVO_MSG_S_OK;
    case ValueType::kWString:
      *size = 4 + 2 * std::uint64_t{std::get<std::u16string>(value).size()};
      return ZEVO_MSG_S_OK;
    case ValueType::kString:
      *size = 4 + std::uint64_t{std::get<std::string>(value).size()};
      return ZEVO_MSG_S_OK;
    case ValueType::kBinary:
      *size = 4 + std::uint64_t{std::get<Binary>(value).bytes.size()};
      return ZEVO_MSG_S_OK;
    case ValueType::kMessage: {
      if (depth >= ZEVO_MSG_MAX_NESTING) return ZEVO_MSG_E_TOO_LARGE;
      std::uint64_t nested = 0;
      std::int32_t rc =
          std::get<MessagePtr>(value)->VisitContents([&](const Contents& c) { return SizeOf(c, depth + 1, &nested); });
      *size = 4 + nested;
      return rc;
    }
  }
  return ZEVO_MSG_E_FAIL;
}

std::int32_t SizeOf(const Contents& contents, unsigned depth, std::uint64_t* size) {
  std::uint64_t total = kHeaderSize;
  for (const auto& entry : contents.values) {
    for (const Value& value : entry.second) {
      std::uint64_t payload = 0;
      std::int32_t rc = SizeOfValue(value, depth, &payload);
      if (rc < 0) return rc;
      total += 5 + payload;
      if (total > kMaxPacked) return ZEVO_MSG_E_TOO_LARGE;
    }
  }
  *size = total;
  return ZEVO_MSG_S_OK;
}

// ---- reading ----

class Reader {
 public:
  Reader(const std::uint8_t* p, std::size_t left) : p_(p), left_(left) {}

  std::size_t left() const { return left_; }

  bool Skip(std::size_t n, const std::uint8_t** start) {
    if (n > left_) return false;
    *start = p_;
    p_ += n;
    left_ -= n;
    return true;
  }

  bool U8(std::uint8_t* v) {
    const std::uint8_t* b;
    if (!Skip(1, &b)) return false;
    *v = b[0];
    return true;
  }

  bool U16(std::uint16_t* v) {
    const std::uint8_t* b;
    if (!Skip(2, &b)) return false;
    *v = static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    return true;
  }

  bool U32(std::uint32_t* v) {
    const std::uint8_t* b;
    if (!Skip(4, &b)) return false;
    *v = std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) | (std::uint32_t{b[2]} << 16) | (std::uint32_t{b[3]} << 24);
    return true;
  }

 private:
  const std::uint8_t* p_;
  std::size_t left_;
};

struct DecodeContext {
  std::weak_ptr<Message> owner;
  unsigned nesting_left;
};

std::int32_t DecodeMessage(Reader* in, const DecodeContext& ctx, Contents* out);

std::int32_t DecodeNested(Reader* in, const DecodeContext& ctx, std::uint32_t index, Value* out) {
  if (ctx.nesting_left == 0) return ZEVO_MSG_E_TOO_LARGE;
  std::uint32_t length = 0;
  const std::uint8_t* start = nullptr;
  if (!in->U32(&length) || !in->Skip(length, &start)) return ZEVO_MSG_E_BAD_FORMAT;
  auto nested = std::make_shared<Message>(index, ctx.owner);
  Contents contents;
  Reader sub(start, length);
  std::int32_t rc = DecodeMessage(&sub, DecodeContext{nested, ctx.nesting_left - 1}, &contents);
  if (rc < 0) return rc;
  if (sub.left() != 0 || contents.name_id != index) return ZEVO_MSG_E_BAD_FORMAT;
  nested->Replace(std::move(contents));
  *out = std::move(nested);
  return ZEVO_MSG_S_OK;
}

std::int32_t DecodeValue(Reader* in, const DecodeContext& ctx, std::uint32_t index, Value* out) {
  std::uint8_t type = 0;
  if (!in->U8(&type)) return ZEVO_MSG_E_BAD_FORMAT;
  if (type == static_cast<std::uint8_t>(ValueType::kMessage)) return DecodeNested(in, ctx, index, out);
  std::uint32_t word = 0;
  if (type == 0 || type > kLastValueType || !in->U32(&word)) return ZEVO_MSG_E_BAD_FORMAT;
  const std::uint8_t* p = nullptr;
  switch (static_cast<ValueType>(type)) {
    case ValueType::kInt32:
      *out = static_cast<std::int32_t>(word);
      return ZEVO_MSG_S_OK;
    case ValueType::kUInt32:
      *out = word;
      return ZEVO_MSG_S_OK;
    case ValueType::kWString: {
      if (word > in->left() / 2 || !in->Skip(2 * std::size_t{word}, &p)) return ZEVO_MSG_E_BAD_FORMAT;
      std::u16string s(word, u'\0');
      for (std::size_t i = 0; i < word; ++i) s[i] = static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
      *out = std::move(s);
      return ZEVO_MSG_S_OK;
    }
    case ValueType::kString:
      if (!in->Skip(word, &p)) return ZEVO_MSG_E_BAD_FORMAT;
      *out = std::string(reinterpret_cast<const char*>(p), word);
      return ZEVO_MSG_S_OK;
    case ValueType::kBinary:
      if (!in->Skip(word, &p)) return ZEVO_MSG_E_BAD_FORMAT;
      *out = Binary{std::vector<std::uint8_t>(p, p + word)};
      return ZEVO_MSG_S_OK;
    case ValueType::kMessage:
      break;
  }
  return ZEVO_MSG_E_BAD_FORMAT;
}

std::int32_t DecodeMessage(Reader* in, const DecodeContext& ctx, Contents* out) {
  std::uint32_t magic = 0, count = 0;
  std::uint16_t version = 0, flags = 0;
  if (!in->U32(&magic) || !in->U16(&version) || !in->U16(&flags) || !in->U32(&out->name_id) || !in->U32(&count)) {
    return ZEVO_MSG_E_BAD_FORMAT;
  }
  if (magic != kMagic || version != kVersion || flags != 0) return ZEVO_MSG_E_BAD_FORMAT;
  // Cheap early bound so a forged count cannot make us loop for long.
  if (count > in->left() / kMinValueSize) return ZEVO_MSG_E_BAD_FORMAT;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint32_t index = 0;
    if (!in->U32(&index)) return ZEVO_MSG_E_BAD_FORMAT;
    Value value;
    std::int32_t rc = DecodeValue(in, ctx, index, &value);
    if (rc < 0) return rc;
    out->values[index].push_back(std::move(value));
  }
  return ZEVO_MSG_S_OK;
}

}  // namespace

std::int32_t Encode(const Contents& contents, std::vector<std::uint8_t>* out) {
  std::uint32_t size = 0;
  std::int32_t rc = EncodedSize(contents, &size);
  if (rc < 0) return rc;
  out->clear();
  out->reserve(size);
  return EncodeInto(contents, /*depth=*/0, out);
}

std::int32_t EncodedSize(const Contents& contents, std::uint32_t* size) {
  std::uint64_t total = 0;
  std::int32_t rc = SizeOf(contents, /*depth=*/0, &total);
  if (rc < 0) return rc;
  *size = static_cast<std::uint32_t>(total);
  return ZEVO_MSG_S_OK;
}

std::int32_t Decode(const std::uint8_t* bytes, std::size_t len, const std::weak_ptr<Message>& owner,
                    unsigned nesting_left, Contents* out) {
  Reader in(bytes, len);
  std::int32_t rc = DecodeMessage(&in, DecodeContext{owner, nesting_left}, out);
  if (rc < 0) return rc;
  return in.left() == 0 ? ZEVO_MSG_S_OK : ZEVO_MSG_E_BAD_FORMAT;
}

}  // namespace zevo::msg
