#include "handler/message_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <initializer_list>
#include <limits>
#include <string>
#include <type_traits>

#include "catalogue/format_check.h"
#include "formatted_both_ways.h"
#include "handler/positional_format.h"

namespace {

using msgreport_test::Both;
using msgreport_test::FormattedBothWays;

#define EXPECT_SAME(...)                               \
  do {                                                 \
    Both both = FormattedBothWays(__VA_ARGS__);        \
    EXPECT_EQ(both.ours, both.theirs) << #__VA_ARGS__; \
  } while (0)

// Bare conversions, decorated ones, and those left to the C library.
TEST(MessageFormatTest, ConversionsMatchTheCLibrary) {
  EXPECT_SAME("");
  EXPECT_SAME("no conversions at all");
  EXPECT_SAME("Cannot open %s: %s (code %d)", "/etc/app.conf", "denied", 13);
  EXPECT_SAME("%d|%i|%u", INT_MIN, INT_MAX, UINT_MAX);
  EXPECT_SAME("%d%d%d", 0, -1, 10);
  EXPECT_SAME("100%% of %s%%", "files");
  EXPECT_SAME("%s", "");
  EXPECT_SAME("%ls", L"");  // nothing, yet formatted
  EXPECT_SAME("[%s]", static_cast<const char*>(nullptr));
  EXPECT_SAME("%5d|%-4s|%03u", 42, "ab", 7u);
  EXPECT_SAME("%ld %lld %hhd %zu", 1L, 2LL, 3, std::size_t{4});
  EXPECT_SAME("%.2f %e %g", 3.14159, 1e10, 0.5);
  EXPECT_SAME("%x %X %o %c %p", 255u, 255u, 8u, 'z',
              static_cast<void*>(nullptr));
  EXPECT_SAME("%s then %.3s", "plain first", "precision");
  EXPECT_SAME("%*d|%-*s", 6, 1, 4, "x");
}

// Every integer, character and string conversion, with every combination
// of flags, widths and precisions, literal and '*', against vsnprintf.
template <typename T>
void ExpectDecoratedSame(const std::string& conversion, bool width_star,
                         bool precision_star, T value) {
  std::string text = "[" + conversion + "]";
  const char* t = text.c_str();
  if (width_star && precision_star) {
    EXPECT_SAME(t, -9, 3, value);
    EXPECT_SAME(t, 12, -1, value);
  } else if (width_star || precision_star) {
    EXPECT_SAME(t, -6, value);
    EXPECT_SAME(t, 0, value);
    EXPECT_SAME(t, 8, value);
  } else {
    EXPECT_SAME(t, value);
  }
}

template <typename T>
void ExpectEveryDecorationSame(const char* length, const char* letters,
                               std::initializer_list<T> values) {
  for (const char* flags :
       {"", "-", "+", " ", "#", "0", "-0", "+ ", "#0", "-#", "+0", " 0"}) {
    for (const char* width : {"", "1", "7", "*"}) {
      for (const char* precision : {"", ".", ".0", ".2", ".9", ".*"}) {
        for (const char* letter = letters; *letter != '\0'; ++letter) {
          std::string conversion =
              std::string("%") + flags + width + precision + length + *letter;
          for (T value : values) {
            ExpectDecoratedSame(conversion, *width == '*',
                                std::strcmp(precision, ".*") == 0, value);
          }
        }
      }
    }
  }
}

TEST(MessageFormatTest, DecoratedConversionsMatchTheCLibrary) {
  using SignedSize = std::make_signed_t<std::size_t>;
  using UnsignedDiff = std::make_unsigned_t<std::ptrdiff_t>;
  ExpectEveryDecorationSame<int>("", "diouxXc",
                                 {0, 1, -1, 'a', 255, INT_MIN, INT_MAX});
  ExpectEveryDecorationSame<int>("hh", "diouxX", {0, -1, 300, -129});
  ExpectEveryDecorationSame<int>("h", "diouxX", {0, -1, 70000, -32769});
  ExpectEveryDecorationSame<long>("l", "di", {0L, LONG_MIN, LONG_MAX});
  ExpectEveryDecorationSame<unsigned long>("l", "ouxX", {0UL, ULONG_MAX});
  ExpectEveryDecorationSame<long long>("ll", "di",
                                       {LLONG_MIN, -1LL, 1LL << 40});
  ExpectEveryDecorationSame<unsigned long long>("ll", "ouxX",
                                                {ULLONG_MAX, 1ULL << 63});
  ExpectEveryDecorationSame<std::intmax_t>("j", "di", {INTMAX_MIN, 5});
  ExpectEveryDecorationSame<std::uintmax_t>("j", "ouxX", {UINTMAX_MAX, 5});
  ExpectEveryDecorationSame<SignedSize>("z", "di", {-3, 4});
  ExpectEveryDecorationSame<std::size_t>("z", "ouxX", {SIZE_MAX, 4});
  ExpectEveryDecorationSame<std::ptrdiff_t>("t", "di", {PTRDIFF_MIN, 9});
  ExpectEveryDecorationSame<UnsignedDiff>("t", "ouxX", {UnsignedDiff{9}});
  ExpectEveryDecorationSame<const char*>(
      "", "s", {"", "abc", "longer than nine", nullptr});
  // A precision bounds what is read: the string need not end within it.
  const char unterminated[] = {'a', 'b', 'c'};
  EXPECT_SAME("[%.3s|%5.2s|%-4.*s]", unterminated, unterminated, 1,
              unterminated);
  // A character conversion writes a NUL as it is.
  EXPECT_SAME("%c|%s", 0, "after");
}

TEST(MessageFormatTest, LongMessagesAreCutAtTheSameCharacter) {
  const std::string long_value(3000, 'v');
  for (std::size_t prefix : {0u, 1u, 1020u, 1022u, 1023u, 1100u}) {
    std::string text = std::string(prefix, 'p') + "%s|%d|%s";
    EXPECT_SAME(text.c_str(), long_value.c_str(), -123456, "tail");
    EXPECT_SAME(text.c_str(), "short", 7, long_value.c_str());
    text = std::string(prefix, 'p') + "%-40s|%#012llx|%+*d|%.800d";
    EXPECT_SAME(text.c_str(), "left", 0xabcULL, 900, -5, 1);
  }
  // Past the largest field formatted here, vsnprintf decides.
  EXPECT_SAME("%4096d|%-4097s|%.4097x|%*d|%.*o", 1, "s", 2u, -4097, 3, 4097,
              4u);
  // Runs of plain text of every length about a word's, whole or cut.
  for (std::size_t run = 0; run < 20; ++run) {
    std::string plain(run, 'r'), text = plain + "%s" + plain + "%d" + plain;
    EXPECT_SAME(text.c_str(), "s", 5);
    EXPECT_SAME(text.c_str(), long_value.c_str() + 2000, 5);
  }
  std::string exact(1023, 'e');
  EXPECT_SAME("%s", exact.c_str());
  EXPECT_SAME("%s%%", exact.c_str());
}

// Every conversion the format check lets a message file bring in must be
// one that the platform's printf reads and formats as C99 says; the
// trailing %s in each text shows that the arguments before it were consumed
// as the check expects. `arguments` is what the check reads, each argument
// as its length modifier and kind: i(nteger), c (wide char), f(loating),
// s(tring) or p(ointer).
void ExpectAccepted(const char* text, const char* arguments) {
  msgreport::ParsedFormat parsed = msgreport::ParseFormat(text);
  EXPECT_EQ(parsed.problem, msgreport::FormatProblem::kNone) << text;
  std::string read;
  for (const msgreport::FormatArgument& argument : parsed.arguments) {
    if (!read.empty()) read += ' ';
    read += argument.length + "icfsp"[static_cast<int>(argument.kind)];
  }
  EXPECT_EQ(read, arguments) << text;
}

// What the library composed, to its NUL.
#define ACCEPTED_AND_COMPOSED(text, arguments, ...) \
  (ExpectAccepted(text, arguments),                 \
   std::string(FormattedBothWays(text, __VA_ARGS__).ours.c_str()))

TEST(MessageFormatTest, ThePlatformFormatsEveryConversionTheCheckAccepts) {
  using SignedSize = std::make_signed_t<std::size_t>;
  EXPECT_EQ(ACCEPTED_AND_COMPOSED("%hhd|%hhu|%hd|%hu|%s", "hhi hhi hi hi s",
                                  300, 511, 70000, 70000, "end"),
            "44|255|4464|4464|end");
  EXPECT_EQ(ACCEPTED_AND_COMPOSED("%ld|%lu|%lld|%llu|%s", "li li lli lli s",
                                  -5L, 5UL, -(1LL << 40), 1ULL << 63, "end"),
            "-5|5|-1099511627776|9223372036854775808|end");
  EXPECT_EQ(ACCEPTED_AND_COMPOSED("%jd|%ju|%zd|%zu|%td|%s", "ji ji zi zi ti s",
                                  std::intmax_t{-7}, std::uintmax_t{1} << 40,
                                  SignedSize{-3}, std::size_t{4000000000u},
                                  std::ptrdiff_t{-9}, "end"),
            "-7|1099511627776|-3|4000000000|-9|end");
  EXPECT_EQ(
      ACCEPTED_AND_COMPOSED("%i|%o|%x|%X|%#o|%#x|%#X|%s", "i i i i i i i s", -1,
                            8, 255, 255, 8, 255, 255, "end"),
      "-1|10|ff|FF|010|0xff|0XFF|end");
  EXPECT_EQ(ACCEPTED_AND_COMPOSED("%-4d|%+d|% d|%05d|%.3d|%*d|%-*.*s|%s",
                                  "i i i i i i i i i s s", 7, 7, 7, -7, 7, 4, 7,
                                  5, 2, "abc", "end"),
            "7   |+7| 7|-0007|007|   7|ab   |end");
  EXPECT_EQ(ACCEPTED_AND_COMPOSED("%f|%.2e|%E|%g|%G|%F|%#.0f|%s",
                                  "f f f f f f f s", 1.5, 12345.678, 0.5,
                                  0.0001, 1e-10, 2.25, 3.0, "end"),
            "1.500000|1.23e+04|5.000000E-01|0.0001|1E-10|2.250000|3.|end");
  EXPECT_EQ(
      ACCEPTED_AND_COMPOSED("%a|%A|%.1a|%s", "f f f s", 1.0, 0.5, 1.55, "end"),
      "0x1p+0|0X1P-1|0x1.9p+0|end");
  EXPECT_EQ(ACCEPTED_AND_COMPOSED("%lf|%Lf|%Le|%Lg|%La|%s", "lf Lf Lf Lf Lf s",
                                  2.5, 2.5L, 1e300L, 0.0001L, 1.0L, "end"),
            "2.500000|2.500000|1.000000e+300|0.0001|0x8p-3|end");
  const double infinity = std::numeric_limits<double>::infinity();
  EXPECT_EQ(
      ACCEPTED_AND_COMPOSED("%f|%F|%e|%s", "f f f s", infinity, -infinity,
                            std::numeric_limits<double>::quiet_NaN(), "end"),
      "inf|-INF|nan|end");
  EXPECT_EQ(ACCEPTED_AND_COMPOSED("%c|%-3c|%lc|%.2s|%ls|%5.1ls|%s",
                                  "i i lc s ls ls s", 'a', 'b',
                                  static_cast<std::wint_t>(L'c'), "string",
                                  L"wide", L"wide", "end"),
            "a|b  |c|st|wide|    w|end");
  // How a pointer is spelt is the platform's own; only what it consumes is
  // checked.
  int pointee = 0;
  std::string pointer = ACCEPTED_AND_COMPOSED(
      "%p|%s", "p s", static_cast<void*>(&pointee), "end");
  EXPECT_GT(pointer.size(), 4u);
  EXPECT_EQ(pointer.substr(pointer.size() - 4), "|end");
}

}  // namespace

