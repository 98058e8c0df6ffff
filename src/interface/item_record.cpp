#include "interface/item_record.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "zevo/result.h"

namespace zevo::iface {
namespace {

// The length of `text` up to its terminator, at most `limit`. Reads four
// characters at a time (every report scans six texts); never past `limit`.
std::size_t BoundedLength(const char16_t* text, std::size_t limit) noexcept {
  constexpr std::uint64_t kLow = 0x0001000100010001ull;
  constexpr std::uint64_t kHigh = 0x8000800080008000ull;
  std::size_t i = 0;
  for (; i + 4 <= limit; i += 4) {
    std::uint64_t word;
    std::memcpy(&word, text + i, sizeof word);
    if (((word - kLow) & ~word & kHigh) != 0) break;  // some character is zero
  }
  while (i < limit && text[i] != u'\0') ++i;
  return i;
}

// Copies the text up to its terminator or capacity - 1 characters and
// zero-fills the rest, so the record never carries what followed the
// engine's terminator.
template <std::size_t N>
void CopyText(const char16_t (&source)[N], char16_t (&target)[N]) noexcept {
  const std::size_t length = BoundedLength(source, N - 1);
  std::memcpy(target, source, length * sizeof(char16_t));
  std::memset(target + length, 0, (N - length) * sizeof(char16_t));
}

}  // namespace

void CopyItemFields(const TKC_ITEM& item, SPYWARE_ITEM& record) noexcept {
  record.size = static_cast<std::uint32_t>(kSpywareItemSize);
  record.itemId = item.itemId;
  CopyText(item.text1, record.text1);
  CopyText(item.text2, record.text2);
  CopyText(item.text3, record.text3);
  CopyText(item.companyText, record.companyText);
  CopyText(item.text5, record.text5);
  CopyText(item.text6, record.text6);
  record.present = item.presence != 0 ? 1 : 0;
  std::memset(record.reserved0, 0, sizeof record.reserved0);
  record.kind = item.kind;
  record.resultFlags = item.resultFlags;
  record.state = item.state;
  record.value13 = item.value13;
  record.threatTypeId = item.threatTypeId;
  record.threatLevel = 0;
  record.code = item.code;
  record.value16 = item.value16;
  std::memset(record.companyName, 0, sizeof record.companyName);
  std::memset(record.reserved1, 0, sizeof record.reserved1);
  record.resultCode = 0;
}

void SetCompanyName(SPYWARE_ITEM& record, std::u16string_view name) noexcept {
  const std::size_t length = std::min(name.size(), std::size(record.companyName) - 1);
  std::memcpy(record.companyName, name.data(), length * sizeof(char16_t));
  std::memset(record.companyName + length, 0, sizeof record.companyName - length * sizeof(char16_t));
}

std::int32_t CleanResultCode(const TKC_ITEM& item, std::int32_t cleanFlag) noexcept {
  if ((item.resultFlags & kItemFlagCleanedReported) != 0) return kItemCleaned;
  if ((item.resultFlags & kItemFlagCleaned) != 0) return kOk;
  if (item.kind == kItemKindStateCleaned && item.state == 1) return kOk;
  return cleanFlag == 1 ? kKeptByFileCheck : kItemNotCleaned;
}

}  // namespace zevo::iface
