#include "catalogue/format_check.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <limits>
#include <string>
#include <type_traits>

#include "handler/message_format.h"

namespace msgreport {
namespace {

CompatibilityVerdict Check(const char* catalogue, const char* replacement) {
  return CheckCompatibility(catalogue, replacement, std::strlen(replacement));
}

TEST(FormatCheckTest, ParsesTheArgumentsAFormatConsumes) {
  ParsedFormat parsed = ParseFormat("%-5ld of %*.*s at %p: %Lg%% %c");
  ASSERT_EQ(parsed.problem, FormatProblem::kNone);
  ASSERT_EQ(parsed.arguments.size(), 7u);
  EXPECT_EQ(parsed.arguments[0].kind, ArgumentKind::kInteger);
  EXPECT_EQ(parsed.arguments[0].length, "l");
  EXPECT_EQ(parsed.arguments[0].conversion, "%-5ld");
  EXPECT_EQ(parsed.arguments[1].kind, ArgumentKind::kInteger);  // '*' width
  EXPECT_EQ(parsed.arguments[2].kind, ArgumentKind::kInteger);  // '*' prec.
  EXPECT_EQ(parsed.arguments[3].kind, ArgumentKind::kString);
  EXPECT_EQ(parsed.arguments[4].kind, ArgumentKind::kPointer);
  EXPECT_EQ(parsed.arguments[5].kind, ArgumentKind::kFloating);
  EXPECT_EQ(parsed.arguments[5].length, "L");
  EXPECT_EQ(parsed.arguments[6].kind, ArgumentKind::kInteger);
}

TEST(FormatCheckTest, FlagsWhatAFileMustNeverBringIn) {
  EXPECT_EQ(ParseFormat("count%n").problem, FormatProblem::kWritesCount);
  EXPECT_EQ(ParseFormat("%1$s").problem, FormatProblem::kPositional);
  EXPECT_EQ(ParseFormat("%*2$d").problem, FormatProblem::kPositional);
  EXPECT_EQ(ParseFormat("50%").problem, FormatProblem::kMalformed);
  EXPECT_EQ(ParseFormat("%y").problem, FormatProblem::kMalformed);
  EXPECT_EQ(ParseFormat("%lp").problem, FormatProblem::kMalformed);
  EXPECT_EQ(ParseFormat("%hs").problem, FormatProblem::kMalformed);
  EXPECT_EQ(ParseFormat("%Ld").problem, FormatProblem::kMalformed);
  EXPECT_EQ(ParseFormat("%99999999d").problem, FormatProblem::kOversizedField);
  EXPECT_EQ(ParseFormat("%.5000f").problem, FormatProblem::kOversizedField);
  EXPECT_EQ(ParseFormat("%1024s").problem, FormatProblem::kNone);
  // Extensions that some C libraries read differently, or not at all.
  for (const char* extension : {"%I64d", "%C", "%S", "%'d", "%m", "%Zd", "%qd",
                                "%b", "%hhs", "%Lc", "%5%"}) {
    EXPECT_EQ(ParseFormat(extension).problem, FormatProblem::kMalformed)
        << extension;
  }
  ParsedFormat parsed = ParseFormat("%s then %n");
  EXPECT_EQ(parsed.arguments.size(), 1u);
  EXPECT_EQ(parsed.problem_offset, 8u);
}

TEST(FormatCheckTest, AcceptsTheSameArgumentsAndFewer) {
  EXPECT_EQ(Check("Cannot open %s", "Impossible d'ouvrir %s").result,
            Compatibility::kCompatible);
  EXPECT_EQ(Check("%d of %d", "%5i/%-3x").result, Compatibility::kCompatible);
  EXPECT_EQ(Check("%c", "%d").result, Compatibility::kCompatible);
  EXPECT_EQ(Check("%d %d", "%*d").result, Compatibility::kCompatible);
  EXPECT_EQ(Check("100%%", "100 %% sure").result, Compatibility::kCompatible);
  CompatibilityVerdict fewer = Check("Cannot open %s", "Cannot open the file");
  EXPECT_EQ(fewer.result, Compatibility::kFewerArguments);
  EXPECT_TRUE(fewer.accepted());
  EXPECT_EQ(fewer.argument, 1u);
  EXPECT_EQ(fewer.catalogue_conversion, "%s");
}

TEST(FormatCheckTest, RejectsWhatWouldMisreadTheArguments) {
  CompatibilityVerdict swapped = Check("%s failed with %d", "%s failed: %s");
  EXPECT_EQ(swapped.result, Compatibility::kArgumentMismatch);
  EXPECT_FALSE(swapped.accepted());
  EXPECT_EQ(swapped.argument, 2u);
  EXPECT_EQ(swapped.catalogue_conversion, "%d");
  EXPECT_EQ(swapped.replacement_conversion, "%s");

  CompatibilityVerdict more = Check("Cannot open %s", "Cannot open %s: %s");
  EXPECT_EQ(more.result, Compatibility::kMoreArguments);
  EXPECT_EQ(more.argument, 2u);

  EXPECT_EQ(Check("%d", "%ld").result, Compatibility::kArgumentMismatch);
  EXPECT_EQ(Check("%f", "%Lf").result, Compatibility::kArgumentMismatch);
  EXPECT_EQ(Check("%c", "%lc").result, Compatibility::kArgumentMismatch);
  EXPECT_EQ(Check("%d", "%f").result, Compatibility::kArgumentMismatch);
  EXPECT_EQ(Check("%s", "%p").result, Compatibility::kArgumentMismatch);
  EXPECT_EQ(Check("%d", "%*d").result, Compatibility::kMoreArguments);
  EXPECT_EQ(Check("%n", "%n").result, Compatibility::kUnsafeReplacement);
  EXPECT_EQ(Check("%s", "%1$s").result, Compatibility::kUnsafeReplacement);
}

TEST(FormatCheckTest, TrustsAnUnparsableCatalogueTextOnlyUpToItsProblem) {
  EXPECT_EQ(Check("%2$s %1$d", "no values").result, Compatibility::kCompatible);
  EXPECT_EQ(Check("%2$s %1$d", "%s").result, Compatibility::kMoreArguments);
  EXPECT_EQ(Check("%s %y %d", "%s").result, Compatibility::kCompatible);
  EXPECT_EQ(Check("%s %y %d", "%s %d").result, Compatibility::kMoreArguments);
}

TEST(FormatCheckTest, StopsAtTheGivenLengthAndAtNul) {
  const char text[] = "%s%d";
  EXPECT_EQ(ParseFormat(text, 2).arguments.size(), 1u);
  EXPECT_EQ(ParseFormat(text, 1).problem, FormatProblem::kMalformed);
  const char with_nul[] = "%s\0%d";
  EXPECT_EQ(ParseFormat(with_nul, sizeof with_nul - 1).arguments.size(), 1u);
}

// Composes an accepted text as a report would. Every conversion the check
// lets a message file bring in must be one that the platform's printf reads
// and formats as C99 says; the trailing %s shows that the arguments before
// it were consumed as the check expects.
std::string Composed(const char* text, ...) {
  EXPECT_EQ(ParseFormat(text).problem, FormatProblem::kNone) << text;
  char message[kMessageCapacity];
  std::va_list args;
  va_start(args, text);
  bool formatted = FormatMessage(message, text, args);
  va_end(args);
  return formatted ? message : "<failed>";
}

TEST(FormatCheckTest, ThePlatformFormatsEveryConversionTheCheckAccepts) {
  using SignedSize = std::make_signed_t<std::size_t>;
  EXPECT_EQ(Composed("%hhd|%hhu|%hd|%hu|%s", 300, 511, 70000, 70000, "end"),
            "44|255|4464|4464|end");
  EXPECT_EQ(Composed("%ld|%lu|%lld|%llu|%s", -5L, 5UL, -(1LL << 40), 1ULL << 63,
                     "end"),
            "-5|5|-1099511627776|9223372036854775808|end");
  EXPECT_EQ(Composed("%jd|%ju|%zd|%zu|%td|%s", std::intmax_t{-7},
                     std::uintmax_t{1} << 40, SignedSize{-3},
                     std::size_t{4000000000u}, std::ptrdiff_t{-9}, "end"),
            "-7|1099511627776|-3|4000000000|-9|end");
  EXPECT_EQ(Composed("%i|%o|%x|%X|%#o|%#x|%#X|%s", -1, 8, 255, 255, 8, 255, 255,
                     "end"),
            "-1|10|ff|FF|010|0xff|0XFF|end");
  EXPECT_EQ(Composed("%-4d|%+d|% d|%05d|%.3d|%*d|%-*.*s|%s", 7, 7, 7, -7, 7, 4,
                     7, 5, 2, "abc", "end"),
            "7   |+7| 7|-0007|007|   7|ab   |end");
  EXPECT_EQ(Composed("%f|%.2e|%E|%g|%G|%F|%#.0f|%s", 1.5, 12345.678, 0.5,
                     0.0001, 1e-10, 2.25, 3.0, "end"),
            "1.500000|1.23e+04|5.000000E-01|0.0001|1E-10|2.250000|3.|end");
  EXPECT_EQ(Composed("%a|%A|%.1a|%s", 1.0, 0.5, 1.55, "end"),
            "0x1p+0|0X1P-1|0x1.9p+0|end");
  EXPECT_EQ(Composed("%lf|%Lf|%Le|%Lg|%La|%s", 2.5, 2.5L, 1e300L, 0.0001L, 1.0L,
                     "end"),
            "2.500000|2.500000|1.000000e+300|0.0001|0x8p-3|end");
  const double infinity = std::numeric_limits<double>::infinity();
  EXPECT_EQ(Composed("%f|%F|%e|%s", infinity, -infinity,
                     std::numeric_limits<double>::quiet_NaN(), "end"),
            "inf|-INF|nan|end");
  EXPECT_EQ(Composed("%c|%-3c|%lc|%.2s|%ls|%5.1ls|%s", 'a', 'b',
                     static_cast<std::wint_t>(L'c'), "string", L"wide", L"wide",
                     "end"),
            "a|b  |c|st|wide|    w|end");
  // How a pointer is spelt is the platform's own; only what it consumes is
  // checked.
  int pointee = 0;
  std::string pointer = Composed("%p|%s", static_cast<void*>(&pointee), "end");
  EXPECT_GT(pointer.size(), 4u);
  EXPECT_EQ(pointer.substr(pointer.size() - 4), "|end");
}

}  // namespace
}  // namespace msgreport
