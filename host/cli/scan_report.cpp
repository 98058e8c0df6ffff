#include "scan_report.h"

#include <cstdio>
#include <iomanip>
#include <string_view>

#include <nlohmann/json.hpp>

#include "common/utf.h"
#include "info_report.h"
#include "zevo/result.h"

namespace zevo::cli {
namespace {

// A fixed text field of a record, up to its terminator.
template <std::size_t N>
std::string FieldText(const char16_t (&field)[N]) {
  std::u16string_view text(field, N);
  text = text.substr(0, text.find(u'\0'));
  return host::Utf16ToUtf8(text);
}

std::string ItemIdText(std::int32_t id) {
  if (id >= ZEVO_CUSTOM_ITEM_ID_FIRST && id <= ZEVO_CUSTOM_ITEM_ID_LAST) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(id));
    return text;
  }
  return std::to_string(id);
}

std::string KindText(std::uint32_t kind) {
  if (kind == ZEVO_ITEM_KIND_COOKIE) return std::to_string(kind) + " cookie";
  return std::to_string(kind) + " file";
}

std::string Cell(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

bool Reached(std::int32_t result) { return result != hostsim::ScanJobResults::kNotRun; }

std::string StepText(std::int32_t result) { return Reached(result) ? Hex(result) : "not run"; }

}  // namespace

int ScanReport::ExitCode() const noexcept {
  const hostsim::ScanJobResults& r = results;
  bool failed = !r.obtained || (Reached(r.open) && Failed(r.open)) || (Reached(r.close) && Failed(r.close));
  // A stop makes the object refuse functions 5 and 2, or ends the scan early.
  if (!interrupted) failed = failed || (Reached(r.setSink) && Failed(r.setSink)) || (Reached(r.scan) && Failed(r.scan));
  if (failed) return kExitError;
  return items.empty() ? kExitClean : kExitItemsFound;
}

ScanItem ToScanItem(const SPYWARE_ITEM& record) {
  ScanItem item;
  item.itemId = record.itemId;
  item.name = FieldText(record.text1);
  item.company = FieldText(record.companyName);
  item.threatLevel = record.threatLevel;
  item.threatTypeId = record.threatTypeId;
  item.kind = record.kind;
  const std::string folder = FieldText(record.text3);
  const std::string file = FieldText(record.text2);
  if (!folder.empty() && !file.empty()) {
    const auto separator = static_cast<char>(std::filesystem::path::preferred_separator);
    item.path = folder.back() == separator ? folder + file : folder + separator + file;
  } else {
    item.path = FieldText(record.text6);
  }
  return item;
}

void PrintScanTable(const ScanReport& report, std::ostream& out) {
  if (!report.items.empty()) {
    out << Cell("ITEM", 12) << Cell("COMPANY", 26) << Cell("LEVEL", 7) << Cell("KIND", 10) << "PATH\n";
    for (const ScanItem& item : report.items) {
      out << Cell(ItemIdText(item.itemId), 12) << Cell(item.company.empty() ? "-" : item.company, 26)
          << Cell(std::to_string(item.threatLevel), 7) << Cell(KindText(item.kind), 10) << item.path << '\n';
    }
  }
  out << report.items.size() << " items found in " << report.filesScanned << " files, " << std::fixed
      << std::setprecision(2) << report.elapsedSeconds << " s\n";
  if (report.interrupted) out << "scan stopped on request (function 8: " << Hex(report.stopResult) << ")\n";
  const hostsim::ScanJobResults& r = report.results;
  if (report.ExitCode() == kExitError) {
    out << "scan job failed: open " << StepText(r.open) << ", progress sink " << StepText(r.setSink) << ", scan "
        << StepText(r.scan) << ", close " << StepText(r.close) << '\n';
  }
}

void PrintScanJson(const ScanReport& report, std::ostream& out) {
  nlohmann::json items = nlohmann::json::array();
  for (const ScanItem& item : report.items) {
    items.push_back({{"itemId", item.itemId},
                     {"name", item.name},
                     {"company", item.company},
                     {"threatLevel", item.threatLevel},
                     {"threatTypeId", item.threatTypeId},
                     {"kind", item.kind},
                     {"path", item.path}});
  }
  nlohmann::json folders = nlohmann::json::array();
  for (const auto& folder : report.folders) folders.push_back(PathText(folder));
  const hostsim::ScanJobResults& r = report.results;
  const nlohmann::json document = {
      {"folders", folders},
      {"items", items},
      {"filesScanned", report.filesScanned},
      {"elapsedSeconds", report.elapsedSeconds},
      {"stopped", report.interrupted},
      {"results",
       {{"open", StepText(r.open)}, {"progressSink", StepText(r.setSink)}, {"scan", StepText(r.scan)},
        {"close", StepText(r.close)}}},
      {"exitCode", report.ExitCode()},
  };
  out << document.dump(2) << '\n';
}

}  // namespace zevo::cli
