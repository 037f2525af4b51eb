// The cost of setting a handler up from a large catalogue and message file,
// against reading the same file with a bare fgets loop.

#include <benchmark/benchmark.h>

#include <cstdio>

#include "msgreport.h"
#include "workload.h"

namespace msgreport_bench {
namespace {

constexpr std::size_t kPairs = 100000;

const Catalogue& LargeCatalogue() {
  static const Catalogue catalogue = MakeCatalogue(kPairs);
  return catalogue;
}

const std::string& MessageFilePath(double differing_share) {
  static const std::string all =
      WriteTemporaryFile("all.txt", MakeMessageFile(LargeCatalogue(), 1.0));
  static const std::string tenth =
      WriteTemporaryFile("tenth.txt", MakeMessageFile(LargeCatalogue(), 0.1));
  return differing_share >= 1.0 ? all : tenth;
}

void BM_BareRead(benchmark::State& state) {
  const std::string& path = MessageFilePath(1.0);
  for (auto _ : state) {
    std::FILE* file = std::fopen(path.c_str(), "r");
    char line[1024];
    std::size_t lines = 0;
    while (std::fgets(line, sizeof line, file) != nullptr) ++lines;
    std::fclose(file);
    benchmark::DoNotOptimize(lines);
  }
}
BENCHMARK(BM_BareRead)->Name("setup/bare_fgets")->Unit(benchmark::kMillisecond);

void BM_SetUp(benchmark::State& state, double differing_share) {
  const Catalogue& catalogue = LargeCatalogue();
  const std::string& path = MessageFilePath(differing_share);
  for (auto _ : state) {
    MessageHandler handler(const_cast<const char**>(catalogue.pairs.data()),
                           static_cast<int>(kPairs), nullptr, 0, path.c_str());
    benchmark::DoNotOptimize(&handler);
  }
}
BENCHMARK_CAPTURE(BM_SetUp, all_differ, 1.0)
    ->Name("setup/all_differ")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SetUp, tenth_differ, 0.1)
    ->Name("setup/tenth_differ")
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace msgreport_bench
