// Loads arbitrary bytes as a packed message; whatever loads must also walk,
// copy and pack again to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "zevo/msg.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// Reads the values under every index the input may name, with every getter,
// so each one meets its own type and the wrong ones.
void Walk(const ZEVO_DataHandle* h, const std::uint8_t* bytes, std::size_t len, int depth) {
  std::vector<std::uint8_t> buf(len + 2);
  std::set<std::uint32_t> indexes;  // any 4 bytes of the input may be an index
  for (std::size_t at = 0; at + 4 <= len && at < 512; ++at) {
    std::uint32_t index = 0;
    std::memcpy(&index, bytes + at, 4);
    indexes.insert(index);
  }
  for (std::uint32_t index : indexes) {
    std::uint32_t count = 0;
    if (ZEVO_Msg_GetSizeOf(h, index, &count) < 0) continue;
    for (std::uint32_t pos = 0; pos <= count && pos < 64; ++pos) {
      std::int32_t i = 0;
      std::uint32_t u = 0, n = 0;
      ZEVO_Msg_GetInt32At(h, index, pos, &i);
      ZEVO_Msg_GetUInt32At(h, index, pos, &u);
      if (ZEVO_Msg_GetWStringAt(h, index, pos, nullptr, 0, &n) >= 0 && n + 1 <= buf.size() / 2) {
        Check(ZEVO_Msg_GetWStringAt(h, index, pos, reinterpret_cast<char16_t*>(buf.data()), n + 1, &n) >= 0);
      }
      ZEVO_Msg_GetStringAt(h, index, pos, reinterpret_cast<char*>(buf.data()), static_cast<std::uint32_t>(buf.size()),
                           &n);
      ZEVO_Msg_GetBinaryAt(h, index, pos, buf.data(), static_cast<std::uint32_t>(buf.size()), &n);
      ZEVO_DataHandle nested{};
      if (depth < 3 && ZEVO_Msg_GetDataAt(h, index, pos, &nested) >= 0) {
        Walk(&nested, bytes, len, depth + 1);
        ZEVO_Msg_DestroyDataHandle(&nested);
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > UINT32_MAX) return 0;
  ZEVO_DataHandle h{};
  Check(ZEVO_Msg_CreateDataHandle(0, &h) == ZEVO_MSG_S_OK);
  if (ZEVO_Msg_Load(&h, data, static_cast<std::uint32_t>(size)) == ZEVO_MSG_S_OK) {
    Walk(&h, data, size, 0);
    // The packed form is canonical up to value order across indexes, so
    // compare a copy's packed form with the original's instead of the input.
    ZEVO_DataHandle copy{};
    Check(ZEVO_Msg_DuplicateDataHandle(&h, &copy) == ZEVO_MSG_S_OK);
    std::uint32_t len = 0, copy_len = 0;
    const void* start = nullptr;
    const void* copy_start = nullptr;
    Check(ZEVO_Msg_Pack(&h) == ZEVO_MSG_S_OK && ZEVO_Msg_Pack(&copy) == ZEVO_MSG_S_OK);
    Check(ZEVO_Msg_GetDataLen(&h, &len) == ZEVO_MSG_S_OK && ZEVO_Msg_GetDataLen(&copy, &copy_len) == ZEVO_MSG_S_OK);
    Check(len == size && len == copy_len);
    Check(ZEVO_Msg_GetStartAddress(&h, &start) == ZEVO_MSG_S_OK);
    Check(ZEVO_Msg_GetStartAddress(&copy, &copy_start) == ZEVO_MSG_S_OK);
    Check(std::memcmp(start, copy_start, len) == 0);
    // Loading our own packed form gives the same bytes again.
    Check(ZEVO_Msg_Load(&copy, start, len) == ZEVO_MSG_S_OK && ZEVO_Msg_Pack(&copy) == ZEVO_MSG_S_OK);
    Check(ZEVO_Msg_GetStartAddress(&copy, &copy_start) == ZEVO_MSG_S_OK && std::memcmp(start, copy_start, len) == 0);
    ZEVO_Msg_DestroyDataHandle(&copy);
  }
  Check(ZEVO_Msg_DestroyDataHandle(&h) == ZEVO_MSG_S_OK);
  return 0;
}
