#include "tools/msgcheck/plural_forms.h"

#include <algorithm>
#include <cstring>

#include "catalogue/format_check.h"

namespace msgcheck {
namespace {

using msgreport::LineFate;
using msgreport::PluralCategory;

unsigned Bit(PluralCategory category) {
  return 1U << static_cast<int>(category);
}

// Why the catalogue's form, or count, of a plural message is unusable;
// empty when it is fine.
std::string FormProblem(const MasterCatalogue& catalogue,
                        const std::string& key, const KeyParts& parts,
                        unsigned language_categories,
                        const std::string& language) {
  std::string base(parts.base);
  const char* other = catalogue.TextOf(base);
  if (parts.role == KeyRole::kCount) {
    std::optional<std::size_t> position =
        msgreport::CountPositionNamed(catalogue.TextOf(key));
    if (!position) {
      return "the text of " + Quoted(key) + " must be the number of " +
             Quoted(base) + "'s count argument, counted from 1";
    }
    if (!IsPluralMessage(catalogue, parts.base)) {
      return Quoted(key) + " names argument " + std::to_string(*position) +
             ", which " + Quoted(base) + " does not read as an integer";
    }
    return {};
  }
  if (language_categories != 0 &&
      (language_categories & Bit(parts.category)) == 0) {
    return Quoted(key) + ": the catalogue's language (" + language +
           ") has no '" + msgreport::PluralCategoryName(parts.category) +
           "' form; it uses " + CategoryList(language_categories);
  }
  const char* form = catalogue.TextOf(key);
  msgreport::CompatibilityVerdict verdict =
      msgreport::CheckCompatibility(other, form, std::strlen(form));
  if (verdict.accepted()) return {};
  return "form " + Quoted(key) + " does not read the arguments " +
         Quoted(base) + " reads" +
         (verdict.argument == 0
              ? std::string()
              : ": argument " + std::to_string(verdict.argument) + " is " +
                    Escaped(verdict.catalogue_conversion) + " there, " +
                    Escaped(verdict.replacement_conversion) + " here");
}

}  // namespace

bool IsPluralMessage(const MasterCatalogue& catalogue, std::string_view key) {
  std::size_t slot = catalogue.texts.FindSlot(key.data(), key.size());
  return slot != msgreport::MessageTable::kNoSlot &&
         catalogue.texts.PluralAt(slot) != nullptr;
}

KeyParts PartsOf(const MasterCatalogue& catalogue, std::string_view key) {
  KeyParts parts;
  if (key == msgreport::kLanguageKey) {
    parts.role = KeyRole::kLanguage;
    return parts;
  }
  std::optional<msgreport::SuffixedKey> suffixed =
      msgreport::SplitSuffixedKey(key);
  if (!suffixed || catalogue.TextOf(std::string(suffixed->base)) == nullptr) {
    return parts;
  }
  if (suffixed->suffix == msgreport::kCountSuffix) {
    parts.role = KeyRole::kCount;
  } else if (auto category = msgreport::PluralCategoryNamed(suffixed->suffix)) {
    parts.role = KeyRole::kForm;
    parts.category = *category;
  } else {
    return parts;
  }
  parts.base = suffixed->base;
  return parts;
}

std::string CatalogueLanguage(const MasterCatalogue& catalogue) {
  const char* named = catalogue.TextOf(std::string(msgreport::kLanguageKey));
  return named != nullptr ? named : std::string(msgreport::kDefaultLanguage);
}

unsigned CategoriesOf(std::string_view language) {
  std::optional<msgreport::PluralRule> rule =
      msgreport::PluralRuleFor(language);
  return rule ? msgreport::PluralCategoriesUsed(*rule) : 0;
}

std::string CategoryList(unsigned categories) {
  std::string list;
  for (int category = 0; category < msgreport::kPluralCategoryCount;
       ++category) {
    if ((categories & (1U << category)) == 0) continue;
    if (!list.empty()) list += ", ";
    list +=
        msgreport::PluralCategoryName(static_cast<PluralCategory>(category));
  }
  return list;
}

std::vector<FileEntry> FileEntriesFor(const MasterCatalogue& catalogue,
                                      std::string_view language) {
  std::string named =
      language.empty() ? CatalogueLanguage(catalogue) : std::string(language);
  unsigned uses = CategoriesOf(named);
  std::vector<FileEntry> entries;
  for (const std::string& key : catalogue.keys) {
    KeyParts parts = PartsOf(catalogue, key);
    if (parts.role == KeyRole::kLanguage) {
      entries.push_back({key, named, key});
      continue;
    }
    if (parts.role != KeyRole::kMessage) continue;  // forms come below
    entries.push_back({key, catalogue.TextOf(key), key});
    if (!IsPluralMessage(catalogue, key)) continue;
    for (int category = 0; category < msgreport::kPluralCategoryCount - 1;
         ++category) {
      if ((uses & (1U << category)) == 0) continue;
      std::string form =
          msgreport::FormKey(key, static_cast<PluralCategory>(category));
      const char* text = catalogue.TextOf(form);
      std::string source = text != nullptr ? form : key;
      entries.push_back({form, catalogue.TextOf(source), source});
    }
  }
  return entries;
}

std::string RecordKeyOf(const MasterCatalogue& catalogue,
                        std::string_view key) {
  if (catalogue.TextOf(std::string(key)) != nullptr) return std::string(key);
  KeyParts parts = PartsOf(catalogue, key);
  if (parts.role == KeyRole::kForm && IsPluralMessage(catalogue, parts.base)) {
    return std::string(parts.base);
  }
  return {};
}

std::size_t CheckCataloguePlurals(const std::string& path,
                                  const MasterCatalogue& catalogue,
                                  const DiagnosticSink& sink) {
  std::string language = CatalogueLanguage(catalogue);
  unsigned categories = CategoriesOf(language);
  std::size_t errors = 0;
  for (std::size_t i = 0; i < catalogue.keys.size(); ++i) {
    const std::string& key = catalogue.keys[i];
    KeyParts parts = PartsOf(catalogue, key);
    std::string problem;
    if (parts.role == KeyRole::kLanguage && categories == 0) {
      problem = "language " + Quoted(language) +
                " has no plural rule in the Unicode CLDR: every plural "
                "message shows its other text for every count";
    } else if (parts.role == KeyRole::kForm &&
               parts.category == PluralCategory::kOther) {
      problem = "write the 'other' form of " + Quoted(parts.base) +
                " as the message itself, " + Quoted(parts.base) + " : \"...\"";
    } else if (parts.role == KeyRole::kForm || parts.role == KeyRole::kCount) {
      problem = FormProblem(catalogue, key, parts, categories, language);
      std::string count = std::string(parts.base) + "[count]";
      if (problem.empty() && parts.role == KeyRole::kForm &&
          !IsPluralMessage(catalogue, parts.base) &&
          catalogue.TextOf(count) == nullptr) {
        problem = Quoted(parts.base) +
                  " has forms but no integer argument to choose them by "
                  "(name one with " +
                  Quoted(count) + ")";
      }
    }
    if (problem.empty()) continue;
    Say(sink, path, catalogue.key_lines[i], "error", problem);
    ++errors;
  }
  return errors;
}

void PluralFileAudit::See(const msgreport::LineOutcome& outcome) {
  if (outcome.fate == LineFate::kLanguage) {
    language_line_ = outcome.line_number;
    language_ = std::string(outcome.parsed.text);
    return;
  }
  if (outcome.fate != LineFate::kReplaced &&
      outcome.fate != LineFate::kUnchanged) {
    return;
  }
  std::string_view key = outcome.parsed.key;
  KeyParts parts = PartsOf(catalogue_, key);
  // The message's own line counts once translated: the library keeps the
  // built-in forms while it repeats the built-in text.
  if (parts.role != KeyRole::kForm && outcome.fate != LineFate::kReplaced) {
    return;
  }
  std::string_view base = parts.role == KeyRole::kForm ? parts.base : key;
  if (!IsPluralMessage(catalogue_, base)) return;
  given_[std::string(base)] |= Bit(parts.category);
  if (outcome.fate == LineFate::kReplaced) {
    reworded_[std::string(base)] |= Bit(parts.category);
  }
  line_of_[std::string(key)] = outcome.line_number;
}

std::string PluralFileAudit::Language() const {
  return language_line_ != 0 ? language_ : CatalogueLanguage(catalogue_);
}

std::vector<PluralFileAudit::Finding> PluralFileAudit::Findings() const {
  std::vector<Finding> findings;
  std::string language = Language();
  unsigned uses = CategoriesOf(language);
  if (language_line_ != 0 && uses == 0) {
    findings.push_back(
        {language_line_, "error",
         "language " + Quoted(language) +
             " has no plural rule in the Unicode CLDR: the file's plural "
             "messages show their other text for every count"});
  }
  for (const auto& [base, forms] : given_) {
    bool other_given = (forms & Bit(PluralCategory::kOther)) != 0;
    for (int category = 0; category < msgreport::kPluralCategoryCount - 1;
         ++category) {
      if ((forms & (1U << category)) == 0) continue;
      std::string form =
          msgreport::FormKey(base, static_cast<PluralCategory>(category));
      std::size_t line = line_of_.find(form)->second;
      auto reworded_forms = reworded_.find(base);
      bool reworded = reworded_forms != reworded_.end() &&
                      (reworded_forms->second & (1U << category)) != 0;
      if (!other_given) {
        // A form repeating the catalogue's text, as an untranslated
        // template's do, loses nothing by being dropped.
        if (!reworded) continue;
        findings.push_back({line, "error",
                            Quoted(form) + " is dropped: the file does not " +
                                "give " + Quoted(base) +
                                " itself, the message's other form, in "
                                "words of its own"});
      } else if (uses != 0 && (uses & (1U << category)) == 0) {
        findings.push_back({line, "warning",
                            Quoted(form) + " is never used: counts in " +
                                language + " take " + CategoryList(uses)});
      } else if (!reworded) {
        // The file decides the message's forms, this one included: the
        // built-in words it repeats are what those counts show.
        findings.push_back({line, "warning",
                            Quoted(form) + " repeats the built-in text, " +
                                "which counts that take it show in place of " +
                                Quoted(base) + "'s translation"});
      }
    }
    unsigned lacking = uses & ~forms;
    if (other_given && lacking != 0) {
      findings.push_back({line_of_.find(base)->second, "warning",
                          Quoted(base) + " lacks its " + CategoryList(lacking) +
                              " form" + (lacking & (lacking - 1) ? "s" : "") +
                              " for " + language +
                              "; its other text serves for those counts"});
    }
  }
  std::sort(findings.begin(), findings.end(),
            [](const Finding& a, const Finding& b) { return a.line < b.line; });
  return findings;
}

}  // namespace msgcheck
