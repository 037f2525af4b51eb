#include "catalogue/byte_marks.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace msgreport {
namespace {

// Every start in texts where a '%' or NUL lies next to bytes that a looser
// test of a word would take for one ('$' and '\1' differ from them in the
// lowest bit), near both ends of a word and of the text.
TEST(ByteMarksTest, FindsTheFirstPercentOrNulFromAnyStart) {
  const std::string texts[] = {"abcdef%%$s",
                               "%$%$%$%$%$",
                               std::string("ab\0\1cd%$", 8),
                               "no conversion here",
                               "0123456%89abcdef%",
                               std::string(7, '$') + '%',
                               "%",
                               "",
                               std::string("\1\1\1\0\1\1\1\1%x", 10)};
  for (const std::string& text : texts) {
    for (std::size_t from = 0; from <= text.size(); ++from) {
      std::size_t expected = text.find_first_of(std::string("%\0", 2), from);
      if (expected == std::string::npos) expected = text.size();
      EXPECT_EQ(FindPercentOrNul(text, from), expected)
          << '"' << text << "\" from " << from;
    }
  }
}

}  // namespace
}  // namespace msgreport
