// Arbitrary bytes as the input message of notification 4116 (take a new
// component into use), sent to the module (in-process) that knows the
// reference engine's folder. Bytes that are a packed message are the input
// as they are; any others fill one update request field by field, so that
// the pattern check is reached without first finding the packed format.
// Every answer is a code, and an input without an update request is
// refused with 0xe0ff0001.
#include <dlfcn.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "plugin/exports.h"
#include "plugin/notify_messages.h"
#include "sim/reference_host.h"
#include "zevo/result.h"

namespace {

constexpr std::uint32_t kNotifyUpdate = 4116;

// Fields 0x20001 and 1 to 18 in turn, each from 5 bytes: a type byte (int32,
// uint32, wide text, absent) and 4 bytes of value; the kind and the
// component id come out right often enough for the check to run.
// Odd sizes leave the request out of the input.
void Structured(ZEVO_DataHandleWrapper& input, const std::uint8_t* data, std::size_t size) {
  ZEVO_DataHandleWrapper request(zevo::plugin::kUpdateRequestType);
  std::uint32_t field = zevo::plugin::kFieldEmbeddedHeader;
  for (std::size_t at = 0; at + 5 <= size; at += 5, field = field > 18 ? 1 : field + 1) {
    std::uint32_t value =
        data[at + 1] | (data[at + 2] << 8) | (data[at + 3] << 16) | (std::uint32_t{data[at + 4]} << 24);
    if (field == 1 && data[at] & 0x10)
      value = data[at] & 0x20 ? zevo::plugin::kKindPatternFile : zevo::plugin::kKindEngineLibrary;
    if (field == 2 && data[at] & 0x10) {
      value = data[at] & 0x20 ? zevo::plugin::kPatternFileComponentId : zevo::plugin::kEngineLibraryComponentId;
    }
    switch (data[at] % 4) {
      case 0:
        request.PutInt32(field, static_cast<std::int32_t>(value));
        break;
      case 1:
        request.PutUInt32(field, value);
        break;
      case 2:
        request.PutWString(field, std::u16string(value % 8, static_cast<char16_t>(value >> 16)));
        break;
      default:
        break;
    }
  }
  if (size % 2 == 0) input.PutData(request);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > UINT32_MAX) return 0;
  static zevo::hostsim::ReferenceHost host{ZEVO_FUZZ_ENGINE_DIR};
  // Each check loads the engine library and unloads it again; a reference
  // of our own keeps its coverage counters mapped for the fuzzer.
  static void* const engine = dlopen(ZEVO_FUZZ_ENGINE_DIR "/tarsk64.dll", RTLD_NOW);
  if (engine == nullptr) std::abort();
  static const std::uint32_t initialized = Plugin_Interface_Initialize(host.Organizer());
  if (initialized != static_cast<std::uint32_t>(zevo::kOk)) std::abort();
  ZEVO_DataHandleWrapper input;
  const bool packed = input.Load(data, static_cast<std::uint32_t>(size)) >= 0;
  if (!packed) Structured(input, data, size);
  const std::int32_t result = Plugin_Interface_OnNotify(kNotifyUpdate, &input, nullptr);
  if (!packed && size % 2 == 1 && result != zevo::kFail) std::abort();
  return 0;
}
