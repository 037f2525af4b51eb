// Exceptions cross the shared library in both directions: one thrown by a
// callback leaves the report that called it, and the handler is unchanged.
// The test links the shared library, not the static one, so that the
// exception really passes through another module's frames.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "msgreport.h"

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

}  // namespace
