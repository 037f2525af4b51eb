// Brings a translation up to date with a program's catalogue, keeping all
// of the translator's work: every translated entry and every comment of the
// translator's stays as it is, and each change is one a translator can see.
// What msgcheck keeps above each entry is read and written through the
// grammar of tools/msgcheck/annotation.h.
//  - A key new to the catalogue comes in at the end as template lines.
//  - An entry whose key left the catalogue becomes an "// obsolete:"
//    comment.
//  - Where an entry's recorded built-in text ("// built-in:") differs from
//    the catalogue's, a "// review:" mark that names the old text and a
//    record of the new one take the old record's place; an entry still
//    holding the old built-in text, untranslated, simply gets the new one,
//    record and all.
//  - An entry without a record gets one, and a "// review:" mark too when
//    its conversions no longer fit the built-in text's.
//  - The developers' notes above an entry ("// developers:") follow the
//    catalogue's comments for the key, added, changed or removed.
//  - A key the template could give no entry, since its built-in text held
//    "//", gets one once the text can be written, as a changed text does.
// Nothing else changes, so every key whose built-in text and notes are
// unchanged reads exactly as before: each line keeps its own line end, and
// lines the merge adds end as the file's first line does. The file is read
// and written a line at a time, so what the merge holds grows with the
// catalogue and a bounded run of one entry's annotations only.

#ifndef MSGREPORT_TOOLS_MSGCHECK_MERGE_H_
#define MSGREPORT_TOOLS_MSGCHECK_MERGE_H_

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "catalogue/line_reader.h"
#include "tools/msgcheck/master_catalogue.h"

namespace msgcheck {

struct MergeResult {
  msgreport::LineReader::Status status = msgreport::LineReader::Status::kOpen;
  // False when reading stopped before the file's end; the text is then
  // incomplete and must not be written back.
  bool read_to_end = true;
  // The first line too long to be read, and so to be written back; 0 for
  // none.
  std::size_t too_long_line = 0;
  std::string text;      // the merged file, when no sink took it
  bool changed = false;  // whether the merged file differs from the old
  std::size_t added = 0;
  std::size_t obsolete = 0;
  std::size_t to_review = 0;
  std::size_t refreshed = 0;      // untranslated entries given the new text
  std::size_t notes_updated = 0;  // entries whose notes were brought in line
};

// Takes the merged file piece by piece, in order.
using MergeSink = std::function<void(std::string_view)>;

MergeResult MergeTranslation(const std::string& path,
                             const MasterCatalogue& catalogue,
                             const MergeSink& sink = {});

// `FILE: merged: 2 keys added, 1 obsolete, 1 to review, 0 refreshed, 1
// notes updated`
std::string MergeLine(const std::string& path, const MergeResult& result);

}  // namespace msgcheck

#endif  // MSGREPORT_TOOLS_MSGCHECK_MERGE_H_
