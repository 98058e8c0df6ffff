#include "scan_report.h"

#include <algorithm>
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

// Kind 17: the engine's item for a reference of a referential scan.
constexpr std::uint32_t kKindReference = 17;

std::string KindText(std::uint32_t kind) {
  if (kind == ZEVO_ITEM_KIND_COOKIE) return std::to_string(kind) + " cookie";
  if (kind == kKindReference) return std::to_string(kind) + " ref";
  return std::to_string(kind) + " file";
}

std::string Cell(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

bool Reached(std::int32_t result) { return result != hostsim::ScanJobResults::kNotRun; }

std::string StepText(std::int32_t result) { return Reached(result) ? Hex(result) : "not run"; }

bool ReferenceRefused(std::int32_t result) {
  return !Reached(result) || Failed(result) || result == MapEngineWarning(-101);
}

std::string ScanStepLabel(const ScanReport& report) {
  return report.kind == JobKind::kReferential ? "referential scan" : "scan";
}

// The item of `record` that has no clean result yet, or null.
ScanItem* Uncleaned(std::vector<ScanItem>& items, const ScanItem& record) {
  for (ScanItem& item : items) {
    if (!item.cleanResult && item.itemId == record.itemId && item.kind == record.kind && item.path == record.path) {
      return &item;
    }
  }
  return nullptr;
}

void PrintItems(const ScanReport& report, std::ostream& out) {
  out << Cell("ITEM", 12) << Cell("COMPANY", 26) << Cell("LEVEL", 7) << Cell("KIND", 10);
  if (report.clean) out << Cell("RESULT", 19);
  out << "PATH\n";
  for (const ScanItem& item : report.items) {
    out << Cell(ItemIdText(item.itemId), 12) << Cell(item.company.empty() ? "-" : item.company, 26)
        << Cell(std::to_string(item.threatLevel), 7) << Cell(KindText(item.kind), 10);
    if (report.clean) out << Cell(item.cleanResult ? CleanResultText(*item.cleanResult) : "-", 19);
    out << item.path << '\n';
  }
}

void PrintCleanSummary(const ScanReport& report, std::ostream& out) {
  std::size_t cleaned = 0, kept = 0, notCleaned = 0;
  for (const ScanItem& item : report.items) {
    if (!item.cleanResult) continue;
    if (Succeeded(*item.cleanResult)) {
      ++cleaned;
    } else if (*item.cleanResult == kKeptByFileCheck) {
      ++kept;
    } else {
      ++notCleaned;
    }
  }
  out << cleaned << " cleaned, " << kept << " kept by the file check, " << notCleaned << " not cleaned, "
      << report.backups.size() << " backup files\n";
}

}  // namespace

int ScanReport::ExitCode() const noexcept {
  const hostsim::ScanJobResults& r = results;
  bool failed = !r.obtained || (Reached(r.open) && Failed(r.open)) || (Reached(r.close) && Failed(r.close));
  // A stop makes the object refuse functions 5 and 2, or ends the scan early.
  if (!interrupted) {
    failed = failed || (Reached(r.setSink) && Failed(r.setSink)) || (Reached(r.scan) && Failed(r.scan));
    for (const ReferenceResult& reference : references) failed = failed || ReferenceRefused(reference.result);
  }
  if (failed) return kExitError;
  const bool found = std::any_of(items.begin(), items.end(), [](const ScanItem& item) { return item.detected; });
  return found ? kExitItemsFound : kExitClean;
}

