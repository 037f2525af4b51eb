// Counts heap allocations while reports run: in steady state a report of any
// kind must allocate nothing, so the count over many reports is zero.

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "msgreport.h"
#include "test_support.h"

namespace {
bool counting = false;
long allocations = 0;
void Count() {
  if (counting) ++allocations;
}
}  // namespace

// These replacements pair new with free by design; GCC cannot tell that
// they are the replacements themselves.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
  Count();
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { operator delete(block); }
void operator delete(void* block, std::size_t) noexcept {
  operator delete(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  operator delete(block);
}

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) && \
    !defined(MSGREPORT_UNDER_SANITIZER)
// The C allocator too, so that a copy made with malloc or calloc (as the
// look-up for callers does) would be seen.
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* malloc(std::size_t size) {
  Count();
  return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
  Count();
  return __libc_calloc(count, size);
}
void* realloc(void* block, std::size_t size) {
  Count();
  return __libc_realloc(block, size);
}
}
#define MSGREPORT_COUNTS_MALLOC 1
#endif

namespace {

void Ignore(char*) {}

long AllocationsDuring(MessageHandler& handler, int reports) {
  allocations = 0;
  counting = true;
  for (int i = 0; i < reports; ++i) {
    handler.ReportError2("OPEN_FAILED", "config.ini", i);
    handler.ReportWarning2("NOT_REGISTERED", i);
    handler.ReportInfo2("QUIET");
    handler.ReportDebug2("OPEN_FAILED", "switched off", i);
    handler.ReportError2("EMPTY");
  }
  counting = false;
  return allocations;
}

TEST(ReportAllocationTest, ReportsAllocateNothingInSteadyState) {
#if defined(MSGREPORT_COUNTS_MALLOC)
  // The counter works: a look-up for a caller allocates.
  MessageMap map;
  char* text = nullptr;
  counting = true;
  allocations = 0;
  map.LookupMessage("X", text);
  counting = false;
  std::free(text);
  ASSERT_EQ(allocations, 1);
#endif
  const char* pairs[] = {
      "OPEN_FAILED", "Cannot open %s (code %d)", "QUIET", "quiet", "EMPTY", ""};
  const char* filters[] = {"A", "B", "QUIET"};
  MessageHandler handler(pairs, 3, filters, 3, nullptr);
  handler.SetConsoleReporting("all");
  handler.RegisterErrorCallback(Ignore);
  handler.RegisterWarningCallback(Ignore);
  handler.RegisterInfoCallback(Ignore);

  AllocationsDuring(handler, 10);  // warm-up
  EXPECT_EQ(AllocationsDuring(handler, 100), 0);
  EXPECT_EQ(AllocationsDuring(handler, 10000), 0);

  // Standard output allocates its buffer once, at its first use.
  handler.RegisterErrorCallback(nullptr);
  msgreport_test::StdoutCapture out;
  AllocationsDuring(handler, 10);
  long few = AllocationsDuring(handler, 100);
  long many = AllocationsDuring(handler, 1000);
  std::string written = out.Finish();
  EXPECT_EQ(few, 0);
  EXPECT_EQ(many, 0);
  EXPECT_NE(written.find("Cannot open config.ini (code 999)\n"),
            std::string::npos);
}

}  // namespace
