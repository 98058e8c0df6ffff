// `zevo-host companies` and `zevo-host lookup`: the company queries the scan
// manager sends to the module (functions 8283 and 8282), answered from the
// company table the module read from the engine's pattern at start.
#ifndef ZEVO_HOST_CLI_QUERY_COMMAND_H_
#define ZEVO_HOST_CLI_QUERY_COMMAND_H_

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "job_host.h"

namespace zevo::cli {

struct CompaniesOptions {
  HostOptions host;
  bool json = false;
};

// Prints the company table (id, name) in the module's order. 0 when the
// module answered (an empty table included), 2 after a message on `err`.
int RunCompanies(const CompaniesOptions& options, std::ostream& out, std::ostream& err) noexcept;

struct LookupOptions {
  HostOptions host;
  std::vector<std::int32_t> ids;   // asked in one call, in order
  std::vector<std::string> names;  // UTF-8; asked in one call, in order
  bool json = false;
};

// Prints each answer beside its question, ids first. 0 when every question
// found its company, 1 when one did not, 2 after a message on `err`.
int RunLookup(const LookupOptions& options, std::ostream& out, std::ostream& err) noexcept;

}  // namespace zevo::cli

#endif  // ZEVO_HOST_CLI_QUERY_COMMAND_H_
