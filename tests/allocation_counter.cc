#include "allocation_counter.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {
std::uint64_t allocations = 0;
std::size_t last_calloc_bytes = 0;
std::size_t live_new_bytes = 0;
std::size_t failing_new_bytes = 0;  // none when 0
// Each block of operator new carries its size ahead of it, so that freeing
// it can count its bytes back.
constexpr std::size_t kSizeHeader = __STDCPP_DEFAULT_NEW_ALIGNMENT__;
}  // namespace

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define MSGREPORT_UNDER_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define MSGREPORT_UNDER_SANITIZER 1
#endif

#if defined(__GLIBC__) && !defined(MSGREPORT_UNDER_SANITIZER)
// The C allocator is counted too, since LookupMessage and the C library
// allocate through it; the counting versions forward to glibc's own.
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);

void* malloc(std::size_t size) {
  ++allocations;
  return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
  ++allocations;
  last_calloc_bytes = count * size;
  return __libc_calloc(count, size);
}
void* realloc(void* block, std::size_t size) {
  ++allocations;
  return __libc_realloc(block, size);
}
}
#define MSGREPORT_RAW_MALLOC __libc_malloc
constexpr bool kCountsCAllocator = true;
#else
#define MSGREPORT_RAW_MALLOC std::malloc
constexpr bool kCountsCAllocator = false;
#endif

namespace msgreport_test {
std::uint64_t AllocationCount() { return allocations; }
bool CountsCAllocator() { return kCountsCAllocator; }
std::size_t LastCallocBytes() { return last_calloc_bytes; }
std::size_t LiveNewBytes() { return live_new_bytes; }
void FailNextNewOf(std::size_t bytes) { failing_new_bytes = bytes; }
}  // namespace msgreport_test

// These replacements pair new with free by design; GCC cannot tell that
// they are the replacements themselves.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
  if (size == failing_new_bytes && size != 0) {
    failing_new_bytes = 0;
    throw std::bad_alloc();
  }
  ++allocations;
  auto* block = static_cast<char*>(MSGREPORT_RAW_MALLOC(kSizeHeader + size));
  if (block == nullptr) throw std::bad_alloc();
  std::memcpy(block, &size, sizeof size);
  live_new_bytes += size;
  return block + kSizeHeader;
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* block) noexcept {
  if (block == nullptr) return;
  char* start = static_cast<char*>(block) - kSizeHeader;
  std::size_t size = 0;
  std::memcpy(&size, start, sizeof size);
  live_new_bytes -= size;
  std::free(start);
}
void operator delete[](void* block) noexcept { operator delete(block); }
void operator delete(void* block, std::size_t) noexcept {
  operator delete(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  operator delete(block);
}
