// The configuration cipher's 1000-byte pieces against one RC4 pass of the
// same library, and a whole load (read + decrypt + parse) of a 1 MiB
// configuration file. Prints the throughput ratio pieces / one pass.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <system_error>
#include <vector>

#include "os/md5_rc4.h"
#include "util/sys_config_manager.h"
#include "util/zevo_data_crypto.h"

namespace {

namespace fs = std::filesystem;
using zevo::util::CryptoBuffer;
using zevo::util::ZevoDataCrypto;

constexpr std::uint32_t kMiB = 1u << 20;

std::vector<std::uint8_t> Data() {
  std::vector<std::uint8_t> data(kMiB);
  for (std::uint32_t i = 0; i < kMiB; ++i) {
    data[i] = static_cast<std::uint8_t>(i * 131 + 7);
  }
  return data;
}

template <bool kEncrypt>
void BM_Pieces(benchmark::State& state) {
  const std::vector<std::uint8_t> data = Data();
  for (auto _ : state) {
    CryptoBuffer out;
    std::uint32_t length = 0;
    const bool ok = kEncrypt ? ZevoDataCrypto::EncryptData(nullptr, data.data(), kMiB, out, length)
                             : ZevoDataCrypto::DecryptData(nullptr, data.data(), kMiB, out, length);
    if (!ok) state.SkipWithError("crypt failed");
    benchmark::DoNotOptimize(out.get());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kMiB);
}

// The same provider work (context, hash, key) and one in-place pass over the
// whole buffer: no pieces, no work buffer, no output buffer.
void BM_OnePass(benchmark::State& state) {
  std::vector<std::uint8_t> data = Data();
  const char* password = zevo::util::kBuiltInPassword;
  for (auto _ : state) {
    zevo::os::Md5Rc4Session session;
    std::uint32_t length = kMiB;
    const bool ok = session.AcquireContext() && session.CreateHash() &&
                    session.HashData(reinterpret_cast<const std::uint8_t*>(password),
                                     static_cast<std::uint32_t>(std::char_traits<char>::length(password))) &&
                    session.DeriveKey() && session.DestroyHash() &&
                    session.Crypt(/*encrypt=*/true, data.data(), &length, kMiB,
                                  /*final=*/true) &&
                    session.DestroyKey() && session.ReleaseContext();
    if (!ok) state.SkipWithError("one pass failed");
    benchmark::DoNotOptimize(data.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kMiB);
}

// A folder holding a "system_config.cfg" of about 1 MiB of plain text.
class LargeConfig {
 public:
  LargeConfig() : folder_(fs::temp_directory_path() / "zevo-bench-store") {
    fs::create_directories(folder_);
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n";
    text += "<SysConfigManager>\n";
    for (int g = 0; text.size() < kMiB - 64 * 1024; ++g) {
      const std::string group = "Group" + std::to_string(g);
      text += "    <" + group + ">\n";
      for (int v = 0; v < 100; ++v) {
        const std::string name = "Value" + std::to_string(v);
        text += "        <" + name + ">some configured text " + std::to_string(g * 100 + v) + "</" + name + ">\n";
      }
      text += "    </" + group + ">\n";
    }
    text +=
        "    <ZEVO_ALL>\n        <ZEVO_CFG_SP_MODULE_LOAD>1"
        "</ZEVO_CFG_SP_MODULE_LOAD>\n    </ZEVO_ALL>\n</SysConfigManager>\n";
    plainBytes_ = text.size();
    CryptoBuffer cipher;
    std::uint32_t length = 0;
    ZevoDataCrypto::EncryptData(nullptr, reinterpret_cast<const std::uint8_t*>(text.data()),
                                static_cast<std::uint32_t>(text.size()), cipher, length);
    std::ofstream(folder_ / "system_config.cfg", std::ios::binary)
        .write(reinterpret_cast<const char*>(cipher.get()), length);
  }
  ~LargeConfig() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  std::u16string folder() const { return folder_.u16string(); }
  std::size_t plainBytes() const { return plainBytes_; }

 private:
  fs::path folder_;
  std::size_t plainBytes_ = 0;
};

void BM_LoadLargeConfig(benchmark::State& state) {
  const LargeConfig config;
  for (auto _ : state) {
    zevo::util::SysConfigManager store(config.folder(), u"system_config.cfg");
    std::u16string value;
    if (!store.Load() || store.GetSysConfig(u"ZEVO_ALL", u"ZEVO_CFG_SP_MODULE_LOAD", value) != zevo::kCommonOk) {
      state.SkipWithError("load failed");
    }
    store.Close();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(config.plainBytes()));
}

BENCHMARK(BM_Pieces<true>)->Name("BM_EncryptPieces")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pieces<false>)->Name("BM_DecryptPieces")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OnePass)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadLargeConfig)->Unit(benchmark::kMicrosecond);

// Remembers each benchmark's CPU time per iteration for the ratio lines
// (CPU time: wall time on a shared machine says more about the neighbours).
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    // With --benchmark_repetitions the median wins over single runs.
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

void PrintRatio(const RatioReporter& reporter, const char* pieces) {
  const auto a = reporter.times.find(pieces);
  const auto b = reporter.times.find("BM_OnePass");
  if (a == reporter.times.end() || b == reporter.times.end()) return;
  std::printf("ratio %s / one pass (throughput): %.3f (goal >= 0.8)\n", pieces, b->second / a->second);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintRatio(reporter, "BM_EncryptPieces");
  PrintRatio(reporter, "BM_DecryptPieces");
  benchmark::Shutdown();
  return 0;
}
