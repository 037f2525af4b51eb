// The catalogue that message files are checked against: a message file of
// the same format whose entries give the built-in keys and texts.

#ifndef MSGREPORT_TOOLS_MSGCHECK_MASTER_CATALOGUE_H_
#define MSGREPORT_TOOLS_MSGCHECK_MASTER_CATALOGUE_H_

#include <string>
#include <vector>

#include "msgreport.h"

namespace msgcheck {

struct MasterCatalogue {
  MessageMap texts;
  std::vector<std::string> keys;  // for suggesting a known key
  // Problems of the catalogue file itself, already formatted.
  std::vector<std::string> warnings;
};

// False when the file cannot be read.
bool LoadMasterCatalogue(const std::string& path, MasterCatalogue& catalogue);

// The known key closest to `key` by edit distance, if close enough to be a
// likely typo; empty otherwise.
std::string NearestKey(const std::vector<std::string>& keys,
                       const std::string& key);

}  // namespace msgcheck

#endif  // MSGREPORT_TOOLS_MSGCHECK_MASTER_CATALOGUE_H_
