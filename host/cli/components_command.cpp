#include "components_command.h"

#include <fstream>
#include <iomanip>
#include <iterator>
#include <random>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "common/utf.h"
#include "component_messages.h"
#include "info_report.h"
#include "module_open.h"
#include "scan_report.h"
#include "zevo/result.h"

namespace zevo::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPatternFile = "tarskptn.da6";

std::string Utf8(const std::u16string& text) { return host::Utf16ToUtf8(text); }

std::string KindText(std::int32_t kind) { return kind == 2 ? "engine" : kind == 3 ? "pattern" : std::to_string(kind); }

void PrintVersions(const std::vector<ComponentVersion>& versions, std::ostream& out) {
  out << std::left << std::setw(9) << "KIND" << std::setw(12) << "ID" << std::setw(16) << "VERSION"
      << "LOCATION\n";
  for (const ComponentVersion& v : versions) {
    out << std::setw(9) << KindText(v.kind) << std::setw(12) << Hex(v.id) << std::setw(16) << Utf8(v.version)
        << Utf8(v.location) << '\n';
  }
}

void PrintTable(const Components& c, std::ostream& out) {
  out << "Updatable components (4108: " << Hex(c.listResult) << ")\n"
      << std::left << std::setw(9) << "KIND" << std::setw(12) << "ID" << std::setw(8) << "VALUE7" << std::setw(8)
      << "VALUE8" << std::setw(10) << "LOCATION"
      << "FLAG\n";
  for (const ComponentEntry& e : c.list) {
    out << std::setw(9) << KindText(e.kind) << std::setw(12) << Hex(e.id) << std::setw(8) << e.value7 << std::setw(8)
        << e.value8 << std::setw(10) << Utf8(e.location) << e.flag << '\n';
  }
  out << "Module record (4109: " << Hex(c.recordResult) << "):";
  for (const std::uint32_t value : c.record) out << ' ' << value;
  out << "\nCurrent versions (4118: " << Hex(c.versionsResult) << ")\n";
  PrintVersions(c.versions, out);
}

nlohmann::json VersionsJson(const std::vector<ComponentVersion>& versions) {
  nlohmann::json array = nlohmann::json::array();
  for (const ComponentVersion& v : versions) {
    array.push_back(
        {{"kind", v.kind}, {"id", Hex(v.id)}, {"version", Utf8(v.version)}, {"location", Utf8(v.location)}});
  }
  return array;
}

void PrintJson(const Components& c, std::ostream& out) {
  nlohmann::json list = nlohmann::json::array();
  for (const ComponentEntry& e : c.list) {
    list.push_back({{"kind", e.kind},
                    {"id", Hex(e.id)},
                    {"value7", e.value7},
                    {"value8", e.value8},
                    {"location", Utf8(e.location)},
                    {"flag", e.flag}});
  }
  const nlohmann::json document = {
      {"components", list},
      {"moduleRecord", c.record},
      {"versions", VersionsJson(c.versions)},
      {"results", {{"4108", Hex(c.listResult)}, {"4109", Hex(c.recordResult)}, {"4118", Hex(c.versionsResult)}}}};
  out << document.dump(2) << '\n';
}

// A name beside `target` that no file has yet.
fs::path UniqueBeside(const fs::path& target, const char* purpose) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::ostringstream name;
    name << target.filename().string() << '.' << std::hex << random() << purpose;
    const fs::path candidate = target.parent_path() / name.str();
    if (!fs::exists(candidate)) return candidate;
  }
  throw Failure{"no free name beside " + PathText(target)};
}

// Writes `bytes` beside `target` and then replaces `target` in one step, so
// that `target` is always either the old file or the whole new one.
void ReplaceWhole(const fs::path& target, const std::string& bytes) {
  const fs::path staging = UniqueBeside(target, ".new");
  {
    std::ofstream out(staging, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      out.close();
      std::error_code ignored;
      fs::remove(staging, ignored);
      throw Failure{"cannot write " + PathText(staging)};
    }
  }
  std::error_code error;
  fs::rename(staging, target, error);
  if (error) {
    fs::remove(staging, error);
    throw Failure{"cannot put the new pattern in place: " + PathText(target)};
  }
}

std::string ReadWhole(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw Failure{"cannot read " + PathText(file)};
  std::string bytes{std::istreambuf_iterator<char>(in), {}};
  if (in.bad()) throw Failure{"cannot read " + PathText(file)};
  return bytes;
}

// Puts the new pattern in place and checks it through the started module;
// the check's code. The old pattern waits in `kept` and is put back when a
// step throws.
std::int32_t InstallAndCheck(const PluginExportTable& module, const fs::path& current, const fs::path& kept,
                             const std::string& fresh) {
  try {
    ReplaceWhole(current, fresh);
    return CheckPatternUpdate(module);
  } catch (...) {
    std::error_code ignored;
    fs::rename(kept, current, ignored);
    throw;
  }
}

// A copy of the current pattern beside it, under a name of its own.
fs::path KeepAside(const fs::path& current) {
  const fs::path kept = UniqueBeside(current, ".kept");
  std::error_code error;
  if (!fs::copy_file(current, kept, error) || error) {
    fs::remove(kept, error);
    throw Failure{"cannot keep the current pattern aside in " + PathText(current.parent_path())};
  }
  return kept;
}

}  // namespace

int RunComponents(const HostOptions& options, bool json, std::ostream& out, std::ostream& err) noexcept {
  try {
    const JobHost host(options);
    const Components c = QueryComponents(host.Exports());
    json ? PrintJson(c, out) : PrintTable(c, out);
    if (Failed(c.listResult) || Failed(c.recordResult) || Failed(c.versionsResult)) {
      err << "zevo-host: a notification failed\n";
      return kExitError;
    }
    return 0;
  } catch (...) {
    ReportCurrentFailure(err);
  }
  return kExitError;
}

int RunUpdatePattern(const HostOptions& options, const fs::path& pattern, std::ostream& out,
                     std::ostream& err) noexcept {
  try {
    if (!fs::is_regular_file(pattern)) throw Failure{"no such pattern file: " + PathText(pattern)};
    const std::string fresh = ReadWhole(pattern);
    const fs::path current = options.engineFolder / kPatternFile;
    std::vector<ComponentVersion> before;
    std::int32_t checked = kOk;
    fs::path kept;
    {
      const JobHost host(options);
      const std::int32_t queried = QueryVersions(host.Exports(), before);
      if (Failed(queried)) throw Failure{"the current versions could not be read: " + Hex(queried)};
      // Until the check passed, a crash leaves the old or the new pattern in
      // place and the old one's copy beside it.
      kept = KeepAside(current);
      checked = InstallAndCheck(host.Exports(), current, kept, fresh);
    }
    std::error_code error;
    if (Failed(checked)) {
      fs::rename(kept, current, error);
      if (error) throw Failure{"the pattern check failed and the old pattern is in " + PathText(kept)};
      err << "zevo-host: the new pattern failed the check: " << Hex(checked) << "; the old pattern is back\n";
      return kExitError;
    }
    std::vector<ComponentVersion> after;
    {
      const JobHost host(options);
      QueryVersions(host.Exports(), after);
    }
    fs::remove(kept, error);
    out << "Before\n";
    PrintVersions(before, out);
    out << "After\n";
    PrintVersions(after, out);
    return 0;
  } catch (...) {
    ReportCurrentFailure(err);
  }
  return kExitError;
}

}  // namespace zevo::cli
