// The plural categories of a language and the rule that picks one for a
// count, from the cardinal rules of the Unicode CLDR. A count is an
// integer, so only what its value decides is kept: a category that CLDR
// reaches through decimals alone (Czech "many" of 1.5) is never chosen.
//
// The rules are a generated table (plural_rules_data.inc, made by
// tools/cldr/generate_plural_rules.py); choosing a category allocates
// nothing, so a report may do it every time.

#ifndef MSGREPORT_CATALOGUE_PLURAL_RULES_H_
#define MSGREPORT_CATALOGUE_PLURAL_RULES_H_

#include <cstdint>
#include <optional>
#include <string_view>

namespace msgreport {

enum class PluralCategory : unsigned char {
  kZero,
  kOne,
  kTwo,
  kFew,
  kMany,
  kOther
};
constexpr int kPluralCategoryCount = 6;

// "zero", "one", "two", "few", "many" or "other"; "" for a value outside
// the enumeration.
const char* PluralCategoryName(PluralCategory category);
// The category of one of those names, exactly as written (lower case).
std::optional<PluralCategory> PluralCategoryNamed(std::string_view name);

// A rule set of the generated table.
struct PluralRule {
  std::uint16_t index;
};

// The rule for a language tag such as "pl", "pt_PT" or "pt-PT": subtags of
// 1 to 8 ASCII letters or digits, joined by '-' or '_', matched without
// regard to case. Falls back from the whole tag to shorter ones down to the
// language alone ("de_AT" -> "de"). None when CLDR lists none of them, or
// the tag is not one ("de_AT.UTF-8", "", "de__AT").
std::optional<PluralRule> PluralRuleFor(std::string_view language);

// The category of a count whose absolute value is `n`. A rule that did not
// come from PluralRuleFor gives kOther.
PluralCategory PluralCategoryOf(PluralRule rule, std::uint64_t n);

// Bit (1 << category) for each category an integer count can reach under
// the rule; kOther always, as the text of last resort, even where no count
// reaches it (Polish).
unsigned PluralCategoriesUsed(PluralRule rule);

}  // namespace msgreport

#endif  // MSGREPORT_CATALOGUE_PLURAL_RULES_H_
