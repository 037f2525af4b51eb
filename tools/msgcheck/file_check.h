// Checks one message file against the master catalogue, line by line, with
// the library's own reader, and explains every line that does not take
// effect.

#ifndef MSGREPORT_TOOLS_MSGCHECK_FILE_CHECK_H_
#define MSGREPORT_TOOLS_MSGCHECK_FILE_CHECK_H_

#include <cstddef>
#include <string>
#include <vector>

#include "tools/msgcheck/master_catalogue.h"

namespace msgcheck {

struct FileSummary {
  bool readable = false;
  std::size_t lines = 0;
  std::size_t replaced = 0;
  std::size_t unchanged = 0;
  std::size_t unknown_keys = 0;
  std::size_t rejected = 0;

  bool clean() const { return unknown_keys == 0 && rejected == 0; }
};

// Appends `FILE:LINE: severity: message` diagnostics in line order.
FileSummary CheckMessageFile(const std::string& path,
                             const MasterCatalogue& catalogue,
                             std::vector<std::string>& diagnostics);

std::string SummaryLine(const std::string& path, const FileSummary& summary);

}  // namespace msgcheck

#endif  // MSGREPORT_TOOLS_MSGCHECK_FILE_CHECK_H_