// The library reads a positional text's arguments in its built-in text's
// order and formats each conversion itself; where the C library reads
// positions too (glibc), both must give the same.
Both FormatReordered(const char* built_in, const char* text, ...) {
  // Filled, so that a message left unterminated shows.
  char ours[msgreport::kMessageCapacity];
  std::memset(ours, '#', sizeof ours);
  char theirs[msgreport::kMessageCapacity] = "<not compared>";
  std::va_list args;
  va_start(args, text);
  std::va_list copy;
  va_copy(copy, args);
  bool formatted = msgreport::FormatPositional(ours, text, built_in, args);
#if defined(__GLIBC__)
  std::vsnprintf(theirs, sizeof theirs, text, copy);
#endif
  va_end(copy);
  va_end(args);
  return {formatted ? ours : "<failed>", theirs};
}

TEST(PositionalFormatTest, ReadsEachArgumentOnceInTheBuiltInTextsOrder) {
  struct Expected {
    Both both;
    const char* printed;
  };
  wchar_t wide[] = L"wide";
  const Expected cases[] = {
      {FormatReordered("%lu MB free on %s",
                       "Auf %2$s sind nur noch %1$lu MB frei", 42UL, "sda1"),
       "Auf sda1 sind nur noch 42 MB frei"},
      {FormatReordered("%d %s %f", "%3$.1f|%2$-4s|%1$+05d|%1$x|%%", -7, "ab",
                       2.5),
       "2.5|ab  |-0007|fffffff9|%"},
      {FormatReordered("[%*s] %.*s", "%4$.*3$s<%2$*1$s>", 5, "x", 2, "abc"),
       "ab<    x>"},
      {FormatReordered("%lld %zu %Lf %c %ls", "%5$ls %4$c %3$.0Lf %2$zu %1$lld",
                       -9LL, std::size_t{3}, 2.0L, 'q', wide),
       "wide q 2 3 -9"},
      {FormatReordered("%d %u %s", "%3$s|%2$u|%1$d|%1$i", INT_MIN, 4294967295U,
                       static_cast<const char*>(nullptr)),
       "(null)|4294967295|-2147483648|-2147483648"},
      {FormatReordered("%hd %lf %p", "%2$.1f %1$hhd", 300, 0.5,
                       static_cast<void*>(nullptr)),
       "0.5 44"},
      {FormatReordered("%x %d", "%2$ d|%1$#x", 255, 7), " 7|0xff"},
      // One value may take the '*' width and precision of other values,
      // however far they lie beyond its own position.
      {FormatReordered("%s %*.*d", "[%1$*2$.*3$s]", "abcd", 6, 2, 9),
       "[    ab]"},
  };
  for (const Expected& c : cases) {
    EXPECT_EQ(c.both.ours, c.printed);
#if defined(__GLIBC__)
    EXPECT_EQ(c.both.ours, c.both.theirs);
#endif
  }
  // A negative '*' width left-justifies and so outweighs the 0 flag, as the
  // C standard says and glibc's plain road does; its positional road pads
  // such a floating field with zeros instead.
  EXPECT_EQ(FormatReordered("%*f", "[%2$#0*1$f]", -12, -5.0).ours,
            "[-5.000000   ]");
  // The last position there may be, and the argument it reads.
  std::string eights;
  for (int i = 0; i < 128; ++i) eights += "%d";
#define MSGREPORT_8(n) n, n, n, n, n, n, n, n
  EXPECT_EQ(
      FormatReordered(eights.c_str(), "%128$d", MSGREPORT_8(MSGREPORT_8(1)),
                      MSGREPORT_8(1), MSGREPORT_8(1), MSGREPORT_8(1),
                      MSGREPORT_8(1), MSGREPORT_8(1), MSGREPORT_8(1),
                      MSGREPORT_8(1), 1, 1, 1, 1, 1, 1, 1, 8)
          .ours,
      "8");
#undef MSGREPORT_8
  // A position the built-in text does not reach formats nothing.
  EXPECT_EQ(FormatReordered("%d", "%2$d", 1, 2).ours, "<failed>");
  // Output is cut where the message buffer ends.
  std::string longer = "%1$s" + std::string(msgreport::kMessageCapacity, '-');
  EXPECT_EQ(FormatReordered("%s", longer.c_str(), "ab").ours,
            "ab" + std::string(msgreport::kMessageCapacity - 3, '-'));
}
