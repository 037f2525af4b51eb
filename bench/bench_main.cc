// Runs the benchmarks, then prints each figure next to its baseline from
// the same run, with the ratio and the goal it is held to.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

struct Figure {
  double nanoseconds = 0;
  double allocations = -1;  // per operation; -1 when not counted
};

class CollectingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      Figure figure;
      figure.nanoseconds = run.GetAdjustedRealTime() /
                           benchmark::GetTimeUnitMultiplier(run.time_unit) *
                           1e9;
      auto counted = run.counters.find("allocs/op");
      if (counted != run.counters.end()) figure.allocations = counted->second;
      figures[run.benchmark_name()] = figure;
    }
    ConsoleReporter::ReportRuns(runs);
  }

  std::map<std::string, Figure> figures;
};

struct Row {
  const char* name;
  const char* baseline;  // empty: an absolute figure
  double goal;           // the highest ratio (or ns) allowed; 0 for none
};

const Row kRows[] = {
    {"report/delivered/random/100", "floor/vsnprintf", 0},
    {"report/delivered/random/1000", "floor/vsnprintf", 0.75},
    {"report/delivered/random/1000", "peer/spdlog/enabled", 1.0},
    {"report/delivered/random/100000", "floor/vsnprintf", 3.0},
    {"report/delivered/random/100000", "floor/memory/100000", 1.2},
    {"report/delivered/skewed/100", "floor/vsnprintf", 0},
    {"report/delivered/skewed/1000", "floor/vsnprintf", 0},
    {"report/delivered/skewed/100000", "floor/vsnprintf", 0},
    {"report/delivered/general_conversions",
     "floor/vsnprintf_general_conversions", 0.8},
    {"report/delivered/translated_in_order", "floor/vsnprintf", 0},
    {"report/delivered/translated_reordered", "floor/vsnprintf_reordered", 0},
    {"report/delivered/translated_reordered",
     "report/delivered/translated_in_order", 0},
    {"report/unregistered", "floor/vsnprintf", 1.2},
    {"report/switched_off", "", 2.0},
    {"report/switched_off", "peer/spdlog/disabled", 0},
    {"report/filtered/10", "floor/vsnprintf", 0},
    {"report/filtered/100", "floor/vsnprintf", 0},
    {"report/unfiltered/0", "floor/vsnprintf", 0},
    {"report/unfiltered/10", "floor/vsnprintf", 0},
    {"report/unfiltered/100", "floor/vsnprintf", 0},
    {"report/unfiltered/1000", "floor/vsnprintf", 0},
    {"report/unfiltered/10", "report/unfiltered/0", 1.05},
    {"report/unfiltered/100", "report/unfiltered/0", 1.05},
    {"report/unfiltered/1000", "report/unfiltered/0", 1.05},
    {"call/exported", "", 0},
    {"filter/miss/0", "", 1.0},
    {"filter/miss/10", "", 30.0},
    {"filter/miss/100", "", 0},
    {"filter/miss/1000", "", 0},
    {"filter/miss/100", "filter/miss/10", 1.05},
    {"filter/miss/1000", "filter/miss/10", 1.05},
    {"plural/polish", "", 10.0},
    {"plural/arabic", "", 10.0},
    {"plural/polish/large", "", 0},
    {"plural/arabic/large", "", 0},
    {"setup/all_differ", "setup/bare_fgets", 5.0},
    {"setup/tenth_differ", "setup/bare_fgets", 5.0},
    {"peer/spdlog/enabled", "floor/vsnprintf", 0},
};

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string Nanoseconds(double ns) {
  return ns >= 1e5 ? Format("%.0f", ns) : Format("%.1f", ns);
}

void PrintTable(const std::map<std::string, Figure>& figures) {
  std::printf(
      "\n| figure | ns | baseline | baseline ns | ratio | goal | met "
      "| allocs/op |\n|---|---:|---|---:|---:|---:|---|---:|\n");
  for (const Row& row : kRows) {
    auto found = figures.find(row.name);
    if (found == figures.end()) continue;
    const Figure& figure = found->second;
    std::string baseline = row.baseline[0] != '\0' ? row.baseline : "-";
    std::string baseline_ns = "-";
    std::string ratio = "-";
    double measured = figure.nanoseconds;
    if (row.baseline[0] != '\0') {
      auto base = figures.find(row.baseline);
      if (base == figures.end()) continue;  // e.g. built without the peer
      baseline_ns = Nanoseconds(base->second.nanoseconds);
      measured = figure.nanoseconds / base->second.nanoseconds;
      ratio = Format("%.2f x", measured);
    }
    std::string goal = "-";
    std::string met = "-";
    if (row.goal > 0) {
      goal = Format(row.baseline[0] != '\0' ? "<= %.2f x" : "<= %.0f ns",
                    row.goal);
      met = measured <= row.goal ? "yes" : "NO";
    }
    std::string allocations =
        figure.allocations < 0 ? "-" : Format("%.3f", figure.allocations);
    std::printf("| %s | %s | %s | %s | %s | %s | %s | %s |\n", row.name,
                Nanoseconds(figure.nanoseconds).c_str(), baseline.c_str(),
                baseline_ns.c_str(), ratio.c_str(), goal.c_str(), met.c_str(),
                allocations.c_str());
  }
#if !defined(MSGREPORT_BENCH_HAS_PEER)
  std::printf("\nBuilt without spdlog (libspdlog-dev): no peer figures.\n");
#endif
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  PrintTable(reporter.figures);
  return 0;
}
