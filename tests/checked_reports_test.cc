// Reports through the headers made from checked_reports/catalogue.txt under
// two namespaces, and from an empty catalogue.

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "callback_recorder.h"
#include "checked.h"
#include "empty.h"
#include "msgreport.h"
#include "other_checked.h"

namespace {

using msgreport_test::Received;

TEST(CheckedReportsTest, DeliverTheKeysTextWithTheArgumentsAtItsSeverity) {
  const char* const filters[] = {checked::key::DONE};
  MessageHandler handler(checked::kPairs, checked::kPairCount, filters, 1,
                         nullptr);
  msgreport_test::Recording(handler, "all debug");

  CHECKED_REPORT_ERROR(handler, OPEN_FAILED, "a.txt", 2);
  CHECKED_REPORT_INFO(handler, COUNT, 3);
  CHECKED_REPORT_INFO(handler, COUNT, 1);  // its plural form
  CHECKED_REPORT_INFO(handler, DONE);      // filtered
  CHECKED_REPORT_DEBUG(handler, BIG, 1LL << 40, std::size_t{7});
  // The other header's macros report the same keys of its own namespace.
  OTHER_CHECKED_REPORT_INFO(handler, COUNT, 4);
  // What the C library reads for %I64d differs, and so does the check.
#if defined(_WIN32)
  CHECKED_REPORT_INFO(handler, MICROSOFT_SIZE, -1LL);
  const std::string microsoft_size = "[-1]";
#else
  CHECKED_REPORT_INFO(handler, MICROSOFT_SIZE, -1);
  const std::string microsoft_size = "[" + std::string(62, ' ') + "-1]";
#endif

  EXPECT_EQ(Received::errors,
            std::vector<std::string>{"Cannot open a.txt: error 2"});
  EXPECT_EQ(Received::infos,
            (std::vector<std::string>{"3 items", "one item", "4 items",
                                      microsoft_size}));
  EXPECT_EQ(Received::debugs,
            std::vector<std::string>{"1099511627776 bytes, 7 blocks"});
  EXPECT_EQ(empty::kPairCount, 0);
  EXPECT_STREQ(other::checked::key::COUNT, "COUNT");
}

}  // namespace
