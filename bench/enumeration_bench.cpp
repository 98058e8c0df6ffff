// Start-up enumeration of the engine's three tables from a large pattern
// (1 M product items, 100 k companies, 10 k threat types by default), side
// by side:
//   BM_RawRowIteration   the engine's own row iteration alone: open, first,
//                        next ... close, nothing parsed or kept;
//   BM_ModuleEnumeration the driver's EnumerateItemId, EnumerateThreatLevel
//                        and EnumerateCompanyIdNameTable on the same engine,
//                        loaded through TarskLib as the plug-in loads it.
// Prints the time ratio module / raw (goal <= 1.3) and the tables' memory
// against the raw key/value bytes (4 per id, 2 per name code unit, 8 per
// item or threat row; goal <= 2).
//
// The engine reads tarskptn.da6 from its own folder, so the run builds a
// temporary folder with a copy of tarsk64.dll and a generated pattern.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "driver/engine_tables.h"
#include "driver/engine_tarsk.h"
#include "os/dynamic_library.h"
#include "os/path.h"
#include "sim/services.h"
#include "zevo/engine_api.h"
#include "zevo/result.h"

namespace {

namespace fs = std::filesystem;
using zevo::TkFunctionTable;

constexpr std::int32_t kTables[] = {zevo::kTableProductItems, zevo::kTableThreatTypes, zevo::kTableCompany};

// A folder with tarsk64.dll and a generated large pattern; removed at exit.
class EngineFolder {
 public:
  EngineFolder()
      : folder_(fs::temp_directory_path() / ("zevo-bench-enumeration-" + std::to_string(std::random_device{}()))) {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
    fs::create_directories(folder_);
    fs::copy_file(fs::path(ZEVO_BENCH_ENGINE_DIR) / "tarsk64.dll", folder_ / "tarsk64.dll");
    const std::string command =
        std::string("\"") + ZEVO_BENCH_MAKE_PATTERN + "\" \"" + (folder_ / "tarskptn.da6").string() + "\"";
    ok_ = std::system(command.c_str()) == 0;
  }
  ~EngineFolder() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  bool ok() const { return ok_; }
  // With the trailing separator, as the engine's option 0 wants it.
  std::u16string path() const { return folder_.u16string() + zevo::os::kPathSeparator; }

 private:
  fs::path folder_;
  bool ok_ = false;
};

double& RawKeyValueBytes() {
  static double bytes = 0;
  return bytes;
}

double& SideBySideRatio() {
  static double ratio = 0;
  return ratio;
}

double& TableBytes() {
  static double bytes = 0;
  return bytes;
}

const EngineFolder& Folder() {
  static const EngineFolder folder;
  return folder;
}

// The engine bound by hand, with one session on its own loaded pattern.
class RawEngine {
 public:
  explicit RawEngine(const std::u16string& folder) : library_(zevo::os::DynamicLibrary::Load(folder + u"tarsk64.dll")) {
    void** slots = reinterpret_cast<void**>(&table_);
    for (std::size_t i = 0; i < zevo::kTkFunctionCount; ++i) {
      slots[i] = library_.Symbol(zevo::kTkFunctionNames[i]);
      if (slots[i] == nullptr) return;
    }
    ok_ = table_.TKSetOption(0, zevo::kOptionEngineFolder, folder.c_str()) == 0 &&
          table_.TKInit(u"{3C81E0A9-5D27-4b6f-9E42-A8F1C7D0B365}", zevo::kTkInitVersion, &session_) == 0 &&
          table_.TKReadSpywarePattern(session_, 0, 0, 0) == 0;
  }
  ~RawEngine() {
    if (ok_) table_.TKQuit(session_);
  }
  bool ok() const { return ok_; }

  // Every row of one table; the number of rows.
  std::int64_t Iterate(std::int32_t tableId) const {
    return ForEachRow<false>(tableId, [](std::u16string_view) {});
  }

  // The same, handing each row to `onRow` (not timed).
  template <bool kRead = true, class OnRow>
  std::int64_t ForEachRow(std::int32_t tableId, OnRow onRow) const {
    std::int32_t enumeration = -1;
    if (table_.TKOpenTableSeqEnum(session_, tableId, &enumeration) != 0 || enumeration < 0) {
      return -1;
    }
    std::vector<char16_t> row(zevo::kRowCapacity);
    std::int64_t rows = 0;
    for (std::int32_t r = table_.TKGetFirstRow(session_, enumeration, row.data(), zevo::kRowCapacity); r == 0;
         r = table_.TKGetNextRow(session_, enumeration, row.data(), zevo::kRowCapacity)) {
      benchmark::DoNotOptimize(row.data());
      if constexpr (kRead) onRow(std::u16string_view(row.data()));
      ++rows;
    }
    table_.TKCloseHandle(session_, enumeration);
    return rows;
  }

 private:
  zevo::os::DynamicLibrary library_;
  TkFunctionTable table_{};
  std::int32_t session_ = 0;
  bool ok_ = false;
};

// A driver started as the plug-in starts it, its main session open.
class StartedDriver {
 public:
  explicit StartedDriver(const std::u16string& folder) {
    services_.SetModulePath(folder + u"plugEngineTARSK.dll");
    driver_ = std::make_unique<zevo::driver::CEngineTARSK>(services_.Organizer());
    const std::int32_t* main = nullptr;
    ok_ = driver_->Initialize() == zevo::kOk && driver_->InitMainSession(&main) == zevo::kOk;
  }
  bool ok() const { return ok_; }

