#include "catalogue/format_check.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace msgreport {
namespace {

CompatibilityVerdict Check(const char* catalogue, const char* replacement) {
  return CheckCompatibility(catalogue, replacement, std::strlen(replacement));
}

TEST(FormatCheckTest, ParsesTheArgumentsAFormatConsumes) {
  ParsedFormat parsed = ParseFormat("%-5ld of %*.*s at %p: %Lg%% %c");
  ASSERT_EQ(parsed.problem, FormatProblem::kNone);
  // Each argument as its length and kind: i(nteger), c (wide char),
  // f(loating), s(tring) or p(ointer); a '*' width or precision reads an int.
  std::string read;
  for (const FormatArgument& argument : parsed.arguments) {
    read += argument.length + "icfsp"[static_cast<int>(argument.kind)] + ' ';
  }
  ASSERT_EQ(read, "li i i s p Lf i ");
  EXPECT_EQ(parsed.arguments[0].conversion, "%-5ld");
  // Parsing stops at the given length, and at a NUL: a letter right after
  // the NUL must not be read as a conversion, nor the NUL and a '%' as "%%".
  const char text[] = "%s%d";
  EXPECT_EQ(ParseFormat(text, 2).arguments.size(), 1u);
  EXPECT_EQ(ParseFormat(text, 1).problem, FormatProblem::kMalformed);
  const char with_nul[] = "%s\0d%d";
  EXPECT_EQ(ParseFormat(with_nul, sizeof with_nul - 1).arguments.size(), 1u);
}

TEST(FormatCheckTest, FlagsWhatAFileMustNeverBringIn) {
  const struct {
    FormatProblem problem;
    std::vector<const char*> texts;
  } cases[] = {
      {FormatProblem::kWritesCount, {"count%n"}},
      {FormatProblem::kPositional, {"%1$s", "%*2$d"}},
      {FormatProblem::kMalformed,
       {"50%", "%y", "%lp", "%hs", "%Ld", "%*5d", "%.*5s"}},
      // Extensions that some C libraries read differently, or not at all.
      {FormatProblem::kMalformed,
       {"%I64d", "%C", "%S", "%'d", "%m", "%Zd", "%qd", "%b", "%hhs", "%Lc",
        "%5%"}},
      {FormatProblem::kOversizedField,
       {"%99999999d", "%.5000f", "%1025d", "%10240d", "%.1025s", "%*.10240f"}},
      {FormatProblem::kNone, {"%1024s"}},
  };
  for (const auto& c : cases) {
    for (const char* text : c.texts) {
      EXPECT_EQ(ParseFormat(text).problem, c.problem) << text;
    }
  }
  ParsedFormat parsed = ParseFormat("%s then %n");
  EXPECT_EQ(parsed.arguments.size(), 1u);
  EXPECT_EQ(parsed.problem_offset, 8u);
}

TEST(FormatCheckTest, AcceptsFewerArgumentsAndRejectsWhatWouldMisreadThem) {
  CompatibilityVerdict fewer = Check("Cannot open %s", "Cannot open the file");
  EXPECT_EQ(fewer.result, Compatibility::kFewerArguments);
  EXPECT_TRUE(fewer.accepted());
  EXPECT_EQ(fewer.argument, 1u);
  EXPECT_EQ(fewer.catalogue_conversion, "%s");

  CompatibilityVerdict swapped = Check("%s failed with %d", "%s failed: %s");
  EXPECT_EQ(swapped.result, Compatibility::kArgumentMismatch);
  EXPECT_FALSE(swapped.accepted());
  EXPECT_EQ(swapped.argument, 2u);
  EXPECT_EQ(swapped.catalogue_conversion, "%d");
  EXPECT_EQ(swapped.replacement_conversion, "%s");

  // The star already reads the value as a width.
  EXPECT_EQ(Check("%d", "%*d").result, Compatibility::kUnboundedField);
  EXPECT_EQ(Check("%n", "%n").result, Compatibility::kUnsafeReplacement);
  // What a file may never bring in outweighs a mismatch before it.
  EXPECT_EQ(Check("%s", "%d %n").result, Compatibility::kUnsafeReplacement);
  EXPECT_EQ(Check("%s", "%d %1$s").result, Compatibility::kUnsafeReplacement);
}

// Each file text against its catalogue text, and the argument the verdict
// names where it names one.
TEST(FormatCheckTest, JudgesEachTextAgainstItsCatalogueText) {
  struct Case {
    const char* catalogue;
    const char* replacement;
    Compatibility result;
    std::size_t argument;
  };
  const Case cases[] = {
      {"Cannot open %s", "Impossible d'ouvrir %s", Compatibility::kCompatible,
       0},
      {"%d of %d", "%5i/%-3x", Compatibility::kCompatible, 0},
      {"100%%", "100 %% sure", Compatibility::kCompatible, 0},
      {"Cannot open %s", "Cannot open %s: %s", Compatibility::kMoreArguments,
       2},
      {"Code %.3s", "Code %s", Compatibility::kLooserPrecision, 0},
      {"Code %.3s", "Code %.4s", Compatibility::kLooserPrecision, 0},
      {"Code %.3s", "Code %5s", Compatibility::kLooserPrecision, 0},
      // Microsoft's own sizes: glibc reads the I as a flag and MinGW as a
      // size, so a file holding one would mean different things on
      // different machines.
      {"%lld", "%I64d", Compatibility::kUnsafeReplacement, 0},
      {"%d", "%I32d", Compatibility::kUnsafeReplacement, 0},
      {"%zd", "%Id", Compatibility::kUnsafeReplacement, 0},
      // An unparsable catalogue text is trusted only up to its problem.
      {"%2$s %1$d", "no values", Compatibility::kCompatible, 0},
      {"%2$s %1$d", "%s", Compatibility::kMoreArguments, 0},
      {"%s %y %d", "%s", Compatibility::kCompatible, 0},
      {"%s %y %d", "%s %d", Compatibility::kMoreArguments, 0},
      // A text may name its arguments' positions, each one under the rules
      // a plain text follows for the argument in its place.
      {"%lu MB free on %s", "Auf %2$s sind nur noch %1$lu MB frei",
       Compatibility::kCompatible, 0},
      {"%d %s", "%1$d, %2$s, %1$x", Compatibility::kCompatible, 0},
      {"%hd %lf", "%2$f %1$hhd", Compatibility::kCompatible, 0},
      {"%d %s %d", "%3$d %1$d", Compatibility::kFewerArguments, 2},
      {"%lu %s", "%2$s %1$s", Compatibility::kArgumentMismatch, 1},
      {"%d %s", "%2$s %1$ld", Compatibility::kArgumentMismatch, 1},
      {"%d %s", "%3$s", Compatibility::kMoreArguments, 3},
      {"%1$s", "%1$s", Compatibility::kMoreArguments, 1},
      // A '*' reads only what the program passes as a width or precision,
      // and a string's '*' precision only its own.
      {"[%*d]", "[%2$*1$d]", Compatibility::kCompatible, 0},
      {"[%*d]", "[%1$d %2$d]", Compatibility::kCompatible, 0},
      {"%d %d", "%2$*1$d", Compatibility::kUnboundedField, 1},
      {"%.*s", "%2$.*1$s", Compatibility::kCompatible, 0},
      {"%*d %.*s", "%4$.*1$s", Compatibility::kLooserPrecision, 4},
      {"%.3s", "%1$.5s", Compatibility::kLooserPrecision, 1},
      {"%.*s", "%2$.5s", Compatibility::kLooserPrecision, 2},
      {"%.2f", "%1$f", Compatibility::kCompatible, 0},
      {"%.3s", "%1$-6.2s", Compatibility::kCompatible, 0},
      // Every conversion names a position, or none does.
      {"%d %s", "%1$d %s", Compatibility::kUnsafeReplacement, 0},
      {"%d %d", "%1$*d", Compatibility::kUnsafeReplacement, 0},
      {"%d", "%0$d", Compatibility::kUnsafeReplacement, 0},
      {"%d", "%129$d", Compatibility::kUnsafeReplacement, 0},
      {"%d", "%1$n", Compatibility::kUnsafeReplacement, 0},
      {"%s %d", "%2$s %1$n", Compatibility::kUnsafeReplacement, 0},
      {"%d", "%128$d", Compatibility::kMoreArguments, 128},  // the last one
      // A "%%" before the first position, and a width that names none.
      {"%d %s", "100%% %2$s, %1$d", Compatibility::kCompatible, 0},
      {"%d %s", "%%%2$s", Compatibility::kFewerArguments, 1},
      {"%d %s", "%5d %2$s", Compatibility::kUnsafeReplacement, 0},
  };
  for (const Case& c : cases) {
    CompatibilityVerdict verdict = Check(c.catalogue, c.replacement);
    EXPECT_EQ(verdict.result, c.result)
        << c.catalogue << " / " << c.replacement;
    if (c.argument != 0) {
      EXPECT_EQ(verdict.argument, c.argument) << c.replacement;
    }
  }
  EXPECT_EQ(Check("%d %s", "%1$d %s").problem, FormatProblem::kMixedPositional);
}

// What the program passes bounds only what its own text bounds: a file text
// may not widen a string's precision, nor take a field from a value.
TEST(FormatCheckTest, KeepsStringsAndFieldsAsBoundedAsTheCatalogueText) {
  CompatibilityVerdict dropped = Check("Name: %.*s", "Nom : %*s");
  EXPECT_EQ(dropped.result, Compatibility::kLooserPrecision);
  EXPECT_EQ(dropped.argument, 2u);
  EXPECT_EQ(dropped.catalogue_conversion, "%.*s");
  EXPECT_EQ(dropped.replacement_conversion, "%*s");
  EXPECT_EQ(Check("%.*s", "%d %.5s").result, Compatibility::kLooserPrecision);
  EXPECT_EQ(Check("%.3ls", "%ls").result, Compatibility::kLooserPrecision);
  for (const char* tighter : {"Code %.3s", "Code %-8.2s", "Code %.s"}) {
    EXPECT_TRUE(Check("Code %.3s", tighter).accepted()) << tighter;
  }
  EXPECT_TRUE(Check("%s", "%.5s").accepted());
  // A precision bounds how much of a string is read, not of a number.
  EXPECT_TRUE(Check("%.2f", "%f").accepted());
  EXPECT_TRUE(Check("%.*s", "%-4.*s").accepted());

  CompatibilityVerdict star = Check("Processed %d items in %f s", "%.*f");
  EXPECT_EQ(star.result, Compatibility::kUnboundedField);
  EXPECT_EQ(star.argument, 1u);
  EXPECT_EQ(star.catalogue_conversion, "%d");
  EXPECT_EQ(star.replacement_conversion, "%.*f");
  EXPECT_EQ(Check("%d %s", "%*s").result, Compatibility::kUnboundedField);
  EXPECT_EQ(Check("%d %d", "%*d").result, Compatibility::kUnboundedField);
  EXPECT_TRUE(Check("[%*s]", "[%.*s]").accepted());
  EXPECT_TRUE(Check("[%*s]", "%d %s").accepted());
}

// Two conversions read an argument alike only when they read the same type
// on every platform: every one against every other. h and hh read the int
// that a short or a char is promoted to, and l has no effect on a floating
// conversion; every other modifier reads another size somewhere.
TEST(FormatCheckTest, ReadsAlikeOnlyTheSameTypeOnEveryPlatform) {
  const std::vector<std::vector<const char*>> groups = {
      {"%d", "%c", "%u", "%x", "%hd", "%hx", "%hhd", "%hhx", "%hu", "%hhi"},
      {"%ld", "%lx", "%lu"},
      {"%lld", "%llx"},
      {"%jd", "%jx"},
      {"%zd", "%zx", "%zu"},
      {"%td", "%tx"},
      {"%lc"},
      {"%f", "%g", "%E", "%lf", "%lg", "%lA"},
      {"%Lf", "%La"},
      {"%s"},
      {"%ls"},
      {"%p"}};
  for (std::size_t g = 0; g < groups.size(); ++g) {
    for (std::size_t h = 0; h < groups.size(); ++h) {
      for (const char* a : groups[g]) {
        for (const char* b : groups[h]) {
          EXPECT_EQ(Check(a, b).result, g == h
                                            ? Compatibility::kCompatible
                                            : Compatibility::kArgumentMismatch)
              << a << " " << b;
        }
      }
    }
  }
}

// The check takes a shortcut for a replacement whose conversions are the
// catalogue text's; every pair of texts must get the verdict that pairing
// their arguments one by one gives.
TEST(FormatCheckTest, TheShortcutGivesTheVerdictsOfTheFullCheck) {
  const std::string_view texts[] = {
      "plain",    "%s",       "at %s: %d",   "%d%%",  "1%%d",
      "%*d",      "%.*s",     "%-5ld %s",    "%1$s",  "%2$s %1$d",
      "%s %n",    "%y",       "50%",         "%.3s",  "%.5s",
      "%s %s",    "%s %s %d", "%*.*s %d",    "%lc",   "%%%s%%",
      "%s %*2$d", "%5$s",     {"%s\0%d", 5}, "%d %d", "%s %y"};
  for (std::string_view catalogue : texts) {
    for (std::string_view replacement : texts) {
      CompatibilityVerdict fast =
          CheckCompatibility(catalogue, replacement.data(), replacement.size());
      CompatibilityVerdict full =
          detail::CheckEveryArgument(catalogue, replacement);
      EXPECT_TRUE(fast.result == full.result &&
                  fast.argument == full.argument &&
                  fast.catalogue_conversion == full.catalogue_conversion &&
                  fast.replacement_conversion == full.replacement_conversion &&
                  fast.problem == full.problem &&
                  fast.catalogue_arguments == full.catalogue_arguments)
          << catalogue << " / " << replacement;
    }
  }
}

}  // namespace
}  // namespace msgreport
