// Arbitrary bytes as the request message of function 8282, sent to an
// engine interface of the module (in-process) started on the reference
// engine. Bytes that are a packed message are the request as they are;
// any others are read as a query code and its questions, so that the
// lookups are reached without first finding the packed format. Every
// answer is a code; a delivered reply is well formed: name id 65542, one
// answer per question and the status value last.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "plugin/exports.h"
#include "sim/query_blocks.h"
#include "sim/reference_host.h"
#include "zevo/host_blocks.h"
#include "zevo/result.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

ICommonPluginInterface* g_engine = nullptr;

// Given back before the engine library's own globals go at exit (handlers
// run in reverse order of registration, and the library registered its own
// when it was loaded).
void Stop() {
  Plugin_Interface_CallFunc(g_engine, zevo::kFnCloseSession, nullptr, nullptr);
  Plugin_Interface_Release(g_engine);
  Plugin_Interface_PreUninitialize();
  Plugin_Interface_Uninitialize();
}

// The module started on the build's reference engine, with one engine
// interface whose session is open. Lives for the whole run.
ICommonPluginInterface* Engine() {
  static zevo::hostsim::ReferenceHost host{ZEVO_FUZZ_ENGINE_DIR};
  static const bool started = [] {
    Plugin_Interface_Initialize(host.Organizer());
    Plugin_Interface_PostInitialize();
    g_engine = Plugin_Interface_QueryInterface(zevo::kEngineInterfaceId);
    Check(g_engine != nullptr && Plugin_Interface_CallFunc(g_engine, zevo::kFnOpenSession, nullptr, nullptr) >= 0);
    std::atexit(Stop);
    return true;
  }();
  return started ? g_engine : nullptr;
}

// Byte 0: the code (11, 12 or what it is); then, for 11, ids of 2 bytes
// (the pattern's ids are small), for 12, names of UTF-16 units separated by
// 0xffff; a byte 0xfe puts a value of the wrong type instead.
void Structured(ZEVO_DataHandleWrapper& m, const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  const std::int32_t code = data[0] % 4 == 0 ? static_cast<std::int8_t>(data[0]) : 11 + data[0] % 2;
  m.PutInt32(zevo::kIndexQueryCode, code);
  std::u16string name;
  for (std::size_t at = 1; at + 2 <= size; at += 2) {
    const auto unit = static_cast<char16_t>(data[at] | (data[at + 1] << 8));
    if (data[at] == 0xfe) {
      m.PutUInt32(code == 11 ? zevo::kIndexCompanyId : zevo::kIndexCompanyName, unit);
    } else if (code == 11) {
      m.PutInt32(zevo::kIndexCompanyId, static_cast<std::int16_t>(unit));
    } else if (unit == 0xffff) {
      m.PutWString(zevo::kIndexCompanyName, name), name.clear();
    } else {
      name += unit;
    }
  }
  if (!name.empty()) m.PutWString(zevo::kIndexCompanyName, name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > UINT32_MAX) return 0;
  ICommonPluginInterface* const engine = Engine();
  zevo::hostsim::QueryRequest request(std::nullopt);
  ZEVO_DataHandleWrapper& message = request.Message();
  if (message.Load(data, static_cast<std::uint32_t>(size)) < 0) Structured(message, data, size);
  zevo::hostsim::QueryReply reply;
  const std::int32_t result = Plugin_Interface_CallFunc(engine, zevo::kFnQuery, request.Block(), reply.Block());
  Check(zevo::Succeeded(result) == reply.Delivered());
  if (!reply.Delivered()) return 0;
  Check(zevo::GetReplyNameId(reply.Block()) == zevo::kReplyMessageNameId);
  Check(reply.Status() == zevo::kCommonOk);
  std::uint32_t questions = 0;
  std::int32_t code = 0;
  message.GetInt32At(zevo::kIndexQueryCode, 0, &code);
  message.GetSizeOf(code == 11 ? zevo::kIndexCompanyId : zevo::kIndexCompanyName, &questions);
  Check(reply.CountOf(code == 11 ? zevo::kIndexCompanyName : zevo::kIndexCompanyId) == questions);
  return 0;
}
