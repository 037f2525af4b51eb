#include <gtest/gtest.h>

#include "callback_recorder.h"
#include "msgreport.h"
#include "test_support.h"

namespace {

using msgreport_test::Received;

TEST(HandlerFilterTest, MatchesWholeKeysExactly) {
  // Enough keys that the index grows twice as they are added.
  const char* filters[] = {"FIRST", "MIDDLE", "LAST", "MIDDLE", "K5",
                           "K6",    "K7",     "K8",   "K9"};
  MessageHandler handler(nullptr, 0, filters, 9, nullptr);
  for (const char* key : filters) {
    EXPECT_TRUE(handler.inFilterArray(key)) << key;
    EXPECT_TRUE(handler.inFilterArray(key)) << "asked again: " << key;
  }
  for (const char* key : {"first", "LAS", "LASTS", "", "MIDDLE "}) {
    EXPECT_FALSE(handler.inFilterArray(key)) << key;
  }
  EXPECT_FALSE(handler.inFilterArray(nullptr));
  MessageHandler empty;
  EXPECT_FALSE(empty.inFilterArray("FIRST"));
}

TEST(HandlerFilterTest, FilteredKeysProduceNothingAtAnySeverity) {
  const char* pairs[] = {"QUIET", "quiet text", "LOUD", "loud text"};
  const char* filters[] = {"QUIET", "UNREGISTERED"};
  MessageHandler handler(pairs, 2, filters, 2, nullptr);
  handler.SetLogReporting("all debug");
  msgreport_test::Recording(handler, "all debug");
  msgreport_test::StdoutCapture out;
  for (const char* key : {"QUIET", "UNREGISTERED"}) {
    handler.ReportError2(key);
    handler.ReportWarning2(key);
    handler.ReportInfo2(key);
    handler.ReportDebug2(key);
  }
  EXPECT_EQ(out.Finish(), "");
  for (const auto* got : {&Received::errors, &Received::warnings,
                          &Received::infos, &Received::debugs}) {
    EXPECT_TRUE(got->empty());
  }
  handler.ReportError2("LOUD");
  EXPECT_EQ(Received::errors, std::vector<std::string>{"loud text"});
}

}  // namespace