std::string CleanResultText(std::int32_t code) {
  if (code == kOk) return "cleaned";
  if (code == kItemCleaned) return "cleaned, restart";
  if (code == kKeptByFileCheck) return "kept (file check)";
  if (code == kItemNotCleaned) return "not cleaned";
  return Hex(code);
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

void CollectReports(const std::vector<hostsim::ProgressReport>& reports, ScanReport& report) {
  for (const hostsim::ProgressReport& r : reports) {
    if (r.event == hostsim::kEventProgress) report.filesScanned = r.c;
    if (r.event == hostsim::kEventItemFound && r.item) report.items.push_back(ToScanItem(*r.item));
    if (r.event == hostsim::kEventBackupFile && r.hadData) {
      report.backups.push_back({host::Utf16ToUtf8(r.text), host::Utf16ToUtf8(r.company)});
    }
  }
  // Cleaning results come after every item was found; one per item.
  for (const hostsim::ProgressReport& r : reports) {
    if (r.event != hostsim::kEventItemCleaned || !r.item) continue;
    ScanItem cleaned = ToScanItem(*r.item);
    if (ScanItem* item = Uncleaned(report.items, cleaned)) {
      item->cleanResult = r.item->resultCode;
    } else {
      cleaned.detected = false;
      cleaned.cleanResult = r.item->resultCode;
      report.items.push_back(std::move(cleaned));
    }
  }
  // The engine walks folders in the file system's order; the table should
  // read the same on every machine.
  std::stable_sort(report.items.begin(), report.items.end(),
                   [](const ScanItem& a, const ScanItem& b) { return a.path < b.path; });
}

void PrintScanTable(const ScanReport& report, std::ostream& out) {
  for (const ReferenceResult& reference : report.references) {
    out << "reference " << reference.path << ": " << StepText(reference.result)
        << (ReferenceRefused(reference.result) ? " (not taken)" : "") << '\n';
  }
  if (!report.items.empty()) PrintItems(report, out);
  const auto found =
      std::count_if(report.items.begin(), report.items.end(), [](const ScanItem& item) { return item.detected; });
  if (report.kind == JobKind::kReferential) {
    out << found << " related items found for " << report.references.size() << " references, ";
  } else {
    out << found << " items found in " << report.filesScanned << " files, ";
  }
  out << std::fixed << std::setprecision(2) << report.elapsedSeconds << " s\n";
  if (report.clean) PrintCleanSummary(report, out);
  if (report.interrupted) out << "scan stopped on request (function 8: " << Hex(report.stopResult) << ")\n";
  const hostsim::ScanJobResults& r = report.results;
  if (report.ExitCode() == kExitError) {
    out << ScanStepLabel(report) << " job failed: open " << StepText(r.open) << ", progress sink "
        << StepText(r.setSink) << ", " << ScanStepLabel(report) << " " << StepText(r.scan) << ", close "
        << StepText(r.close) << '\n';
  }
}

int PrintScanReport(const ScanReport& report, bool json, std::ostream& out) {
  if (json) {
    PrintScanJson(report, out);
  } else {
    PrintScanTable(report, out);
  }
  return report.ExitCode();
}

void PrintScanJson(const ScanReport& report, std::ostream& out) {
  nlohmann::json items = nlohmann::json::array();
  for (const ScanItem& item : report.items) {
    nlohmann::json entry = {{"itemId", item.itemId},
                            {"name", item.name},
                            {"company", item.company},
                            {"threatLevel", item.threatLevel},
                            {"threatTypeId", item.threatTypeId},
                            {"kind", item.kind},
                            {"path", item.path},
                            {"found", item.detected}};
    if (item.cleanResult) {
      entry["cleanResult"] = Hex(*item.cleanResult);
      entry["clean"] = CleanResultText(*item.cleanResult);
    }
    items.push_back(std::move(entry));
  }
  nlohmann::json folders = nlohmann::json::array();
  for (const auto& folder : report.folders) folders.push_back(PathText(folder));
  nlohmann::json backups = nlohmann::json::array();
  for (const BackupFile& backup : report.backups) {
    backups.push_back({{"file", backup.file}, {"company", backup.company}});
  }
  const hostsim::ScanJobResults& r = report.results;
  nlohmann::json results = {{"open", StepText(r.open)},
                            {"progressSink", StepText(r.setSink)},
                            {report.kind == JobKind::kReferential ? "referentialScan" : "scan", StepText(r.scan)},
                            {"close", StepText(r.close)}};
  nlohmann::json document = {
      {"folders", folders},
      {"items", items},
      {"filesScanned", report.filesScanned},
      {"elapsedSeconds", report.elapsedSeconds},
      {"stopped", report.interrupted},
      {"clean", report.clean},
      {"backups", backups},
      {"results", results},
      {"exitCode", report.ExitCode()},
  };
  if (report.kind == JobKind::kReferential) {
    nlohmann::json references = nlohmann::json::array();
    for (const ReferenceResult& reference : report.references) {
      references.push_back({{"path", reference.path}, {"result", StepText(reference.result)}});
    }
    document["references"] = references;
  }
  out << document.dump(2) << '\n';
}

}  // namespace zevo::cli
