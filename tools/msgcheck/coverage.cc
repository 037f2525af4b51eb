#include "tools/msgcheck/coverage.h"

#include <unordered_map>
#include <utility>

#include "catalogue/message_file_reader.h"
#include "tools/msgcheck/annotation.h"
#include "tools/msgcheck/diagnostic.h"
#include "tools/msgcheck/plural_forms.h"

namespace msgcheck {
namespace {

using msgreport::LineFate;
using msgreport::LineOutcome;

// What a file's entries did for one key.
struct KeyEntries {
  std::size_t winner = 0;       // the line whose text wins; 0 for none
  std::size_t review_mark = 0;  // the mark above the winner; 0 for none
  std::size_t rejected = 0;     // the last rejected line before any winner
};

// Whether a line is an entry for one of the catalogue's keys, which it
// then puts in `key`. A line with a NUL byte is malformed before its key is
// looked up, so its key may be none.
bool IsEntryOfKnownKey(const LineOutcome& outcome,
                       const MasterCatalogue& catalogue, std::string& key) {
  switch (outcome.fate) {
    case LineFate::kSkipped:
    case LineFate::kTooLong:
    case LineFate::kUnknownKey:
      return false;
    default:
      key.assign(outcome.parsed.key);
      return !RecordKeyOf(catalogue, key).empty();
  }
}

void Count(const FileEntry& unit, const KeyEntries* entries,
           const MasterCatalogue& catalogue, Coverage& coverage) {
  const std::string& key = unit.key;
  using Why = Untranslated::Why;
  if (entries != nullptr && entries->winner != 0) {
    if (entries->review_mark == 0) {
      ++coverage.translated;
    } else {
      coverage.to_review.push_back(
          {key, entries->winner, entries->review_mark});
    }
  } else if (entries != nullptr && entries->rejected != 0) {
    coverage.untranslated.push_back({key, Why::kRejected, entries->rejected});
  } else if (std::string why = WhyNoEntry(key, catalogue.TextOf(unit.source));
             !why.empty()) {
    coverage.cannot_be_given.push_back({key, std::move(why)});
  } else {
    coverage.untranslated.push_back(
        {key, entries == nullptr ? Why::kMissing : Why::kSameAsBuiltIn, 0});
  }
}

}  // namespace

Coverage MeasureCoverage(const std::string& path,
                         const MasterCatalogue& catalogue) {
  Coverage coverage;
  msgreport::LineReader reader(path.c_str());
  coverage.status = reader.status();
  if (!reader.is_open()) return coverage;

  std::unordered_map<std::string, KeyEntries> named;
  AnnotationReader annotations;
  std::string key;
  std::string language;  // the catalogue's unless the file names one
  msgreport::JudgeMessageLines(
      reader, catalogue.texts, [&](const LineOutcome& outcome) {
        Annotations above =
            annotations.Above(outcome.line, outcome.line_number);
        if (outcome.fate == LineFate::kLanguage) {
          language.assign(outcome.parsed.text);
        }
        if (!IsEntryOfKnownKey(outcome, catalogue, key)) return;
        KeyEntries& entries = named[key];
        // The last text other than the built-in one wins, whatever follows.
        if (outcome.fate == LineFate::kReplaced) {
          entries.winner = outcome.line_number;
          entries.review_mark = above.review_line;
        } else if (entries.winner == 0 &&
                   outcome.fate != LineFate::kUnchanged) {
          entries.rejected = outcome.line_number;
        }
      });
  coverage.status = reader.status();

  // Each form a plural message has in the file's language counts as a
  // key; the language itself, and a count, are no texts to translate.
  for (const FileEntry& unit : FileEntriesFor(catalogue, language)) {
    if (PartsOf(catalogue, unit.key).role == KeyRole::kLanguage) continue;
    ++coverage.keys;
    auto found = named.find(unit.key);
    Count(unit, found == named.end() ? nullptr : &found->second, catalogue,
          coverage);
  }
  return coverage;
}

std::string CoverageLine(const std::string& path, const Coverage& coverage) {
  std::string line = path + ": " + std::to_string(coverage.translated) +
                     " of " + std::to_string(coverage.keys) +
                     " keys translated";
  if (!coverage.to_review.empty()) {
    line += "; " + std::to_string(coverage.to_review.size()) + " to review";
  }
  if (!coverage.untranslated.empty()) {
    std::size_t count[3] = {};
    for (const Untranslated& u : coverage.untranslated) {
      ++count[static_cast<int>(u.why)];
    }
    line += "; " + std::to_string(coverage.untranslated.size()) +
            " untranslated: " + std::to_string(count[0]) + " missing, " +
            std::to_string(count[1]) + " same as the built-in text, " +
            std::to_string(count[2]) + " rejected";
  }
  if (!coverage.cannot_be_given.empty()) {
    line += "; " + std::to_string(coverage.cannot_be_given.size()) +
            " cannot be given in a message file";
  }
  return line;
}

std::string CoverageNote(const std::string& path, const ToReview& r) {
  return path + ": note: " + Quoted(r.key) +
         " is to review: the \"// review:\" line " +
         std::to_string(r.mark_line) + " marks its entry on line " +
         std::to_string(r.line);
}

std::string CoverageNote(const std::string& path, const Untranslated& u) {
  std::string head = path + ": note: " + Quoted(u.key) + " is untranslated: ";
  switch (u.why) {
    case Untranslated::Why::kMissing:
      return head + "no entry";
    case Untranslated::Why::kSameAsBuiltIn:
      return head + "its text is the built-in one";
    case Untranslated::Why::kRejected:
      break;
  }
  return head + "its entry on line " + std::to_string(u.line) +
         " is rejected (see msgcheck check)";
}

std::string CoverageNote(const std::string& path, const CannotBeGiven& c) {
  return path + ": note: " + Quoted(c.key) +
         " cannot be given in a message file: " + c.why;
}

}  // namespace msgcheck
