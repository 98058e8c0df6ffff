#include "sim/query_job.h"

#include <exception>

#include "sim/engine_object.h"
#include "sim/query_blocks.h"
#include "zevo/identity.h"
#include "zevo/result.h"

namespace zevo::hostsim {

CompanyTableResults RunCompanyTableQuery(const PluginExportTable& exports) noexcept {
  CompanyTableResults results;
  EngineObject engine(exports);
  results.obtained = static_cast<bool>(engine);
  if (!results.obtained) return results;
  QueryReply reply;
  results.result = engine.Call(kFnNameIdByTable, nullptr, reply.Block());
  try {
    const auto names = reply.Names();
    const auto ids = reply.UnsignedIds();
    results.paired = names.size() == ids.size();
    for (std::size_t i = 0; i < names.size() && i < ids.size(); ++i) {
      if (!names[i] || !ids[i]) {
        results.paired = false;
        continue;
      }
      results.rows.push_back({*ids[i], *names[i]});
    }
  } catch (const std::exception&) {
    results.paired = false;
  }
  return results;
}

LookupResults RunLookup(const PluginExportTable& exports, const std::vector<std::int32_t>& ids,
                        const std::vector<std::u16string>& names) noexcept {
  LookupResults results;
  EngineObject engine(exports);
  results.obtained = static_cast<bool>(engine);
  if (!results.obtained) return results;
  try {
    results.namesOfIds.assign(ids.size(), std::u16string());
    results.idsOfNames.assign(names.size(), -1);
    if (!ids.empty()) {
      QueryRequest request = QueryRequest::NamesByIds(ids);
      QueryReply reply;
      results.namesResult = engine.Call(kFnQuery, request.Block(), reply.Block());
      const auto answers = reply.Names();
      for (std::size_t i = 0; i < answers.size() && i < ids.size(); ++i) {
        if (answers[i]) results.namesOfIds[i] = *answers[i];
      }
    }
    if (!names.empty()) {
      QueryRequest request = QueryRequest::IdsByNames(names);
      QueryReply reply;
      results.idsResult = engine.Call(kFnQuery, request.Block(), reply.Block());
      const auto answers = reply.Ids();
      for (std::size_t i = 0; i < answers.size() && i < names.size(); ++i) {
        if (answers[i]) results.idsOfNames[i] = *answers[i];
      }
    }
  } catch (const std::exception&) {
    if (results.namesResult == kQueryNotRun && !ids.empty()) results.namesResult = kFail;
    if (results.idsResult == kQueryNotRun && !names.empty()) results.idsResult = kFail;
  }
  return results;
}

}  // namespace zevo::hostsim
