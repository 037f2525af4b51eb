// Counts the heap allocations of the program it is linked into, by
// replacing the allocation functions: a test shows that reports allocate
// nothing, another that a table's storage stays bounded, and the benchmark
// prints allocations per operation.

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

// The bytes held through operator new, counted as the allocator hands them
// out and takes them back: what a container says of itself is not asked.
std::size_t LiveNewBytes();

// Makes the next operator new of exactly `bytes` throw std::bad_alloc, as
// an allocation that fails midway through a change would.
void FailNextNewOf(std::size_t bytes);

}  // namespace msgreport_test

#endif  // MSGREPORT_TESTS_ALLOCATION_COUNTER_H_
