#include "tools/msgcheck/coverage.h"

#include <unordered_map>
#include <utility>

#include "catalogue/message_file_reader.h"
#include "tools/msgcheck/diagnostic.h"

namespace msgcheck {

Coverage MeasureCoverage(const std::string& path,
                         const MasterCatalogue& catalogue) {
  Coverage coverage;
  msgreport::LineReader reader(path.c_str());
  coverage.status = reader.status();
  if (!reader.is_open()) return coverage;

  // What the file did for each key it names: won it a text of its own,
  // had its last line rejected, or only repeated the built-in text (0).
  constexpr std::size_t kTranslated = static_cast<std::size_t>(-1);
  std::unordered_map<std::string, std::size_t> named_keys;
  msgreport::JudgeMessageLines(
      reader, catalogue.texts, [&](const msgreport::LineOutcome& outcome) {
        using msgreport::LineFate;
        if (outcome.fate == LineFate::kSkipped ||
            outcome.fate == LineFate::kTooLong ||
            outcome.fate == LineFate::kUnknownKey) {
          return;
        }
        // A line with a NUL byte is malformed before its key is looked up.
        std::string key(outcome.parsed.key);
        if (catalogue.TextOf(key) == nullptr) return;
        std::size_t& named =
            named_keys.try_emplace(std::move(key), 0).first->second;
        // The last text other than the built-in one wins, whatever follows.
        if (outcome.fate == LineFate::kReplaced) {
          named = kTranslated;
        } else if (named != kTranslated &&
                   outcome.fate != LineFate::kUnchanged) {
          named = outcome.line_number;
        }
      });
  coverage.status = reader.status();

  coverage.keys = catalogue.keys.size();
  for (const std::string& key : catalogue.keys) {
    auto named = named_keys.find(key);
    if (named == named_keys.end()) {
      coverage.untranslated.push_back({key, Untranslated::Why::kMissing, 0});
    } else if (named->second == kTranslated) {
      ++coverage.translated;
    } else if (named->second == 0) {
      coverage.untranslated.push_back(
          {key, Untranslated::Why::kSameAsBuiltIn, 0});
    } else {
      coverage.untranslated.push_back(
          {key, Untranslated::Why::kRejected, named->second});
    }
  }
  return coverage;
}

std::string CoverageLine(const std::string& path, const Coverage& coverage) {
  std::size_t count[3] = {};
  for (const Untranslated& u : coverage.untranslated) {
    ++count[static_cast<int>(u.why)];
  }
  std::string line = path + ": " + std::to_string(coverage.translated) +
                     " of " + std::to_string(coverage.keys) +
                     " keys translated";
  if (coverage.untranslated.empty()) return line;
  return line + "; " + std::to_string(coverage.untranslated.size()) +
         " untranslated: " + std::to_string(count[0]) + " missing, " +
         std::to_string(count[1]) + " same as the built-in text, " +
         std::to_string(count[2]) + " rejected";
}

std::string UntranslatedNote(const std::string& path, const Untranslated& u) {
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

}  // namespace msgcheck
