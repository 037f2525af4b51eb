// A program's catalogue: the built-in keys and texts, one `KEY : "text"`
// line each, that message files are checked against and that the generated
// header and translation templates are made from. It is read with the
// message-file grammar, except that only a line beginning with "//" is a
// comment, so a built-in text may hold "//" and, like any text, '"'. The
// comment lines directly above an entry are the developers' notes for it,
// which translations carry; a blank line keeps a comment to itself.

#ifndef MSGREPORT_TOOLS_MSGCHECK_MASTER_CATALOGUE_H_
#define MSGREPORT_TOOLS_MSGCHECK_MASTER_CATALOGUE_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalogue/line_reader.h"
#include "catalogue/message_table.h"
#include "tools/msgcheck/diagnostic.h"

namespace msgcheck {

struct MasterCatalogue {
  msgreport::MessageTable texts;
  std::vector<std::string> keys;       // in catalogue order
  std::vector<std::size_t> key_lines;  // where each key stands
  // Lines that are neither entries, comments nor blank, and keys given
  // again: the catalogue does not say what its author meant.
  std::size_t errors = 0;
  // Of the keys that have notes: each comment line above the key's entry,
  // without its "//".
  std::unordered_map<std::string, std::vector<std::string>> notes;
  // The first line that msgcheck writes into message files and no
  // catalogue holds, such as a "// built-in:" record; 0 for none.
  std::size_t message_file_line = 0;

  const char* TextOf(const std::string& key) const {
    return texts.FindMessage(key.c_str());
  }
  const std::vector<std::string>& NotesOf(const std::string& key) const;
};

// Loads the catalogue at `path`, telling `sink` of every line that cannot
// be read as an entry, other than blank lines and comments, and of every
// key given again: each is an error. Anything but kOpen means the file
// could not be read to its end.
msgreport::LineReader::Status LoadMasterCatalogue(const std::string& path,
                                                  MasterCatalogue& catalogue,
                                                  const DiagnosticSink& sink);

// When the catalogue at `path` looks like a message file, so that the
// command's files were probably given the wrong way round: why; else empty.
// Every command that takes a catalogue and message files asks.
std::string SwappedArguments(const std::string& path,
                             const MasterCatalogue& catalogue);

// Suggests the known key closest to a mistyped one. Only keys of about the
// same length are compared, each comparison stops as soon as it cannot beat
// the best so far, and the answer to the last question is kept, since an
// unknown key often stands on many lines. The whole work is capped, so that
// a file of many unknown keys against a large catalogue stays quick: past
// the cap, no more keys are suggested.
class KeySuggester {
 public:
  // Cells of the edit-distance table, about 0.3 s of work.
  static constexpr std::size_t kWorkCap = 100'000'000;

  // Keeps views of `keys`, which must outlive the suggester.
  explicit KeySuggester(const std::vector<std::string>& keys,
                        std::size_t work_cap = kWorkCap);

  // The known key closest to `key` by edit distance, the first in catalogue
  // order among equals, if close enough to be a likely typo; else empty.
  // Once the cap is reached: the closest key found by then, or empty.
  std::string Nearest(std::string_view key);
  bool capped() const { return work_ > work_cap_; }

 private:
  struct Known {
    std::string_view key;
    std::size_t order;
  };

  std::size_t Distance(std::string_view a, std::string_view b,
                       std::size_t bound);

  std::vector<Known> by_length_;
  std::size_t work_cap_;
  std::size_t work_ = 0;
  std::vector<std::size_t> previous_row_;
  std::vector<std::size_t> current_row_;
  std::string last_question_;
  std::string last_answer_;
  bool answered_ = false;
};

}  // namespace msgcheck

#endif  // MSGREPORT_TOOLS_MSGCHECK_MASTER_CATALOGUE_H_
