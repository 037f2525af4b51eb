#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "callback_recorder.h"
#include "msgreport.h"
#include "test_support.h"

namespace {

using msgreport_test::Received;

// Which severities a handler delivers, as "EWID" with '-' for dropped ones.
std::string Delivers(MessageHandler& handler) {
  msgreport_test::Recording(handler);
  handler.ReportError2("K");
  handler.ReportWarning2("K");
  handler.ReportInfo2("K");
  handler.ReportDebug2("K");
  return {Received::errors.empty() ? '-' : 'E',
          Received::warnings.empty() ? '-' : 'W',
          Received::infos.empty() ? '-' : 'I',
          Received::debugs.empty() ? '-' : 'D'};
}

std::string AfterConsole(std::initializer_list<const char*> calls) {
  MessageHandler handler;
  for (const char* levels : calls) handler.SetConsoleReporting(levels);
  return Delivers(handler);
}

// What each run of calls switches on, a call at a time.
TEST(HandlerLevelsTest, EachNameSwitchesItsSeverity) {
  const struct {
    std::initializer_list<const char*> calls;
    const char* delivers;
  } kCases[] = {
      // Names are independent switches.
      {{}, "----"},
      {{"warning"}, "-W--"},
      {{"debug"}, "---D"},
      {{"all"}, "EWI-"},
      {{"error", "warning"}, "EW--"},
      // They count anywhere, with any separator or none.
      {{"error,debug"}, "E--D"},
      {{"debug error"}, "E--D"},
      {{"errordebug"}, "E--D"},
      {{"debugerror"}, "E--D"},
      {{"infowarning"}, "-WI-"},
      {{"errors"}, "E---"},
      {{"informational"}, "--I-"},
      {{"install"}, "EWI-"},
      // Unknown names, other cases and empty texts change nothing.
      {{"ERROR Warning ALL", "eror", "", nullptr}, "----"},
      {{"error", nullptr, ""}, "E---"},
      // "none" wins over everything in its text but a "debug" there, which
      // reads as "debug only"; without one it switches off a debug set by
      // earlier calls.
      {{"all none"}, "----"},
      {{"none all"}, "----"},
      {{"all", "nonexistent"}, "----"},
      {{"none debug"}, "---D"},
      {{"debug,none"}, "---D"},
      {{"all debug none"}, "---D"},
      {{"error warning", "none debug"}, "---D"},
      {{"debug", "none"}, "----"},
      {{"none debug", "none"}, "----"},
      {{"none", "debug"}, "---D"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(AfterConsole(c.calls), c.delivers)
        << testing::PrintToString(std::vector<const char*>(c.calls));
  }
}

TEST(HandlerLevelsTest, ConsoleAndLogSetsAreSeparateButDeliverAlike) {
  MessageHandler handler;
  handler.SetConsoleReporting("none");
  handler.SetLogReporting("error");
  EXPECT_EQ(Delivers(handler), "E---");
  handler.SetConsoleReporting("all");
  handler.SetLogReporting("none");
  EXPECT_EQ(Delivers(handler), "EWI-");
  handler.SetConsoleReporting("none");
  EXPECT_EQ(Delivers(handler), "----");
}

int delivered = 0;
void CountDelivery(char*) { ++delivered; }

// Every severity through every pair of its switches, to its callback and to
// standard output: exactly one delivery when either switch is on, and none
// when both are off.
TEST(HandlerLevelsTest, EitherSwitchDeliversOnceAtEverySeverity) {
  using Report = void (MessageHandler::*)(const char*, ...);
  using Register = void (MessageHandler::*)(MessageCallback);
  const struct {
    const char* level;
    Report report;
    Register registration;
  } kSeverities[] = {
      {"error", &MessageHandler::ReportError2,
       &MessageHandler::RegisterErrorCallback},
      {"warning", &MessageHandler::ReportWarning2,
       &MessageHandler::RegisterWarningCallback},
      {"info", &MessageHandler::ReportInfo2,
       &MessageHandler::RegisterInfoCallback},
      {"debug", &MessageHandler::ReportDebug2,
       &MessageHandler::RegisterDebugCallback},
  };
  const char* pairs[] = {"K", "text %d"};
  for (const auto& severity : kSeverities) {
    for (int switches = 0; switches < 8; ++switches) {
      bool console = switches & 1, log = switches & 2, callback = switches & 4;
      MessageHandler handler(pairs, 1, nullptr, 0, nullptr);
      if (console) handler.SetConsoleReporting(severity.level);
      if (log) handler.SetLogReporting(severity.level);
      if (callback) (handler.*severity.registration)(CountDelivery);
      delivered = 0;
      msgreport_test::StdoutCapture out;
      (handler.*severity.report)("K", 7);
      std::string printed = out.Finish();
      int expected = console || log ? 1 : 0;
      EXPECT_EQ(delivered, callback ? expected : 0)
          << severity.level << " " << switches;
      EXPECT_EQ(printed, callback || !expected ? "" : "text 7\n")
          << severity.level << " " << switches;
    }
  }
}

}  // namespace
