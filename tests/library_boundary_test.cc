// Exceptions cross the shared library in both directions: one thrown by a
// callback leaves the report that called it, and the handler is unchanged;
// an allocation failure inside the library reaches the program as
// std::bad_alloc. The test links the shared library, not the static one, so
// that the exceptions really pass through another module's frames.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <new>
#include <stdexcept>
#include <string>

#include "msgreport.h"
#include "test_support.h"

namespace {

void ThrowTheMessage(char* message) { throw std::runtime_error(message); }

std::string delivered;
void Keep(char* message) { delivered = message; }

TEST(LibraryBoundaryTest, ACallbackMayThrowOutOfAReport) {
  const char* pairs[] = {"DISK_FULL", "Disk full on %s"};
  MessageHandler handler(pairs, 1, nullptr, 0, nullptr);
  handler.SetConsoleReporting("error");
  handler.RegisterErrorCallback(ThrowTheMessage);
  try {
    handler.ReportError2("DISK_FULL", "/mnt/backup");
    ADD_FAILURE() << "the callback's exception was lost";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Disk full on /mnt/backup");
  }
  EXPECT_THROW(handler.ReportError2("DISK_FULL", "/tmp"), std::runtime_error);

  handler.RegisterErrorCallback(Keep);
  handler.ReportError2("DISK_FULL", "/home");
  EXPECT_EQ(delivered, "Disk full on /home");
}

TEST(LibraryBoundaryTest, AnAllocationFailureReachesTheProgram) {
  if (sizeof(void*) > 4) {
    GTEST_SKIP() << "skipped on 64 bits: only a 32-bit address space runs "
                    "out of memory this cheaply";
  }
  // A message file of one 3 GiB line, sparse so that it costs no disk: the
  // reader cannot hold that line in a 32-bit address space.
  msgreport_test::TempDir dir;
  std::string path = dir.Write("huge.txt", "");
  std::filesystem::resize_file(path, std::uintmax_t{3} << 30);
  const char* pairs[] = {"DISK_FULL", "Disk full"};
  EXPECT_THROW(MessageHandler(pairs, 1, nullptr, 0, path.c_str()),
               std::bad_alloc);
}

}  // namespace
