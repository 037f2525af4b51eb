// The logging library users would otherwise pick, doing the same job: an
// enabled call whose text reaches a no-op callback, and a disabled call.

#include <benchmark/benchmark.h>
#include <spdlog/sinks/base_sink.h>
#include <spdlog/spdlog.h>

#include <memory>
#include <mutex>

#include "allocation_counter.h"
#include "workload.h"

namespace msgreport_bench {
namespace {

void NoOp(char* message) { benchmark::DoNotOptimize(message); }

// Formats the bare message and hands it, NUL-terminated, to a callback.
class CallbackSink final
    : public spdlog::sinks::base_sink<spdlog::details::null_mutex> {
 protected:
  void sink_it_(const spdlog::details::log_msg& message) override {
    buffer_.clear();
    formatter_->format(message, buffer_);
    buffer_.push_back('\0');
    NoOp(buffer_.data());
  }
  void flush_() override {}

 private:
  spdlog::memory_buf_t buffer_;
};

std::shared_ptr<spdlog::logger> MakeLogger() {
  auto logger = std::make_shared<spdlog::logger>(
      "bench", std::make_shared<CallbackSink>());
  logger->set_pattern("%v");
  logger->set_level(spdlog::level::info);
  return logger;
}

void CountAllocations(benchmark::State& state, std::uint64_t before) {
  state.counters["allocs/op"] = benchmark::Counter(
      static_cast<double>(msgreport_test::AllocationCount() - before) /
      static_cast<double>(state.iterations()));
}

void BM_PeerEnabled(benchmark::State& state) {
  auto logger = MakeLogger();
  std::uint64_t before = msgreport_test::AllocationCount();
  for (auto _ : state) {
    logger->error("Cannot open {}: {} (code {})", kFirstArgument,
                  kSecondArgument, kThirdArgument);
  }
  CountAllocations(state, before);
}
BENCHMARK(BM_PeerEnabled)->Name("peer/spdlog/enabled");

void BM_PeerDisabled(benchmark::State& state) {
  auto logger = MakeLogger();
  std::uint64_t before = msgreport_test::AllocationCount();
  for (auto _ : state) {
    logger->debug("Cannot open {}: {} (code {})", kFirstArgument,
                  kSecondArgument, kThirdArgument);
  }
  CountAllocations(state, before);
}
BENCHMARK(BM_PeerDisabled)->Name("peer/spdlog/disabled");

}  // namespace
}  // namespace msgreport_bench
