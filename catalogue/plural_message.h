// Plural messages. A message whose text changes with a count is written as
// its "other" text under its own key, beside one entry per further plural
// category, its key followed by the category in brackets:
//
//   FILES_SYNCED : "Synchronised %d files"
//   FILES_SYNCED[one] : "Synchronised %d file"
//
// The count is the message's first integer argument, unless the program's
// catalogue names another with a `KEY[count]` entry whose text is the
// argument's number, counted from 1. An `@language` entry names the
// language of the texts around it: the program's in its catalogue, a
// translator's in a message file. Every one of these is an ordinary
// key/text pair, so a library that knows nothing of plurals keeps reading
// them, and reports the "other" text.

#ifndef MSGREPORT_CATALOGUE_PLURAL_MESSAGE_H_
#define MSGREPORT_CATALOGUE_PLURAL_MESSAGE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/argument_type.h"
#include "catalogue/plural_rules.h"

namespace msgreport {

constexpr std::string_view kLanguageKey = "@language";
constexpr std::string_view kCountSuffix = "count";
// The language of a catalogue that names none.
constexpr std::string_view kDefaultLanguage = "en";

// "FILES_SYNCED[one]" splits into "FILES_SYNCED" and "one"; a key that
// does not end in a bracketed word has no suffix.
struct SuffixedKey {
  std::string_view base;
  std::string_view suffix;
};
std::optional<SuffixedKey> SplitSuffixedKey(std::string_view key);

// The key of a message's form: "FILES_SYNCED[one]".
std::string FormKey(std::string_view base, PluralCategory category);

// A category a message file or catalogue may give a form for: any but
// "other", which is the message's own key.
std::optional<PluralCategory> FormCategoryNamed(std::string_view suffix);

// The argument a `KEY[count]` text names, counted from 1; nullopt unless
// it is a plain decimal within the argument positions a text may name.
std::optional<std::size_t> CountPositionNamed(std::string_view text);

// What a report of a plural message needs, resolved when the catalogue was
// last changed: the rule of its texts' language, the text of each
// category (null where the "other" text stands in), and how to reach its
// count through the arguments the program passes.
struct PluralMessage {
  PluralRule rule{};
  std::array<const char*, kPluralCategoryCount> texts{};
  // The types of the arguments up to the count, the count last.
  std::vector<ArgumentType> leading;
  bool count_unsigned = false;
  // 8 for an hh count, 16 for an h one: printf shows such a count narrowed
  // to its char or short, and the form must agree with what it shows.
  unsigned char count_bits = 0;
};

}  // namespace msgreport

#endif  // MSGREPORT_CATALOGUE_PLURAL_MESSAGE_H_
