// How much of a program's catalogue a message file translates, as the
// program would see it: the file is read by the library's reader, and a key
// counts as translated when its text ends up other than the built-in one.

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

struct Coverage {
  msgreport::LineReader::Status status = msgreport::LineReader::Status::kOpen;
  std::size_t keys = 0;
  std::size_t translated = 0;
  std::vector<Untranslated> untranslated;  // in catalogue order
};

Coverage MeasureCoverage(const std::string& path,
                         const MasterCatalogue& catalogue);

// `FILE: 9 of 12 keys translated; 3 untranslated: 1 missing, ...`
std::string CoverageLine(const std::string& path, const Coverage& coverage);
// `FILE: note: ...`, naming the key and why it is untranslated.
std::string UntranslatedNote(const std::string& path,
                             const Untranslated& untranslated);

}  // namespace msgcheck

#endif  // MSGREPORT_TOOLS_MSGCHECK_COVERAGE_H_
