// The logging library users would otherwise pick, doing the same job: an
// enabled call whose text reaches a no-op callback, and a disabled call.

#include <benchmark/benchmark.h>
#include <spdlog/sinks/base_sink.h>
#include <spdlog/spdlog.h>

#include <memory>
#include <mutex>

#include "allocations_per_op.h"
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

// The logger's level is info: error calls are delivered, debug calls not.
void BM_Peer(benchmark::State& state, spdlog::level::level_enum level) {
  auto logger = MakeLogger();
  std::uint64_t before = msgreport_test::AllocationCount();
  for (auto _ : state) {
    logger->log(level, "Cannot open {}: {} (code {})", kFirstArgument,
                kSecondArgument, kThirdArgument);
  }
  CountAllocations(state, before);
}
BENCHMARK_CAPTURE(BM_Peer, enabled, spdlog::level::err)
    ->Name("peer/spdlog/enabled");
BENCHMARK_CAPTURE(BM_Peer, disabled, spdlog::level::debug)
    ->Name("peer/spdlog/disabled");

}  // namespace
}  // namespace msgreport_bench
