// The cost of a report, against the least any report must do: format the
// text into a stack buffer and hand it to a callback.

#include <benchmark/benchmark.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "allocations_per_op.h"
#include "catalogue/key_hash.h"
#include "msgreport.h"
#include "workload.h"

namespace msgreport_bench {
namespace {

constexpr std::size_t kSequenceLength = 1 << 16;

void NoOp(char* message) { benchmark::DoNotOptimize(message); }
// Read through a volatile so that the call cannot be inlined away.
MessageCallback volatile floor_callback = NoOp;

#if defined(__GNUC__)
__attribute__((noinline))
#endif
void FloorReport(const char* text, ...) {
  char message[1024];
  std::va_list args;
  va_start(args, text);
  std::vsnprintf(message, sizeof message, text, args);
  va_end(args);
  floor_callback(message);
}

void BM_Floor(benchmark::State& state) {
  std::uint64_t before = msgreport_test::AllocationCount();
  for (auto _ : state) {
    FloorReport(kFloorText, kFirstArgument, kSecondArgument, kThirdArgument);
  }
  CountAllocations(state, before);
}
BENCHMARK(BM_Floor)->Name("floor/vsnprintf");

// A handler over a catalogue of `size` keys, delivering errors to NoOp.
struct ReportingHandler {
  explicit ReportingHandler(std::size_t size, int filters = 0)
      : catalogue(MakeCatalogue(size)) {
    for (int i = 0; i < filters; ++i) {
      filter_keys.push_back("FILTERED_KEY_" + std::to_string(i));
    }
    for (const std::string& key : filter_keys) {
      filter_pointers.push_back(key.c_str());
    }
    handler = std::make_unique<MessageHandler>(
        catalogue.pairs.data(), static_cast<int>(size), filter_pointers.data(),
        filters, nullptr);
    handler->SetConsoleReporting("error");
    handler->RegisterErrorCallback(NoOp);
  }
  Catalogue catalogue;
  std::vector<std::string> filter_keys;
  std::vector<const char*> filter_pointers;
  std::unique_ptr<MessageHandler> handler;
};

void RunReports(benchmark::State& state, MessageHandler& handler,
                const std::vector<const char*>& keys) {
  std::size_t next = 0;
  std::uint64_t before = msgreport_test::AllocationCount();
  for (auto _ : state) {
    handler.ReportError2(keys[next], kFirstArgument, kSecondArgument,
                         kThirdArgument);
    next = (next + 1) & (kSequenceLength - 1);
  }
  CountAllocations(state, before);
}

using KeySequence = std::vector<const char*> (*)(const Catalogue&, std::size_t);

void BM_Delivered(benchmark::State& state, KeySequence keys) {
  ReportingHandler setup(static_cast<std::size_t>(state.range(0)));
  RunReports(state, *setup.handler, keys(setup.catalogue, kSequenceLength));
}
BENCHMARK_CAPTURE(BM_Delivered, random, ShuffledKeys)
    ->Name("report/delivered/random")
    ->Arg(100)
    ->Arg(1000)
    ->Arg(100000);
BENCHMARK_CAPTURE(BM_Delivered, skewed, SkewedKeys)
    ->Name("report/delivered/skewed")
    ->Arg(100)
    ->Arg(1000)
    ->Arg(100000);

// The least a report over a catalogue too large for the caches must do:
// read the caller's key, which it hashes, and one random line of memory as
// large as the catalogue's table, which holds what the report formats. The
// rest is a report over a catalogue of one key per text of the workload,
// which stays in the caches: the same formatting, filter test and delivery
// as the report it is measured against, so that the ratio shows what the
// table's layout costs beyond those two misses. The table's size is the
// allocator's count of what the handler took.
struct alignas(64) MemoryLine {
  const char* key;  // of the catalogue that stays in the caches
};

void BM_MemoryFloor(benchmark::State& state) {
  auto size = static_cast<std::size_t>(state.range(0));
  Catalogue large = MakeCatalogue(size);
  std::size_t before = msgreport_test::LiveNewBytes();
  auto table = std::make_unique<MessageHandler>(
      large.pairs.data(), static_cast<int>(size), nullptr, 0, nullptr);
  std::size_t table_bytes = msgreport_test::LiveNewBytes() - before;
  table.reset();
  Catalogue small = MakeCatalogue(4);
  MessageHandler handler(small.pairs.data(), 4, nullptr, 0, nullptr);
  handler.SetConsoleReporting("error");
  handler.RegisterErrorCallback(NoOp);
  std::vector<MemoryLine> lines(table_bytes / sizeof(MemoryLine));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    lines[i].key = small.keys[i % 4].c_str();
  }
  std::vector<const char*> keys = ShuffledKeys(large, kSequenceLength);
  std::size_t next = 0;
  std::uint64_t allocations = msgreport_test::AllocationCount();
  for (auto _ : state) {
    const char* key = keys[next];
    std::uint64_t hash = msgreport::HashKey(key, std::strlen(key));
    handler.ReportError2(lines[hash % lines.size()].key, kFirstArgument,
                         kSecondArgument, kThirdArgument);
    next = (next + 1) & (kSequenceLength - 1);
  }
  CountAllocations(state, allocations);
  state.counters["table_bytes/key"] = benchmark::Counter(
      static_cast<double>(table_bytes) / static_cast<double>(size));
}
BENCHMARK(BM_MemoryFloor)->Name("floor/memory")->Arg(100000);

// Texts with flags, widths or precisions take the C library's formatter.
void BM_DeliveredGeneral(benchmark::State& state) {
  const char* pairs[] = {"OPEN_FAILED", "Cannot open %-24s: %.12s (code %04d)"};
  MessageHandler handler(pairs, 1, nullptr, 0, nullptr);
  handler.SetConsoleReporting("error");
  handler.RegisterErrorCallback(NoOp);
  RunReports(state, handler,
             std::vector<const char*>(kSequenceLength, "OPEN_FAILED"));
}
BENCHMARK(BM_DeliveredGeneral)->Name("report/delivered/general_conversions");

void BM_FloorGeneral(benchmark::State& state) {
  for (auto _ : state) {
    FloorReport("Cannot open %-24s: %.12s (code %04d)", kFirstArgument,
                kSecondArgument, kThirdArgument);
  }
}
BENCHMARK(BM_FloorGeneral)->Name("floor/vsnprintf_general_conversions");

// A translation that names its arguments' positions is formatted by the
// library itself, conversion by conversion; beside it the same text in the
// arguments' own order, and glibc's own positional printf.
constexpr const char* kReorderedText = "Code %3$d: %2$s, pour %1$s";
// Sets `handler` up with `pairs` and a message file of `contents`. False,
// with the benchmark skipped, when the file cannot be written.
bool SetUpWithFile(benchmark::State& state, MessageHandler& handler,
                   const char** pairs, int npairs,
                   const std::string& contents) {
  std::filesystem::path file =
      std::filesystem::temp_directory_path() / "msgreport_bench_messages.txt";
  std::FILE* out = std::fopen(file.string().c_str(), "w");
  if (out == nullptr) {
    state.SkipWithError("cannot write the message file");
    return false;
  }
  std::fputs(contents.c_str(), out);
  std::fclose(out);
  handler.PopulateMessageHandler(pairs, npairs, nullptr, 0,
                                 file.string().c_str());
  std::filesystem::remove(file);
  return true;
}

void BM_DeliveredTranslated(benchmark::State& state, const char* text) {
  const char* pairs[] = {"OPEN_FAILED", kFloorText};
  MessageHandler handler;
  std::string file = "OPEN_FAILED : \"" + std::string(text) + "\"\n";
  if (!SetUpWithFile(state, handler, pairs, 1, file)) return;
  handler.SetConsoleReporting("error");
  handler.RegisterErrorCallback(NoOp);
  RunReports(state, handler,
             std::vector<const char*>(kSequenceLength, "OPEN_FAILED"));
}
BENCHMARK_CAPTURE(BM_DeliveredTranslated, in_order,
                  "Ouverture de %s impossible : %s (code %d)")
    ->Name("report/delivered/translated_in_order");
BENCHMARK_CAPTURE(BM_DeliveredTranslated, reordered, kReorderedText)
    ->Name("report/delivered/translated_reordered");

// A plural message picks its form by the count before formatting: the
// same text, reported with counts from 0 to 127, as a message without forms
// and as one with Polish forms from a file.
constexpr const char* kPluralText = "%s: synchronised %d files";
void BM_DeliveredPlural(benchmark::State& state, bool with_forms) {
  const char* pairs[] = {"SYNCED", kPluralText, "SYNCED[one]",
                         "%s: synchronised %d file"};
  MessageHandler handler;
  if (!SetUpWithFile(state, handler, pairs, with_forms ? 2 : 1,
                     with_forms
                         ? "@language : \"pl\"\n"
                           "SYNCED : \"%s: zsynchronizowano %d pliku\"\n"
                           "SYNCED[one] : \"%s: zsynchronizowano %d plik\"\n"
                           "SYNCED[few] : \"%s: zsynchronizowano %d pliki\"\n"
                           "SYNCED[many] : \"%s: zsynchronizowano %d plikow\"\n"
                         : "SYNCED : \"%s: zsynchronizowano %d plikow\"\n")) {
    return;
  }
  handler.SetConsoleReporting("error");
  handler.RegisterErrorCallback(NoOp);
  int count = 0;
  std::uint64_t before = msgreport_test::AllocationCount();
  for (auto _ : state) {
    handler.ReportError2("SYNCED", kFirstArgument, count);
    count = (count + 1) & 127;
  }
  CountAllocations(state, before);
}
BENCHMARK_CAPTURE(BM_DeliveredPlural, without_forms, false)
    ->Name("report/delivered/translated_no_forms");
BENCHMARK_CAPTURE(BM_DeliveredPlural, with_forms, true)
    ->Name("report/delivered/translated_plural");

#if defined(__GLIBC__)
void BM_FloorReordered(benchmark::State& state) {
  for (auto _ : state) {
    FloorReport(kReorderedText, kFirstArgument, kSecondArgument,
                kThirdArgument);
  }
}
BENCHMARK(BM_FloorReordered)->Name("floor/vsnprintf_reordered");
#endif

void BM_Unregistered(benchmark::State& state) {
  ReportingHandler setup(1000);
  RunReports(
      state, *setup.handler,
      std::vector<const char*>(kSequenceLength, "NOT_A_KNOWN_KEY_00042"));
}
BENCHMARK(BM_Unregistered)->Name("report/unregistered");

void BM_SwitchedOff(benchmark::State& state) {
  ReportingHandler setup(1000);
  std::vector<const char*> keys =
      ShuffledKeys(setup.catalogue, kSequenceLength);
  std::size_t next = 0;
  std::uint64_t before = msgreport_test::AllocationCount();
  for (auto _ : state) {
    setup.handler->ReportDebug2(keys[next], kFirstArgument, kSecondArgument,
                                kThirdArgument);
    next = (next + 1) & (kSequenceLength - 1);
  }
  CountAllocations(state, before);
}
BENCHMARK(BM_SwitchedOff)->Name("report/switched_off");

void BM_ReportFiltered(benchmark::State& state) {
  ReportingHandler setup(1000, static_cast<int>(state.range(0)));
  std::string last = setup.filter_keys.back();
  RunReports(state, *setup.handler,
             std::vector<const char*>(kSequenceLength, last.c_str()));
}
BENCHMARK(BM_ReportFiltered)->Name("report/filtered")->Arg(10)->Arg(100);

void BM_ReportUnfiltered(benchmark::State& state) {
  ReportingHandler setup(1000, static_cast<int>(state.range(0)));
  RunReports(state, *setup.handler,
             ShuffledKeys(setup.catalogue, kSequenceLength));
}
BENCHMARK(BM_ReportUnfiltered)
    ->Name("report/unfiltered")
    ->Arg(0)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000);

// The cost of calling into the shared library at all: an exported
// operation that only stores a pointer.
void BM_ExportedCall(benchmark::State& state) {
  MessageHandler handler;
  for (auto _ : state) {
    handler.RegisterDebugCallback(NoOp);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ExportedCall)->Name("call/exported");

void BM_FilterMiss(benchmark::State& state) {
  ReportingHandler setup(10, static_cast<int>(state.range(0)));
  std::vector<const char*> keys =
      ShuffledKeys(setup.catalogue, kSequenceLength);
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(setup.handler->inFilterArray(keys[next]));
    next = (next + 1) & (kSequenceLength - 1);
  }
}
BENCHMARK(BM_FilterMiss)
    ->Name("filter/miss")
    ->Arg(0)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000);

}  // namespace
}  // namespace msgreport_bench
