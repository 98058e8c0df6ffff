// The company queries against the company table of the large generated
// pattern (100 000 companies), the whole CallFunc with the message library
// against the same lookups on the table with no message:
//   BM_NamesOfIds   function 8282, code 11, 100 000 ids (each id a hit, in
//                   random order) beside 100 000 GetNameById calls;
//   BM_IdsOfNames   function 8282, code 12, the names of the same ids
//                   beside 100 000 GetIdByName calls;
//   BM_CompanyTable function 8283: time per company and the reply's packed
//                   size.
// Each side-by-side benchmark also times the request reading alone and the
// copy of the reply into the host's block, which says where the time goes.
// Prints the ratios call / raw lookups (goal <= 3).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "driver/engine_tables.h"
#include "driver/engine_tarsk.h"
#include "interface/reply_messages.h"
#include "interface/tarsk_interface.h"
#include "os/path.h"
#include "sim/query_blocks.h"
#include "sim/services.h"
#include "zevo/result.h"

namespace {

namespace fs = std::filesystem;
using zevo::hostsim::QueryReply;
using zevo::hostsim::QueryRequest;

constexpr std::size_t kQuestions = 100000;

double ThreadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// tarsk64.dll and a pattern with the large company table (few items and
// threat types: only the company table is asked), a driver started on it
// with the table read as the plug-in reads it, and an engine interface.
class Setup {
 public:
  Setup() : folder_(fs::temp_directory_path() / ("zevo-bench-query-" + std::to_string(std::random_device{}()))) {
    fs::create_directories(folder_);
    fs::copy_file(fs::path(ZEVO_BENCH_ENGINE_DIR) / "tarsk64.dll", folder_ / "tarsk64.dll");
    const std::string command = std::string("\"") + ZEVO_BENCH_MAKE_PATTERN + "\" \"" +
                                (folder_ / "tarskptn.da6").string() + "\" 1000 100000 10";
    if (std::system(command.c_str()) != 0) return;
    services_.SetModulePath(folder_.u16string() + zevo::os::kPathSeparator + u"plugEngineTARSK.dll");
    driver_ = std::make_unique<zevo::driver::CEngineTARSK>(services_.Organizer());
    const std::int32_t* main = nullptr;
    if (driver_->Initialize() != zevo::kOk || driver_->InitMainSession(&main) != zevo::kOk ||
        driver_->EnumerateCompanyIdNameTable(driver_->MainSession(), companies_) != zevo::kOk) {
      return;
    }
    tables_.Publish(std::move(owned_));
    driver_->SetTables(&tables_);
    object_ = new zevo::iface::ITarskEngineInterface(*driver_, services_.Organizer());
    std::mt19937 random(42);
    std::vector<std::int32_t> all;
    for (std::int32_t id = 1; all.size() < kQuestions; ++id) {
      std::u16string name;
      if (companies_.GetNameById(id, name)) {
        all.push_back(id);
        names_.push_back(name);
      }
    }
    std::vector<std::size_t> order(all.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::shuffle(order.begin(), order.end(), random);
    for (const std::size_t i : order) ids_.push_back(all[i]);
    std::vector<std::u16string> shuffled;
    for (const std::size_t i : order) shuffled.push_back(names_[i]);
    names_ = std::move(shuffled);
  }
  ~Setup() {
    if (object_ != nullptr) object_->DeleteThis(ZEVO_DELETE_FREE);
    driver_.reset();
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  bool ok() const { return object_ != nullptr && ids_.size() == kQuestions; }
  zevo::iface::ITarskEngineInterface& Object() { return *object_; }
  const zevo::driver::CompanyIdNameTable& Companies() const { return companies_; }
  const std::vector<std::int32_t>& Ids() const { return ids_; }
  const std::vector<std::u16string>& Names() const { return names_; }

 private:
  fs::path folder_;
  zevo::hostsim::Services services_;  // outlives the driver
  zevo::driver::PublishedTables tables_;
  std::unique_ptr<zevo::driver::EngineTables> owned_ = std::make_unique<zevo::driver::EngineTables>();
  zevo::driver::CompanyIdNameTable& companies_ = owned_->companies;
  std::unique_ptr<zevo::driver::CEngineTARSK> driver_;
  zevo::iface::ITarskEngineInterface* object_ = nullptr;
  std::vector<std::int32_t> ids_;
  std::vector<std::u16string> names_;
};

Setup& TheSetup() {
  static Setup setup;
  return setup;
}

double g_namesRatio = 0;
double g_idsRatio = 0;

// The call, the raw lookups, the request reading alone and the reply copy
// alone, in turn within each iteration.
template <class Raw, class Put>
void SideBySide(benchmark::State& state, QueryRequest& request, Raw raw, Put put, double& ratio) {
  Setup& setup = TheSetup();
  double callMs = 0, rawMs = 0, readMs = 0, copyMs = 0, putMs = 0;
  for (auto _ : state) {
    QueryReply reply;
    const double t0 = ThreadCpuMs();
    const std::int32_t result = setup.Object().CallFunc(8282, request.Block(), reply.Block());
    const double t1 = ThreadCpuMs();
    raw();
    const double t2 = ThreadCpuMs();
    {
      const zevo::iface::RequestMessage message(request.Block());
      benchmark::DoNotOptimize(message.CompanyIds().size() + message.CompanyNames().size());
    }
    const double t3 = ThreadCpuMs();
    ZEVO_DataHandle copy{};
    ZEVO_Msg_DuplicateDataHandle(&reply.Handle(), &copy);
    const double t4 = ThreadCpuMs();
    ZEVO_Msg_DestroyDataHandle(&copy);
    {
      zevo::iface::ReplyMessage answers;
      const double t5 = ThreadCpuMs();
      put(answers);
      putMs += ThreadCpuMs() - t5;
    }
    if (result != zevo::kCommonOk) return state.SkipWithError("8282 failed");
    callMs += t1 - t0;
    rawMs += t2 - t1;
    readMs += t3 - t2;
    copyMs += t4 - t3;
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["call_ms"] = callMs / n;
  state.counters["raw_ms"] = rawMs / n;
  state.counters["read_request_ms"] = readMs / n;
  state.counters["copy_reply_ms"] = copyMs / n;
  state.counters["put_answers_ms"] = putMs / n;
  ratio = callMs / rawMs;
  state.counters["ratio"] = ratio;
}

void BM_NamesOfIds(benchmark::State& state) {
  Setup& setup = TheSetup();
  if (!setup.ok()) return state.SkipWithError("no engine, pattern or company table");
  QueryRequest request = QueryRequest::NamesByIds(setup.Ids());
  std::u16string name;
  SideBySide(
      state, request,
      [&] {
        for (const std::int32_t id : setup.Ids()) {
          setup.Companies().GetNameById(id, name);
          benchmark::DoNotOptimize(name.data());
        }
      },
      [&](zevo::iface::ReplyMessage& answers) {
        for (const std::u16string& answer : setup.Names()) answers.PutName(answer);
      },
      g_namesRatio);
}

void BM_IdsOfNames(benchmark::State& state) {
  Setup& setup = TheSetup();
  if (!setup.ok()) return state.SkipWithError("no engine, pattern or company table");
  QueryRequest request = QueryRequest::IdsByNames(setup.Names());
  SideBySide(
      state, request,
      [&] {
        for (const std::u16string& name : setup.Names()) {
          std::int32_t id = -1;
          benchmark::DoNotOptimize(setup.Companies().GetIdByName(name, id));
        }
      },
      [&](zevo::iface::ReplyMessage& answers) { answers.PutIds(setup.Ids()); }, g_idsRatio);
}

void BM_CompanyTable(benchmark::State& state) {
  Setup& setup = TheSetup();
  if (!setup.ok()) return state.SkipWithError("no engine, pattern or company table");
  double callMs = 0;
  std::uint32_t packed = 0;
  for (auto _ : state) {
    QueryReply reply;
    const double t0 = ThreadCpuMs();
    const std::int32_t result = setup.Object().CallFunc(8283, nullptr, reply.Block());
    callMs += ThreadCpuMs() - t0;
    if (result != zevo::kCommonOk) return state.SkipWithError("8283 failed");
    ZEVO_Msg_GetDataLen(&reply.Handle(), &packed);
  }
  const auto companies = static_cast<double>(setup.Companies().size());
  state.counters["ns_per_company"] = callMs * 1e6 / static_cast<double>(state.iterations()) / companies;
  state.counters["packed_bytes"] = packed;
  state.counters["packed_bytes_per_company"] = packed / companies;
}

BENCHMARK(BM_NamesOfIds)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_IdsOfNames)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_CompanyTable)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  if (g_namesRatio > 0) std::printf("ratio 8282 code 11 (100 000 ids) / raw lookups: %.2f (goal <= 3)\n", g_namesRatio);
  if (g_idsRatio > 0) std::printf("ratio 8282 code 12 (100 000 names) / raw lookups: %.2f (goal <= 3)\n", g_idsRatio);
  benchmark::Shutdown();
  return 0;
}
