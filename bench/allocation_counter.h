// Counts heap allocations made by the benchmark binary, to report them per
// operation next to the timings.

#ifndef MSGREPORT_BENCH_ALLOCATION_COUNTER_H_
#define MSGREPORT_BENCH_ALLOCATION_COUNTER_H_

#include <cstdint>

namespace msgreport_bench {

// Allocations (new, malloc, calloc, realloc) since the program started.
std::uint64_t AllocationCount();

}  // namespace msgreport_bench

#endif  // MSGREPORT_BENCH_ALLOCATION_COUNTER_H_
