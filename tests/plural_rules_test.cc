#include "catalogue/plural_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace msgreport {
namespace {

using C = PluralCategory;

unsigned Bit(PluralCategory category) {
  return 1U << static_cast<unsigned>(category);
}

struct SampleGroup {
  const char* locales;  // separated by spaces
  const char* category;
  std::vector<std::uint64_t> counts;
};

// CLDR's own integer samples, written by the generator beside the table.
const SampleGroup kSamples[] = {
#include "plural_samples.inc"
};

TEST(PluralRules, EveryLocaleGivesCldrSamplesTheirCategory) {
  for (const SampleGroup& group : kSamples) {
    std::optional<PluralCategory> category =
        PluralCategoryNamed(group.category);
    ASSERT_TRUE(category) << group.category;
    std::istringstream locales(group.locales);
    for (std::string locale; locales >> locale;) {
      std::optional<PluralRule> rule = PluralRuleFor(locale);
      ASSERT_TRUE(rule) << locale;
      EXPECT_NE(PluralCategoriesUsed(*rule) & Bit(*category), 0U) << locale;
      for (std::uint64_t count : group.counts) {
        EXPECT_EQ(PluralCategoryOf(*rule, count), *category)
            << locale << " " << count;
      }
    }
  }
}

// Read off CLDR's rule text by hand, not from the generator.
TEST(PluralRules, HandCheckedCountsAndCategories) {
  const std::uint64_t counts[] = {0, 1, 2, 5, 22, 112};
  const struct {
    const char* language;
    PluralCategory categories[std::size(counts)];
    unsigned used;
  } rows[] = {
      {"en",
       {C::kOther, C::kOne, C::kOther, C::kOther, C::kOther, C::kOther},
       Bit(C::kOne) | Bit(C::kOther)},
      {"fr",
       {C::kOne, C::kOne, C::kOther, C::kOther, C::kOther, C::kOther},
       Bit(C::kOne) | Bit(C::kMany) | Bit(C::kOther)},
      {"pl",
       {C::kMany, C::kOne, C::kFew, C::kMany, C::kFew, C::kMany},
       Bit(C::kOne) | Bit(C::kFew) | Bit(C::kMany) | Bit(C::kOther)},
      {"ar", {C::kZero, C::kOne, C::kTwo, C::kFew, C::kMany, C::kMany}, 0x3F},
      {"ja",
       {C::kOther, C::kOther, C::kOther, C::kOther, C::kOther, C::kOther},
       Bit(C::kOther)},
      // Czech "many" is for decimals only.
      {"cs",
       {C::kOther, C::kOne, C::kFew, C::kOther, C::kOther, C::kOther},
       Bit(C::kOne) | Bit(C::kFew) | Bit(C::kOther)},
  };
  for (const auto& row : rows) {
    std::optional<PluralRule> rule = PluralRuleFor(row.language);
    ASSERT_TRUE(rule) << row.language;
    EXPECT_EQ(PluralCategoriesUsed(*rule), row.used) << row.language;
    for (std::size_t i = 0; i < std::size(counts); ++i) {
      EXPECT_EQ(PluralCategoryOf(*rule, counts[i]), row.categories[i])
          << row.language << " " << counts[i];
    }
  }
  // Large counts, some past 32 bits.
  const struct {
    const char* language;
    std::uint64_t count;
    PluralCategory category;
  } large[] = {
      {"fr", 1000000, C::kMany},
      {"fr", 1000001, C::kOther},
      {"fr", 1000000000000000000, C::kMany},
      {"en", 1000000, C::kOther},
      {"pl", 4294967302, C::kFew},  // 2^32 + 6
      {"ar", 4294967299, C::kMany},
      {"ar", UINT64_MAX, C::kMany},
      // The first count past the tabulated ones.
      {"en", 128, C::kOther},
      {"ar", 128, C::kMany},
  };
  for (const auto& row : large) {
    EXPECT_EQ(PluralCategoryOf(*PluralRuleFor(row.language), row.count),
              row.category)
        << row.language << " " << row.count;
  }
}

TEST(PluralRules, LanguageTagsFallBackToTheLanguage) {
  const struct {
    const char* tag;
    const char* same_rule_as;  // nullptr: no rule at all
  } cases[] = {
      {"de_AT", "de"},         {"DE-at", "de"},
      {"sr_Latn_RS", "sr"},    {"pt-PT", "pt_PT"},
      {"PT_pt", "pt_PT"},      {"pt_BR", "pt"},
      {"pt-PT-1996", "pt_PT"}, {"root", "ja"},
      {"xx", nullptr},         {"xx_FR", nullptr},
      {"", nullptr},           {"de_AT.UTF-8", nullptr},
      {"de__AT", nullptr},     {"de_", nullptr},
      {"-de", nullptr},        {"fr_abcdefghi", nullptr},
      {"fr_abcdefgh", "fr"},
  };
  for (const auto& c : cases) {
    std::optional<PluralRule> rule = PluralRuleFor(c.tag);
    if (c.same_rule_as == nullptr) {
      EXPECT_FALSE(rule) << c.tag;
      continue;
    }
    ASSERT_TRUE(rule) << c.tag;
    EXPECT_EQ(rule->index, PluralRuleFor(c.same_rule_as)->index) << c.tag;
  }
  // Portuguese of Portugal has 0 in "other", of Brazil in "one".
  EXPECT_EQ(PluralCategoryOf(*PluralRuleFor("pt-PT"), 0), C::kOther);
  EXPECT_EQ(PluralCategoryOf(*PluralRuleFor("pt"), 0), C::kOne);
  // A rule made up by a caller picks the category every message has.
  EXPECT_EQ(PluralCategoryOf(PluralRule{UINT16_MAX}, 1), C::kOther);
  EXPECT_EQ(PluralCategoriesUsed(PluralRule{UINT16_MAX}), Bit(C::kOther));
}

TEST(PluralRules, CategoryNamesBothWays) {
  const char* names[] = {"zero", "one", "two", "few", "many", "other"};
  static_assert(std::size(names) == kPluralCategoryCount);
  for (int i = 0; i < kPluralCategoryCount; ++i) {
    const auto category = static_cast<PluralCategory>(i);
    EXPECT_STREQ(PluralCategoryName(category), names[i]);
    EXPECT_EQ(PluralCategoryNamed(names[i]), category);
  }
  for (const char* wrong : {"", "One", "others", "on"}) {
    EXPECT_FALSE(PluralCategoryNamed(wrong)) << wrong;
  }
  EXPECT_STREQ(PluralCategoryName(static_cast<PluralCategory>(6)), "");
}

}  // namespace
}  // namespace msgreport