  bool EnumerateAll(zevo::driver::EngineTables& tables) {
    const std::int32_t main = driver_->MainSession();
    return driver_->EnumerateItemId(main, tables.items) == zevo::kOk &&
           driver_->EnumerateThreatLevel(main, tables.threats) == zevo::kOk &&
           driver_->EnumerateCompanyIdNameTable(main, tables.companies) == zevo::kOk;
  }

 private:
  zevo::hostsim::Services services_;  // outlives the driver
  std::unique_ptr<zevo::driver::CEngineTARSK> driver_;
  bool ok_ = false;
};

// What the engine delivers: rows per table and the key/value bytes in them
// (4 per id, 2 per name code unit; 8 per item or threat row).
struct RawSizes {
  std::int64_t rows = 0;
  double bytes = 0;
};

RawSizes MeasureRaw(const RawEngine& engine) {
  RawSizes sizes;
  for (const std::int32_t table : kTables) {
    engine.ForEachRow(table, [&](std::u16string_view row) {
      ++sizes.rows;
      sizes.bytes +=
          table == zevo::kTableCompany ? 4.0 + 2.0 * static_cast<double>(zevo::driver::RowField(row, 1).size()) : 8.0;
    });
  }
  return sizes;
}

void BM_RawRowIteration(benchmark::State& state) {
  if (!Folder().ok()) return state.SkipWithError("no engine folder or pattern");
  const RawEngine engine(Folder().path());
  if (!engine.ok()) return state.SkipWithError("engine not usable");
  std::int64_t rows = 0;
  for (auto _ : state) {
    rows = 0;
    for (const std::int32_t table : kTables) rows += engine.Iterate(table);
  }
  state.counters["rows"] = static_cast<double>(rows);
  const RawSizes raw = MeasureRaw(engine);
  state.counters["raw_kv_bytes"] = raw.bytes;
  RawKeyValueBytes() = raw.bytes;
}

void BM_ModuleEnumeration(benchmark::State& state) {
  if (!Folder().ok()) return state.SkipWithError("no engine folder or pattern");
  StartedDriver driver(Folder().path());
  if (!driver.ok()) return state.SkipWithError("driver did not start");
  zevo::driver::EngineTables tables;
  for (auto _ : state) {
    if (!driver.EnumerateAll(tables)) return state.SkipWithError("enumeration failed");
  }
  const std::size_t memory = tables.items.MemoryBytes() + tables.threats.MemoryBytes() + tables.companies.MemoryBytes();
  state.counters["rows"] = static_cast<double>(tables.items.size() + tables.threats.size() + tables.companies.size());
  state.counters["table_bytes"] = static_cast<double>(memory);
  TableBytes() = static_cast<double>(memory);
  if (RawKeyValueBytes() > 0) {
    state.counters["memory_ratio"] = static_cast<double>(memory) / RawKeyValueBytes();
  }
}

// CPU time of the calling thread: on a shared machine wall time says more
// about the neighbours than about the code.
double ThreadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Both variants in turn within each iteration, so that a change in the
// machine's load reaches both alike; the ratio of the summed times.
void BM_SideBySide(benchmark::State& state) {
  if (!Folder().ok()) return state.SkipWithError("no engine folder or pattern");
  const RawEngine engine(Folder().path());
  StartedDriver driver(Folder().path());
  if (!engine.ok() || !driver.ok()) return state.SkipWithError("engine or driver not usable");
  zevo::driver::EngineTables tables;
  double rawMs = 0;
  double moduleMs = 0;
  for (auto _ : state) {
    const double t0 = ThreadCpuMs();
    for (const std::int32_t table : kTables) benchmark::DoNotOptimize(engine.Iterate(table));
    const double t1 = ThreadCpuMs();
    if (!driver.EnumerateAll(tables)) return state.SkipWithError("enumeration failed");
    const double t2 = ThreadCpuMs();
    rawMs += t1 - t0;
    moduleMs += t2 - t1;
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["raw_ms"] = rawMs / n;
  state.counters["module_ms"] = moduleMs / n;
  state.counters["time_ratio"] = moduleMs / rawMs;
  SideBySideRatio() = moduleMs / rawMs;
}

BENCHMARK(BM_RawRowIteration)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModuleEnumeration)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SideBySide)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// Remembers each benchmark's CPU time per iteration (the median when
// repeated) for the ratio lines.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
        times[run.run_name.str()] = run.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto raw = reporter.times.find("BM_RawRowIteration");
  const auto module = reporter.times.find("BM_ModuleEnumeration");
  if (raw != reporter.times.end() && module != reporter.times.end() && raw->second > 0) {
    std::printf("ratio module enumeration / raw row iteration (separate runs): %.3f\n", module->second / raw->second);
  }
  if (SideBySideRatio() > 0) {
    std::printf("ratio module enumeration / raw row iteration (side by side): %.3f (goal <= 1.3)\n", SideBySideRatio());
  }
  if (RawKeyValueBytes() > 0 && TableBytes() > 0) {
    std::printf("ratio table memory / raw key-value bytes: %.3f (%.0f / %.0f bytes, goal <= 2)\n",
                TableBytes() / RawKeyValueBytes(), TableBytes(), RawKeyValueBytes());
  }
  benchmark::Shutdown();
  return 0;
}
