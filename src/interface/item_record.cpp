#include "interface/item_record.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "zevo/result.h"

namespace zevo::iface {
namespace {

// Whether one of the four UTF-16 code units in `word` is zero.
constexpr bool HasZeroUnit(std::uint64_t word) noexcept {
  constexpr std::uint64_t kLow = 0x0001000100010001ull;
  constexpr std::uint64_t kHigh = 0x8000800080008000ull;
  return ((word - kLow) & ~word & kHigh) != 0;
}

// Copies the text up to its terminator or capacity - 1 characters into a
// zeroed `target`, so the record never carries what followed the engine's
// terminator. Moves four characters at a time (every report copies six
// texts); never reads past the source's capacity.
template <std::size_t N>
void CopyText(const char16_t (&source)[N], char16_t (&target)[N]) noexcept {
  constexpr std::size_t kLimit = N - 1;
  std::size_t i = 0;
  for (; i + 4 <= kLimit; i += 4) {
    std::uint64_t word;
    std::memcpy(&word, source + i, sizeof word);
    if (HasZeroUnit(word)) break;
    std::memcpy(target + i, &word, sizeof word);
  }
  for (; i < kLimit && source[i] != u'\0'; ++i) target[i] = source[i];
}

}  // namespace

void PrefetchItem(const TKC_ITEM& item) noexcept {
#if defined(__GNUC__)
  const char16_t* const texts[] = {item.text1, item.text2, item.text3, item.companyText, item.text5, item.text6};
  __builtin_prefetch(&item);
  // Two lines of each text: names and paths rarely end in the first.
  for (const char16_t* text : texts) {
    __builtin_prefetch(text);
    __builtin_prefetch(text + 32);
  }
  __builtin_prefetch(&item.presence);
  __builtin_prefetch(&item.value16);
#else
  static_cast<void>(item);
#endif
}

void CopyItemFields(const TKC_ITEM& item, SPYWARE_ITEM& record, std::u16string_view companyName) noexcept {
  // One pass of zeros over the whole record is cheaper than zeroing behind
  // each of seven texts.
  std::memset(&record, 0, sizeof record);
  record.size = static_cast<std::uint32_t>(kSpywareItemSize);
  record.itemId = item.itemId;
  CopyText(item.text1, record.text1);
  CopyText(item.text2, record.text2);
  CopyText(item.text3, record.text3);
  CopyText(item.companyText, record.companyText);
  CopyText(item.text5, record.text5);
  CopyText(item.text6, record.text6);
  record.present = item.presence != 0 ? 1 : 0;
  record.kind = item.kind;
  record.resultFlags = item.resultFlags;
  record.state = item.state;
  record.value13 = item.value13;
  record.threatTypeId = item.threatTypeId;
  record.code = item.code;
  record.value16 = item.value16;
  const std::size_t length = std::min(companyName.size(), std::size(record.companyName) - 1);
  std::copy_n(companyName.data(), length, record.companyName);
}

std::int32_t CleanResultCode(const TKC_ITEM& item, std::int32_t cleanFlag) noexcept {
  if ((item.resultFlags & kItemFlagCleanedReported) != 0) return kItemCleaned;
  if ((item.resultFlags & kItemFlagCleaned) != 0) return kOk;
  if (item.kind == kItemKindStateCleaned && item.state == 1) return kOk;
  return cleanFlag == 1 ? kKeptByFileCheck : kItemNotCleaned;
}

}  // namespace zevo::iface
