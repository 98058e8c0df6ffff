#include "os/guid.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <random>
#include <thread>

namespace zevo::os {

namespace {

using GuidBytes = std::array<std::uint8_t, 16>;

// Only if the system's random source is unusable: a generator per thread,
// seeded from the clock and the thread, so two threads never share state.
void FillFallback(GuidBytes& bytes) {
  thread_local std::mt19937_64 generator(
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
      std::hash<std::thread::id>{}(std::this_thread::get_id()));
  for (auto& b : bytes) b = static_cast<std::uint8_t>(generator());
}

void FillRandom(GuidBytes& bytes) {
  try {
    std::random_device device;
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
      const std::uint32_t word = device();
      for (std::size_t j = 0; j < 4; ++j) {
        bytes[i + j] = static_cast<std::uint8_t>(word >> (8 * j));
      }
    }
  } catch (const std::exception&) {
    FillFallback(bytes);
  }
}

void AppendHex(std::u16string& out, std::uint8_t byte) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  out.push_back(kDigits[byte >> 4]);
  out.push_back(kDigits[byte & 0x0F]);
}

}  // namespace

std::u16string NewGuidText() {
  GuidBytes bytes;
  FillRandom(bytes);
  bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);  // version 4
  bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);  // RFC 4122
  // The bytes are in text order, so the fields come out as StringFromGUID2
  // writes them: 8-4-4-4-12 hex digits in braces.
  std::u16string text;
  text.reserve(kGuidTextLength);
  text.push_back(u'{');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text.push_back(u'-');
    AppendHex(text, bytes[i]);
  }
  text.push_back(u'}');
  return text;
}

}  // namespace zevo::os
