// Threads reporting at once through one handler that is set up: each
// message arrives once and whole, at every severity, through callbacks and
// standard output alike, on the plain, positional and plural roads. The
// tsan preset runs it under ThreadSanitizer.

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "msgreport.h"
#include "test_support.h"

namespace {

std::mutex tally_mutex;
std::map<std::string, int> tally;  // message -> how often it arrived

void Count(char* message) {
  std::lock_guard<std::mutex> lock(tally_mutex);
  ++tally[message];
}

TEST(HandlerConcurrencyTest, ThreadsReportAtOnceAtEverySeverity) {
  constexpr int kThreads = 8;
  constexpr int kReports = 200;
  const char* pairs[] = {
      "SYNC",  "Synced %d to %s", "QUIET",      "q",
      "MOVED", "Moved %d to %s",  "MOVED[one]", "Moved %d file to %s"};
  const char* filters[] = {"QUIET"};
  msgreport_test::TempDir dir;
  MessageHandler handler(pairs, 4, filters, 1,
                         dir.Write("f",
                                   "MOVED : \"%2$s took %1$d\"\n"
                                   "MOVED[one] : \"%2$s took one\"\n")
                             .c_str());
  handler.SetConsoleReporting("error warning");
  handler.SetLogReporting("info debug");
  handler.RegisterErrorCallback(Count);
  handler.RegisterWarningCallback(Count);  // info and debug: to stdout
  msgreport_test::StdoutCapture out;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&handler] {
      for (int i = 0; i < kReports; ++i) {
        for (const char* key : {"SYNC", "MOVED"}) {
          handler.ReportError2(key, i, "error");
          handler.ReportWarning2(key, i, "warning");
          handler.ReportInfo2(key, i, "info");
          handler.ReportDebug2(key, i, "debug");
        }
        handler.ReportError2(handler.inFilterArray("QUIET") ? "QUIET" : "X");
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  std::istringstream printed(out.Finish());
  for (std::string line; std::getline(printed, line);) ++tally[line];

  EXPECT_EQ(tally.size(), 8u * kReports);  // nothing else, nothing torn
  for (std::string to : {"error", "warning", "info", "debug"}) {
    for (int i = 0; i < kReports; ++i) {
      std::string count = std::to_string(i);
      for (const std::string& message :
           {"Synced " + count + " to " + to,
            to + " took " + (i == 1 ? "one" : count)}) {
        EXPECT_EQ(tally[message], kThreads) << message;
      }
    }
  }
}

}  // namespace
