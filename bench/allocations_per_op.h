// Reports the heap allocations a benchmark made as a per-operation counter.

#ifndef MSGREPORT_BENCH_ALLOCATIONS_PER_OP_H_
#define MSGREPORT_BENCH_ALLOCATIONS_PER_OP_H_

#include <benchmark/benchmark.h>

#include <cstdint>

#include "allocation_counter.h"

namespace msgreport_bench {

// `before` is msgreport_test::AllocationCount() from before the loop.
inline void CountAllocations(benchmark::State& state, std::uint64_t before) {
  state.counters["allocs/op"] = benchmark::Counter(
      static_cast<double>(msgreport_test::AllocationCount() - before) /
      static_cast<double>(state.iterations()));
}

}  // namespace msgreport_bench

#endif  // MSGREPORT_BENCH_ALLOCATIONS_PER_OP_H_
