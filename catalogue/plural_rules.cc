#include "catalogue/plural_rules.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>

namespace msgreport {
namespace {

// A rule set is kPluralCode[begin, end): and-chains in the order CLDR lists
// the categories, the first chain that holds giving its category and none
// giving kOther. A chain is a head word, category | (words that follow <<
// 8), then its relations; a relation is a head word, negated | (ranges <<
// 1), a modulus (0 for none), then each range's low and high bound. A
// count holds a relation when its remainder lies in a range, or in none
// when negated.
struct PluralRuleSet {
  std::uint16_t begin;
  std::uint16_t end;
  std::uint8_t categories;  // what PluralCategoriesUsed returns
  // From `start` on, the category of n + period is that of n.
  std::uint32_t start;
  std::uint32_t period;
};

struct PluralLocale {
  const char* name;  // lower case, '_' between subtags
  std::uint16_t rule;
};

#include "catalogue/plural_rules_data.inc"

static_assert(std::size(kPluralRuleSets) <= UINT16_MAX,
              "a PluralRule indexes the rule sets with 16 bits");

constexpr const char* kCategoryNames[kPluralCategoryCount] = {
    "zero", "one", "two", "few", "many", "other"};

constexpr std::uint64_t Remainder(std::uint64_t n, std::uint32_t modulus) {
  // A 32-bit division costs a fraction of a 64-bit one, and nearly every
  // count fits.
  if (n <= UINT32_MAX) return static_cast<std::uint32_t>(n) % modulus;
  return n % modulus;
}

constexpr bool RelationHolds(const std::uint32_t* relation, std::uint64_t n) {
  const std::uint32_t head = relation[0];
  const std::uint32_t modulus = relation[1];
  const std::uint64_t value = modulus != 0 ? Remainder(n, modulus) : n;
  const std::uint32_t* range = relation + 2;
  const std::uint32_t* const ranges_end = range + 2 * std::size_t{head >> 1};
  bool inside = false;
  for (; range != ranges_end && !inside; range += 2) {
    inside = range[0] <= value && value <= range[1];
  }
  return inside != ((head & 1) != 0);
}

constexpr std::size_t RelationWords(const std::uint32_t* relation) {
  return 2 + 2 * std::size_t{relation[0] >> 1};
}

constexpr PluralCategory Evaluate(const PluralRuleSet& set, std::uint64_t n) {
  const std::uint32_t* word = kPluralCode + set.begin;
  const std::uint32_t* const end = kPluralCode + set.end;
  while (word != end) {
    const std::uint32_t head = *word++;
    const std::uint32_t* const chain_end = word + (head >> 8);
    while (word != chain_end && RelationHolds(word, n)) {
      word += RelationWords(word);
    }
    if (word == chain_end) return static_cast<PluralCategory>(head & 0xff);
    word = chain_end;
  }
  return PluralCategory::kOther;
}

// Small counts are looked up, in a table made from the rules' code at
// compile time, which spares them the code's divisions and branches. Most
// languages' categories repeat within it, so that a large count of theirs
// is looked up too, after one division.
constexpr std::size_t kTabulatedCounts = 128;

struct SmallCountTable {
  PluralCategory category[std::size(kPluralRuleSets)][kTabulatedCounts];
};

constexpr SmallCountTable TabulateSmallCounts() {
  SmallCountTable table{};
  for (std::size_t rule = 0; rule < std::size(kPluralRuleSets); ++rule) {
    for (std::size_t n = 0; n < kTabulatedCounts; ++n) {
      table.category[rule][n] = Evaluate(kPluralRuleSets[rule], n);
    }
  }
  return table;
}

constexpr SmallCountTable kSmallCounts = TabulateSmallCounts();

char Folded(char c) {
  if (c == '-') return '_';
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
  return c;
}

// Whether `tag`, folded as the table's names are, sorts before `name`:
// < 0, equal: 0, after: > 0.
int CompareFolded(std::string_view tag, const char* name) {
  for (char c : tag) {
    const unsigned char folded = static_cast<unsigned char>(Folded(c));
    const unsigned char other = static_cast<unsigned char>(*name++);
    if (folded != other) return folded < other ? -1 : 1;
  }
  return *name == '\0' ? 0 : -1;
}

// Subtags of 1 to 8 ASCII letters or digits, joined by '-' or '_'. A locale
// name such as "de_AT.UTF-8" is refused rather than read as "de".
bool IsLanguageTag(std::string_view tag) {
  std::size_t subtag_length = 0;
  for (char c : tag) {
    if (c == '-' || c == '_') {
      if (subtag_length == 0) return false;
      subtag_length = 0;
      continue;
    }
    const bool alphanumeric = (c >= 'a' && c <= 'z') ||
                              (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!alphanumeric || ++subtag_length > 8) return false;
  }
  return subtag_length != 0;
}

const PluralLocale* FindLocale(std::string_view tag) {
  const PluralLocale* end = std::end(kPluralLocales);
  const PluralLocale* found =
      std::lower_bound(std::begin(kPluralLocales), end, tag,
                       [](const PluralLocale& locale, std::string_view key) {
                         return CompareFolded(key, locale.name) > 0;
                       });
  if (found == end || CompareFolded(tag, found->name) != 0) return nullptr;
  return found;
}

}  // namespace

const char* PluralCategoryName(PluralCategory category) {
  const auto index = static_cast<std::size_t>(category);
  return index < std::size(kCategoryNames) ? kCategoryNames[index] : "";
}

std::optional<PluralCategory> PluralCategoryNamed(std::string_view name) {
  for (std::size_t index = 0; index < std::size(kCategoryNames); ++index) {
    if (name == kCategoryNames[index]) {
      return static_cast<PluralCategory>(index);
    }
  }
  return std::nullopt;
}

std::optional<PluralRule> PluralRuleFor(std::string_view language) {
  if (!IsLanguageTag(language)) return std::nullopt;
  std::string_view tag = language;
  while (true) {
    if (const PluralLocale* locale = FindLocale(tag)) {
      return PluralRule{locale->rule};
    }
    const std::size_t cut = tag.find_last_of("-_");
    if (cut == std::string_view::npos) return std::nullopt;
    tag = tag.substr(0, cut);
  }
}

PluralCategory PluralCategoryOf(PluralRule rule, std::uint64_t n) {
  if (rule.index >= std::size(kPluralRuleSets)) return PluralCategory::kOther;
  const PluralRuleSet& set = kPluralRuleSets[rule.index];
  if (n >= kTabulatedCounts) {
    if (std::uint64_t{set.start} + set.period > kTabulatedCounts) {
      return Evaluate(set, n);
    }
    n = set.start + Remainder(n - set.start, set.period);
  }
  return kSmallCounts.category[rule.index][n];
}

unsigned PluralCategoriesUsed(PluralRule rule) {
  if (rule.index >= std::size(kPluralRuleSets)) {
    return 1U << static_cast<unsigned>(PluralCategory::kOther);
  }
  return kPluralRuleSets[rule.index].categories;
}

}  // namespace msgreport
