// Checks one message file against the master catalogue, line by line, with
// the library's own reader, and explains every line that does not take
// effect.

#ifndef MSGREPORT_TOOLS_MSGCHECK_FILE_CHECK_H_
#define MSGREPORT_TOOLS_MSGCHECK_FILE_CHECK_H_

#include <cstddef>
#include <string>

#include "catalogue/line_reader.h"
#include "tools/msgcheck/diagnostic.h"
#include "tools/msgcheck/master_catalogue.h"

namespace msgcheck {

struct FileSummary {
  // Anything but kOpen: the file was not read, and the counts are zero.
  msgreport::LineReader::Status status = msgreport::LineReader::Status::kOpen;
  std::size_t lines = 0;
  std::size_t replaced = 0;
  std::size_t unchanged = 0;
  std::size_t unknown_keys = 0;
  std::size_t rejected = 0;
  // Entries below a "// review:" mark, which take effect all the same.
  std::size_t to_review = 0;
  // Plural forms the library drops, or cannot choose by any language.
  std::size_t plural_errors = 0;

  bool readable() const {
    return status == msgreport::LineReader::Status::kOpen;
  }
  bool clean() const {
    return unknown_keys == 0 && rejected == 0 && plural_errors == 0;
  }
};

// Reads the file once, handing `sink` its diagnostics in line order as it
// goes; what it keeps meanwhile grows with the catalogue, not the file.
FileSummary CheckMessageFile(const std::string& path,
                             const MasterCatalogue& catalogue,
                             const DiagnosticSink& sink);

// `FILE: 20 lines read, 8 texts replaced, ...`, and the entries to review
// when there are any.
std::string SummaryLine(const std::string& path, const FileSummary& summary);

}  // namespace msgcheck

#endif  // MSGREPORT_TOOLS_MSGCHECK_FILE_CHECK_H_
