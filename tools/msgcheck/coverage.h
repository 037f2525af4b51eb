// How much of a program's catalogue a message file translates, as the
// program would see it: the file is read by the library's reader, and a key
// counts as translated when its text ends up other than the built-in one
// and no "// review:" mark stands above the entry that wins it. A key that
// no message-file line can hold with its built-in text is counted apart,
// never as untranslated, since no translator can give it an entry as it is.

#ifndef MSGREPORT_TOOLS_MSGCHECK_COVERAGE_H_
#define MSGREPORT_TOOLS_MSGCHECK_COVERAGE_H_

#include <cstddef>
#include <string>
#include <vector>

#include "catalogue/line_reader.h"
#include "tools/msgcheck/master_catalogue.h"

namespace msgcheck {

struct Untranslated {
  enum class Why { kMissing, kSameAsBuiltIn, kRejected };
  std::string key;
  Why why;
  std::size_t line;  // the last rejected line, for kRejected
};

// A key translated by an entry that waits for the translator's review.
struct ToReview {
  std::string key;
  std::size_t line;       // the entry's
  std::size_t mark_line;  // the "// review:" mark's
};

// A key the file does not translate and no message-file line can hold
// with its built-in text.
struct CannotBeGiven {
  std::string key;
  std::string why;
};

struct Coverage {
  msgreport::LineReader::Status status = msgreport::LineReader::Status::kOpen;
  std::size_t keys = 0;
  std::size_t translated = 0;
  // Each in catalogue order.
  std::vector<ToReview> to_review;
  std::vector<Untranslated> untranslated;
  std::vector<CannotBeGiven> cannot_be_given;

  // Whether nothing is left for the translator to do.
  bool done() const { return to_review.empty() && untranslated.empty(); }
};

Coverage MeasureCoverage(const std::string& path,
                         const MasterCatalogue& catalogue);

// `FILE: 9 of 12 keys translated; 1 to review; 1 untranslated: 1 missing,
// ...; 1 cannot be given in a message file`, each part after the first
// only when it counts a key.
std::string CoverageLine(const std::string& path, const Coverage& coverage);
// `FILE: note: ...`, naming a key and what is left to do for it.
std::string CoverageNote(const std::string& path, const ToReview& key);
std::string CoverageNote(const std::string& path, const Untranslated& key);
std::string CoverageNote(const std::string& path, const CannotBeGiven& key);

}  // namespace msgcheck

#endif  // MSGREPORT_TOOLS_MSGCHECK_COVERAGE_H_
