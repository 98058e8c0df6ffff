#include "os/posix/dl_error.h"

#include <cerrno>
#include <cstddef>
#include <cstring>

namespace zevo::os::posix {

namespace {

// Plain data on purpose: a thread_local with a destructor would make the
// C library pin this module in memory until every thread that touched it
// exits, so the host could not unload the plug-in.
struct DlErrorRecord {
  bool valid;
  int code;
  std::size_t length;
  // Enough UTF-8 for the longest error text even at 3 bytes per unit.
  char text[1024];
};

thread_local DlErrorRecord tRecord;

// Cuts at most `capacity` bytes of UTF-8 without splitting a sequence.
std::size_t CutUtf8(const char* text, std::size_t length, std::size_t capacity) {
  if (length <= capacity) return length;
  std::size_t cut = capacity;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
    --cut;
  }
  return cut;
}

}  // namespace

void RecordDlError(const char* text, int fallbackCode) noexcept {
  const int code = errno != 0 ? errno : fallbackCode;
  if (text == nullptr) text = "";
  tRecord.length = CutUtf8(text, std::strlen(text), sizeof tRecord.text);
  std::memcpy(tRecord.text, text, tRecord.length);
  tRecord.code = code;
  tRecord.valid = true;
  errno = code;
}

void ClearDlError() noexcept { tRecord.valid = false; }

std::string_view RecordedDlErrorText(int code) noexcept {
  if (!tRecord.valid || tRecord.code != code) return {};
  return {tRecord.text, tRecord.length};
}

}  // namespace zevo::os::posix
