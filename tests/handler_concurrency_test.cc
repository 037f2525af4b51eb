// Threads reporting at once through one handler that is set up: each
// message arrives once and whole, at every severity, through callbacks and
// standard output alike. The tsan preset runs it under ThreadSanitizer.

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
  const char* pairs[] = {"SYNC", "Synced %d to %s", "QUIET", "q"};
  const char* filters[] = {"QUIET"};
  MessageHandler handler(pairs, 2, filters, 1, nullptr);
  handler.SetConsoleReporting("error warning");
  handler.SetLogReporting("info debug");
  handler.RegisterErrorCallback(Count);
  handler.RegisterWarningCallback(Count);  // info and debug: to stdout
  msgreport_test::StdoutCapture out;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&handler] {
      for (int i = 0; i < kReports; ++i) {
        handler.ReportError2("SYNC", i, "error");
        handler.ReportWarning2("SYNC", i, "warning");
        handler.ReportInfo2("SYNC", i, "info");
        handler.ReportDebug2("SYNC", i, "debug");
        handler.ReportError2(handler.inFilterArray("QUIET") ? "QUIET" : "X");
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  std::istringstream printed(out.Finish());
  for (std::string line; std::getline(printed, line);) ++tally[line];

  EXPECT_EQ(tally.size(), 4u * kReports);  // nothing else, nothing torn
  for (const char* to : {"error", "warning", "info", "debug"}) {
    for (int i = 0; i < kReports; ++i) {
      std::string message = "Synced " + std::to_string(i) + " to " + to;
      EXPECT_EQ(tally[message], kThreads) << message;
    }
  }
}

}  // namespace
