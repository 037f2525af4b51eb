// Reports through the header made from checked_reports/catalogue.txt.

#include <gtest/gtest.h>

#include <cstddef>

#include "callback_recorder.h"
#include "checked.h"
#include "msgreport.h"

namespace {

using msgreport_test::Received;

TEST(CheckedReportsTest, DeliverTheKeysTextWithTheArgumentsAtItsSeverity) {
  Received::Clear();
  const char* const filters[] = {checked::key::DONE};
  MessageHandler handler(checked::kPairs, checked::kPairCount, filters, 1,
                         nullptr);
  handler.SetConsoleReporting("all debug");
  handler.RegisterErrorCallback(msgreport_test::RecordError);
  handler.RegisterInfoCallback(msgreport_test::RecordInfo);
  handler.RegisterDebugCallback(msgreport_test::RecordDebug);

  CHECKED_REPORT_ERROR(handler, OPEN_FAILED, "a.txt", 2);
  CHECKED_REPORT_INFO(handler, COUNT, 3);
  CHECKED_REPORT_INFO(handler, DONE);  // filtered
  CHECKED_REPORT_DEBUG(handler, BIG, 1LL << 40, std::size_t{7});

  EXPECT_EQ(Received::errors,
            std::vector<std::string>{"Cannot open a.txt: error 2"});
  EXPECT_EQ(Received::infos, std::vector<std::string>{"3 items"});
  EXPECT_EQ(Received::debugs,
            std::vector<std::string>{"1099511627776 bytes, 7 blocks"});
}

}  // namespace
