#include "handler/message_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

// Formats through the library and through vsnprintf; both must agree.
struct Both {
  std::string ours;
  std::string theirs;
};

Both Format(const char* text, ...) {
  char ours[msgreport::kMessageCapacity];
  char theirs[msgreport::kMessageCapacity];
  std::va_list args;
  va_start(args, text);
  std::va_list copy;
  va_copy(copy, args);
  bool formatted = msgreport::FormatMessage(ours, text, args);
  std::vsnprintf(theirs, sizeof theirs, text, copy);
  va_end(copy);
  va_end(args);
  return {formatted ? ours : "<failed>", theirs};
}

#define EXPECT_SAME(...)                               \
  do {                                                 \
    Both both = Format(__VA_ARGS__);                   \
    EXPECT_EQ(both.ours, both.theirs) << #__VA_ARGS__; \
  } while (0)

TEST(MessageFormatTest, PlainConversionsMatchTheCLibrary) {
  EXPECT_SAME("");
  EXPECT_SAME("no conversions at all");
  EXPECT_SAME("Cannot open %s: %s (code %d)", "/etc/app.conf", "denied", 13);
  EXPECT_SAME("%d|%i|%u", INT_MIN, INT_MAX, UINT_MAX);
  EXPECT_SAME("%d%d%d", 0, -1, 10);
  EXPECT_SAME("100%% of %s%%", "files");
  EXPECT_SAME("%s", "");
  EXPECT_SAME("[%s]", static_cast<const char*>(nullptr));
}

TEST(MessageFormatTest, OtherConversionsGoToTheCLibrary) {
  EXPECT_SAME("%5d|%-4s|%03u", 42, "ab", 7u);
  EXPECT_SAME("%ld %lld %hhd %zu", 1L, 2LL, 3, std::size_t{4});
  EXPECT_SAME("%.2f %e %g", 3.14159, 1e10, 0.5);
  EXPECT_SAME("%x %X %o %c %p", 255u, 255u, 8u, 'z',
              static_cast<void*>(nullptr));
  EXPECT_SAME("%s then %.3s", "plain first", "precision");
  EXPECT_SAME("%*d|%-*s", 6, 1, 4, "x");
}

TEST(MessageFormatTest, LongMessagesAreCutAtTheSameCharacter) {
  const std::string long_value(3000, 'v');
  for (std::size_t prefix : {0u, 1u, 1020u, 1022u, 1023u, 1100u}) {
    std::string text = std::string(prefix, 'p') + "%s|%d|%s";
    EXPECT_SAME(text.c_str(), long_value.c_str(), -123456, "tail");
    EXPECT_SAME(text.c_str(), "short", 7, long_value.c_str());
  }
  std::string exact(1023, 'e');
  EXPECT_SAME("%s", exact.c_str());
  EXPECT_SAME("%s%%", exact.c_str());
}

}  // namespace
