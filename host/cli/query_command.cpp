#include "query_command.h"

#include <iomanip>

#include <nlohmann/json.hpp>

#include "common/utf.h"
#include "console.h"
#include "info_report.h"
#include "module_open.h"
#include "scan_report.h"
#include "sim/query_job.h"
#include "zevo/result.h"

namespace zevo::cli {
namespace {

constexpr const char* kNotFound = "not found";
// `lookup`: a question without a company.
constexpr int kExitNotFound = 1;

std::string StepText(std::int32_t result) { return result == hostsim::kQueryNotRun ? "not run" : Hex(result); }

void RequireInterface(bool obtained) {
  if (!obtained) throw Failure{"the module handed out no engine interface (100011)"};
}

void RequireAnswer(std::int32_t result, const char* what) {
  if (result != hostsim::kQueryNotRun && Failed(result)) {
    throw Failure{std::string("function 8282 (") + what + ") returned " + Hex(result)};
  }
}

}  // namespace

int RunCompanies(const CompaniesOptions& options, std::ostream& out, std::ostream& err) noexcept {
  try {
    UseUtf8Output();
    hostsim::CompanyTableResults results;
    {
      JobHost host(options.host);
      results = hostsim::RunCompanyTableQuery(host.Exports());
    }
    RequireInterface(results.obtained);
    // An empty table is an answer too (0xe0ff000f with an empty reply).
    if (Failed(results.result) && results.result != kEmptyReply) {
      throw Failure{"function 8283 returned " + Hex(results.result)};
    }
    if (!results.paired) throw Failure{"the reply of function 8283 does not pair every name with an id"};
    if (options.json) {
      nlohmann::json companies = nlohmann::json::array();
      for (const auto& row : results.rows) companies.push_back({{"id", row.id}, {"name", host::Utf16ToUtf8(row.name)}});
      out << nlohmann::json{{"companies", companies}, {"result", Hex(results.result)}, {"exitCode", 0}}.dump(2) << '\n';
      return 0;
    }
    out << std::left << std::setw(12) << "ID"
        << "NAME\n";
    for (const auto& row : results.rows) out << std::setw(12) << row.id << host::Utf16ToUtf8(row.name) << '\n';
    out << results.rows.size() << " companies (function 8283: " << Hex(results.result) << ")\n";
    return 0;
  } catch (...) {
    ReportCurrentFailure(err);
  }
  return kExitError;
}

int RunLookup(const LookupOptions& options, std::ostream& out, std::ostream& err) noexcept {
  try {
    UseUtf8Output();
    std::vector<std::u16string> names;
    for (const std::string& name : options.names) names.push_back(host::Utf8ToUtf16(name));
    hostsim::LookupResults results;
    {
      JobHost host(options.host);
      results = hostsim::RunLookup(host.Exports(), options.ids, names);
    }
    RequireInterface(results.obtained);
    RequireAnswer(results.namesResult, "names of ids");
    RequireAnswer(results.idsResult, "ids of names");
    bool allFound = true;
    nlohmann::json ids = nlohmann::json::array();
    nlohmann::json byName = nlohmann::json::array();
    for (std::size_t i = 0; i < options.ids.size(); ++i) {
      const std::string name = host::Utf16ToUtf8(results.namesOfIds[i]);
      allFound = allFound && !name.empty();
      ids.push_back({{"id", options.ids[i]}, {"name", name}, {"found", !name.empty()}});
      if (!options.json) out << "id " << options.ids[i] << " -> " << (name.empty() ? kNotFound : name) << '\n';
    }
    for (std::size_t i = 0; i < options.names.size(); ++i) {
      const std::int32_t id = results.idsOfNames[i];
      allFound = allFound && id != -1;
      byName.push_back({{"name", options.names[i]}, {"id", id}, {"found", id != -1}});
      if (!options.json) {
        out << "name \"" << options.names[i] << "\" -> " << (id == -1 ? kNotFound : std::to_string(id)) << '\n';
      }
    }
    const int exitCode = allFound ? 0 : kExitNotFound;
    if (options.json) {
      const nlohmann::json document = {
          {"ids", ids},
          {"names", byName},
          {"results", {{"namesOfIds", StepText(results.namesResult)}, {"idsOfNames", StepText(results.idsResult)}}},
          {"exitCode", exitCode}};
      out << document.dump(2) << '\n';
    }
    return exitCode;
  } catch (...) {
    ReportCurrentFailure(err);
  }
  return kExitError;
}

}  // namespace zevo::cli
