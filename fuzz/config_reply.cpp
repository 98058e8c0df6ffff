// Loads arbitrary bytes as the configuration repository's reply and applies
// it: once as a batch read directly with every typed getter, once through
// ZEVO_ConfigHelper::Execute with reads of every type. Bytes that are no
// packed message are read as a list of commands instead and packed into a
// reply, so that the command paths are reached without first finding the
// packed format.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "config/config_batch.h"
#include "config/config_helper.h"
#include "config/config_layout.h"
#include "zevo/organizer.h"
#include "zevo/result.h"

namespace {

struct Input {
  const std::uint8_t* data;
  std::size_t size;
};
Input g_input;

std::uint64_t Open(SPluginInterfaceOrganizer*, std::uint64_t) { return 1; }
void Release(SPluginInterfaceOrganizer*, std::uint64_t) {}
std::int32_t Call(SPluginInterfaceOrganizer*, std::uint64_t, std::uint32_t, void*, void* output) {
  auto* reply = static_cast<ZEVO_DataHandleWrapper*>(output);
  return reply->Load(g_input.data, static_cast<std::uint32_t>(g_input.size));
}

// 16 bytes per command: key, status, tag (32 bits each), the kind of datum
// and three bytes of datum.
std::vector<std::uint8_t> CommandsAsReply(const std::uint8_t* data, std::size_t size) {
  ZEVO_DataHandleWrapper reply(zevo::config::kBatchNameId);
  for (std::size_t at = 0; at + 16 <= size; at += 16) {
    std::uint32_t key = 0, status = 0, tag = 0;
    std::memcpy(&key, data + at, 4), std::memcpy(&status, data + at + 4, 4), std::memcpy(&tag, data + at + 8, 4);
    const std::uint8_t kind = data[at + 12];
    const std::uint8_t* datum = data + at + 13;
    ZEVO_DataHandleWrapper value(zevo::config::kValueNameId), command(zevo::config::kCommandNameId);
    switch (kind % 6) {
      case 0:
        value.PutInt32(zevo::config::kValueIndex, static_cast<std::int8_t>(datum[0]));
        break;
      case 1:
        value.PutUInt32(zevo::config::kValueIndex, datum[0] | (datum[1] << 8));
        break;
      case 2:
        value.PutBinary(zevo::config::kValueIndex, datum, kind % 4);
        break;
      case 3: {
        const char16_t text[3] = {static_cast<char16_t>(u'0' + datum[0] % 12), static_cast<char16_t>(datum[1]), u'7'};
        value.PutWString(zevo::config::kValueIndex, text, kind % 4);
        break;
      }
      case 4:
        value.PutData(ZEVO_DataHandleWrapper(static_cast<std::uint32_t>(datum[0])));
        break;
      default:
        break;
    }
    command.PutInt32(zevo::config::kCommandOperationIndex, 4);
    command.PutUInt32(zevo::config::kCommandKeyIndex, key % 16);
    if (kind & 0x80) command.PutInt32(zevo::config::kCommandStatusIndex, static_cast<std::int32_t>(status));
    command.PutInt32(zevo::config::kCommandTagIndex, static_cast<std::int32_t>(tag % 16));
    if (kind & 0x40) command.PutData(value);
    reply.PutData(command);
  }
  const void* start = nullptr;
  std::uint32_t length = 0;
  if (reply.Pack() < 0 || reply.GetDataLen(&length) < 0 || reply.GetStartAddress(&start) < 0) return {};
  const auto* bytes = static_cast<const std::uint8_t*>(start);
  return std::vector<std::uint8_t>(bytes, bytes + length);
}

template <class T>
void ReadAll(const zevo::config::CConfigBatchCommands& batch, std::uint32_t key) {
  T value{};
  batch.GetCommandValue(key, &value);
}

void ReadEveryType(const zevo::config::CConfigBatchCommands& batch, std::uint32_t key) {
  ReadAll<std::u16string>(batch, key), ReadAll<std::uint64_t>(batch, key), ReadAll<std::uint32_t>(batch, key);
  ReadAll<std::uint16_t>(batch, key), ReadAll<std::uint8_t>(batch, key), ReadAll<std::int64_t>(batch, key);
  ReadAll<std::int32_t>(batch, key), ReadAll<std::int16_t>(batch, key), ReadAll<std::int8_t>(batch, key);
  ReadAll<bool>(batch, key);
  ZEVO_DataHandleWrapper message;
  batch.GetCommandValue(key, &message);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > UINT32_MAX) return 0;
  g_input = {data, size};

  ZEVO_DataHandleWrapper reply;
  std::vector<std::uint8_t> structured;
  if (reply.Load(data, static_cast<std::uint32_t>(size)) < 0) {
    structured = CommandsAsReply(data, size);
    g_input = {structured.data(), structured.size()};
    if (reply.Load(g_input.data, static_cast<std::uint32_t>(g_input.size)) < 0) std::abort();
  }
  zevo::config::CConfigBatchCommands batch(reply);
  if (!batch.Valid()) std::abort();
  for (const auto& [key, command] : batch.Imp()->commands) ReadEveryType(batch, key);
  ZEVO_DataHandleWrapper again;
  batch.WriteToMessage(again);

  SPluginInterfaceOrganizer table{};
  table.OpenInterface = &Open;
  table.ReleaseInterface = &Release;
  table.CallInterface = &Call;
  zevo::config::ZEVO_ConfigHelper helper(&table);
  std::int32_t statuses[11];
  std::u16string text;
  std::uint64_t u64 = 0;
  std::uint32_t u32 = 0;
  std::uint16_t u16 = 0;
  std::uint8_t u8 = 0;
  std::int64_t i64 = 0;
  std::int32_t i32 = 0;
  std::int16_t i16 = 0;
  std::int8_t i8 = 0;
  bool flag = false;
  ZEVO_DataHandleWrapper message;
  void* values[11] = {&message, &flag, &i8, &i16, &i32, &i64, &u8, &u16, &u32, &u64, &text};
  for (std::uint32_t tag = 1; tag <= 11; ++tag) {
    statuses[tag - 1] = zevo::kFail;
    helper.AddRead(tag, tag, &statuses[tag - 1], values[tag - 1]);
  }
  // Two more reads of keys already added: one command each, several readers.
  std::int32_t extra[2] = {zevo::kFail, zevo::kFail};
  helper.AddRead(5, 11, &extra[0], &text);
  helper.AddRead(11, 2, &extra[1], &flag);
  helper.Execute();
  return 0;
}
