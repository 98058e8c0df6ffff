// MatchWildcard on long texts: "*a*a*a*a*b" and "*a*a*a*a*b*" against
// 100 000 characters, with and without a match, beside a plain scan of the
// same text for 'b'.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "util/path_match.h"

namespace {

const std::u16string& Text(bool withMatch) {
  static const std::u16string none(100000, u'a');
  static const std::u16string match = none + u'b';
  return withMatch ? match : none;
}

void BM_WildcardStars(benchmark::State& state) {
  const std::u16string& text = Text(state.range(0) != 0);
  for (auto _ : state) benchmark::DoNotOptimize(zevo::util::MatchWildcard(u"*a*a*a*a*b", text));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size() * 2));
}
BENCHMARK(BM_WildcardStars)->Arg(0)->Arg(1);

// A trailing star: no anchored tail, the search for 'b' runs through.
void BM_WildcardStarsOpenEnd(benchmark::State& state) {
  const std::u16string& text = Text(state.range(0) != 0);
  for (auto _ : state) benchmark::DoNotOptimize(zevo::util::MatchWildcard(u"*a*a*a*a*b*", text));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size() * 2));
}
BENCHMARK(BM_WildcardStarsOpenEnd)->Arg(0)->Arg(1);

void BM_ScanForB(benchmark::State& state) {
  const std::u16string& text = Text(false);
  for (auto _ : state) benchmark::DoNotOptimize(std::find(text.begin(), text.end(), u'b'));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size() * 2));
}
BENCHMARK(BM_ScanForB);

}  // namespace

BENCHMARK_MAIN();
