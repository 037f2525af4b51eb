// Counts the heap allocations of the program it is linked into, by
// replacing the allocation functions: a test shows that reports allocate
// nothing, and the benchmark prints allocations per operation.

#ifndef MSGREPORT_TESTS_ALLOCATION_COUNTER_H_
#define MSGREPORT_TESTS_ALLOCATION_COUNTER_H_

#include <cstddef>
#include <cstdint>

namespace msgreport_test {

// Allocations since the program started: operator new always; malloc,
// calloc and realloc too where CountsCAllocator() says so.
std::uint64_t AllocationCount();

// The C allocator can be counted on glibc, and not under a sanitizer, which
// brings its own.
bool CountsCAllocator();

// The bytes that the last calloc asked for, where CountsCAllocator().
std::size_t LastCallocBytes();

}  // namespace msgreport_test

#endif  // MSGREPORT_TESTS_ALLOCATION_COUNTER_H_
