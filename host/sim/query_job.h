// The scan manager's company queries through a started module: an engine
// interface (100011) without a session, function 8283 for the whole company
// table, or function 8282 once per kind of question, then the release.
#ifndef ZEVO_HOST_SIM_QUERY_JOB_H_
#define ZEVO_HOST_SIM_QUERY_JOB_H_

#include <cstdint>
#include <string>
#include <vector>

#include "zevo/plugin_exports.h"

namespace zevo::hostsim {

inline constexpr std::int32_t kQueryNotRun = 0x7fffffff;

struct CompanyRow {
  std::uint32_t id = 0;
  std::u16string name;
};

struct CompanyTableResults {
  bool obtained = false;
  std::int32_t result = kQueryNotRun;  // of function 8283
  // False when the reply's names and ids do not pair up one to one.
  bool paired = true;
  std::vector<CompanyRow> rows;  // in the reply's order
};

// Function 8283 with a null request, as the scan manager calls it.
CompanyTableResults RunCompanyTableQuery(const PluginExportTable& exports) noexcept;

struct LookupResults {
  bool obtained = false;
  std::int32_t namesResult = kQueryNotRun;  // 8282, code 11 (only with ids)
  std::int32_t idsResult = kQueryNotRun;    // 8282, code 12 (only with names)
  // One answer per question, in order; empty / -1: not found (also when the
  // reply lacks a value at that position).
  std::vector<std::u16string> namesOfIds;
  std::vector<std::int32_t> idsOfNames;
};

LookupResults RunLookup(const PluginExportTable& exports, const std::vector<std::int32_t>& ids,
                        const std::vector<std::u16string>& names) noexcept;

}  // namespace zevo::hostsim

#endif  // ZEVO_HOST_SIM_QUERY_JOB_H_
