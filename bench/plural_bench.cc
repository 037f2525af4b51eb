// The cost of choosing a plural category, which a plural report pays every
// time, for two of the languages with the most categories: counts as
// programs report them, and counts past the table of small ones, which run
// the rules' code.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "catalogue/plural_rules.h"

namespace msgreport_bench {
namespace {

constexpr std::size_t kCounts = 1 << 12;

void BM_PluralCategory(benchmark::State& state, const char* language,
                       bool large) {
  const msgreport::PluralRule rule = *msgreport::PluralRuleFor(language);
  // Mostly small, now and then large, in an order the branch predictor
  // cannot learn.
  std::mt19937_64 random(7);
  std::vector<std::uint64_t> counts(kCounts);
  for (std::uint64_t& count : counts) {
    count = large ? 1000 + random() % 100000
                  : random() % (random() % 4 == 0 ? 100000 : 30);
  }
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(msgreport::PluralCategoryOf(rule, counts[next]));
    next = (next + 1) & (kCounts - 1);
  }
}
BENCHMARK_CAPTURE(BM_PluralCategory, polish, "pl", false)
    ->Name("plural/polish");
BENCHMARK_CAPTURE(BM_PluralCategory, arabic, "ar", false)
    ->Name("plural/arabic");
BENCHMARK_CAPTURE(BM_PluralCategory, polish_large, "pl", true)
    ->Name("plural/polish/large");
BENCHMARK_CAPTURE(BM_PluralCategory, arabic_large, "ar", true)
    ->Name("plural/arabic/large");

}  // namespace
}  // namespace msgreport_bench
