#include "sim/referential_job.h"

#include <algorithm>
#include <exception>

#include "sim/engine_object.h"
#include "zevo/identity.h"
#include "zevo/result.h"

namespace zevo::hostsim {
namespace {

template <std::size_t N>
bool CopyText(const std::u16string& text, char16_t (&field)[N]) noexcept {
  if (text.size() >= N || text.find(u'\0') != std::u16string::npos) return false;
  std::copy(text.begin(), text.end(), field);
  std::fill(field + text.size(), field + N, u'\0');
  return true;
}

// Functions 3 and 4 once the session is open and the sink registered.
void AddAndScan(const EngineObject& engine, const ReferentialJobRequest& request, ReferentialJobResults& results) {
  bool allAdded = true;
  for (const Reference& reference : request.references) {
    std::optional<ZEVO_ReferentialItem> item = MakeReferentialItem(reference);
    const std::int32_t added = item ? engine.Call(kFnAddReferentialItem, &*item) : kUnsupported;
    results.add.push_back(added);
    allAdded = allAdded && Succeeded(added);
  }
  if (!allAdded) return;
  ZEVO_ScanOptions options = request.options;
  results.scan = engine.Call(kFnStartReferentialScan, &options);
}

}  // namespace

std::optional<ZEVO_ReferentialItem> MakeReferentialItem(const Reference& reference) noexcept {
  ZEVO_ReferentialItem item;
  if (!CopyText(reference.first, item.first) || !CopyText(reference.second, item.second) ||
      !CopyText(reference.third, item.third)) {
    return std::nullopt;
  }
  return item;
}

std::int32_t ReferentialJobResults::FirstFailure() const noexcept {
  if (!obtained) return kNoEngineInterface;
  for (const std::int32_t result : {open, setSink}) {
    if (result != kNotRun && Failed(result)) return result;
  }
  for (const std::int32_t result : add) {
    if (Failed(result)) return result;
  }
  for (const std::int32_t result : {scan, close}) {
    if (result != kNotRun && Failed(result)) return result;
  }
  return 0;
}

ReferentialJobResults RunReferentialJob(const PluginExportTable& exports, const ReferentialJobRequest& request,
                                        ProgressRecorder& sink) noexcept {
  ReferentialJobResults results;
  try {
    results.add.reserve(request.references.size());
  } catch (const std::exception&) {
    sink.Seal();
    results.open = kFail;
    return results;
  }
  const ZEVO_OpenBlock open{request.context, request.callerName.c_str(), request.cookie};
  RunSessionJob(exports, open, sink, results,
                [&](const EngineObject& engine) { AddAndScan(engine, request, results); });
  return results;
}

}  // namespace zevo::hostsim
