#include "config/config_context.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "config/config_layout.h"
#include "zevo/result.h"

namespace zevo::config {
namespace {

template <class Char, std::size_t N>
std::uint32_t TextLength(const Char (&text)[N]) noexcept {
  std::uint32_t length = 0;
  while (length < N && text[length] != Char{}) ++length;
  return length;
}

// Copies the narrow string at `index` into `field`, cut to fit with its
// terminator. Absent or unreadable: the field stays as it is.
template <std::size_t N>
void ReadNarrow(const ZEVO_DataHandleWrapper& message, std::uint32_t index, char (&field)[N]) noexcept {
  std::uint32_t length = 0;
  if (message.GetStringAt(index, 0, nullptr, 0, &length) < 0) return;
  try {
    std::string text(std::size_t{length} + 1, '\0');
    if (message.GetStringAt(index, 0, text.data(), length + 1, &length) < 0) return;
    const std::size_t copied = std::min<std::size_t>(length, N - 1);
    std::memcpy(field, text.data(), copied);
    field[copied] = '\0';
  } catch (const std::bad_alloc&) {
  }
}

template <std::size_t N>
void ReadWide(const ZEVO_DataHandleWrapper& message, std::uint32_t index, char16_t (&field)[N]) noexcept {
  std::u16string text;
  if (message.GetWStringAt(index, 0, &text) < 0) return;
  const std::size_t copied = std::min<std::size_t>(text.size(), N - 1);
  std::copy_n(text.data(), copied, field);
  field[copied] = u'\0';
}

std::int32_t WriteRecord(const ZEVO_ContextRecord& record, ZEVO_DataHandleWrapper& message) noexcept {
  ZEVO_DataHandleWrapper numbers(kContextNumbersNameId);
  std::int32_t rc = message.PutUInt32(kContextNumberIndex, record.number);
  if (rc >= 0) rc = message.PutWString(kContextWideTextIndex, record.text, TextLength(record.text));
  for (int i = 0; i < 3 && rc >= 0; ++i) rc = numbers.PutUInt32(kContextNumbersIndex[i], record.numbers[i]);
  if (rc >= 0) rc = message.PutData(numbers);
  return rc;
}

std::int32_t WriteBlock(const ZEVO_ContextBlock& block, ZEVO_DataHandleWrapper& message) noexcept {
  ZEVO_DataHandleWrapper record(kContextRecordNameId);
  std::int32_t rc = message.PutString(kContextText1Index, block.text1, TextLength(block.text1));
  if (rc >= 0) rc = message.PutString(kContextText2Index, block.text2, TextLength(block.text2));
  if (rc >= 0) rc = WriteRecord(block.record, record);
  if (rc >= 0) rc = message.PutData(record);
  return rc;
}

}  // namespace

std::int32_t WriteContext(const ZEVO_Context& context, ZEVO_DataHandleWrapper& message) noexcept {
  ZEVO_DataHandleWrapper block(kContextBlockNameId);
  std::int32_t rc = message.PutString(kContextIdIndex, context.contextId, TextLength(context.contextId));
  if (rc >= 0) rc = WriteBlock(context.block, block);
  if (rc >= 0) rc = message.PutData(block);
  return rc < 0 ? rc : kCommonOk;
}

void ReadContext(const ZEVO_DataHandleWrapper& message, ZEVO_Context& context) noexcept {
  ReadNarrow(message, kContextIdIndex, context.contextId);
  ZEVO_DataHandleWrapper block(std::uint32_t{0});
  if (message.GetDataAt(kContextBlockNameId, 0, block) < 0) return;
  ReadNarrow(block, kContextText1Index, context.block.text1);
  ReadNarrow(block, kContextText2Index, context.block.text2);
  ZEVO_DataHandleWrapper record(std::uint32_t{0});
  if (block.GetDataAt(kContextRecordNameId, 0, record) < 0) return;
  ZEVO_ContextRecord& out = context.block.record;
  record.GetUInt32At(kContextNumberIndex, 0, &out.number);
  ReadWide(record, kContextWideTextIndex, out.text);
  ZEVO_DataHandleWrapper numbers(std::uint32_t{0});
  if (record.GetDataAt(kContextNumbersNameId, 0, numbers) < 0) return;
  for (int i = 0; i < 3; ++i) numbers.GetUInt32At(kContextNumbersIndex[i], 0, &out.numbers[i]);
}

}  // namespace zevo::config
