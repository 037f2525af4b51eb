// The message-file reader, with a way to learn what became of each line.
// Handler set-up reads silently; the message-file checker listens.

#ifndef MSGREPORT_CATALOGUE_MESSAGE_FILE_READER_H_
#define MSGREPORT_CATALOGUE_MESSAGE_FILE_READER_H_

#include <cstddef>
#include <functional>
#include <string_view>

#include "catalogue/format_check.h"
#include "catalogue/line_reader.h"
#include "catalogue/message_table.h"

namespace msgreport {

enum class LineKind {
  kBlank,           // nothing before the line end
  kComment,         // holds "//" anywhere, even inside a text
  kNoColon,         // holds no ':'
  kNulByte,         // an entry holding a NUL byte, which no text can carry
  kUnknownKey,      // the key is not in the snapshot
  kNoQuote,         // an entry without any double quote
  kNoClosingQuote,  // the text is not closed by a final double quote
  kTextAfterQuote,  // characters other than blanks follow the closing quote
  kIncompatible,    // the text's conversions do not fit the snapshot's
  kUnchanged,       // the text equals the snapshot's
  kReplaced,        // the text now stands in the catalogue
  kEntry,           // a well-formed entry, before its key is looked up
};

// The shape of a line on its own, without a catalogue: kBlank, kComment,
// kNoColon, kNulByte, kNoQuote, kNoClosingQuote, kTextAfterQuote or kEntry.
// `key` is set for every line that has the shape of an entry, `text` for
// kEntry.
LineKind ClassifyLine(std::string_view line, std::string_view& key,
                      std::string_view& text);

struct LineOutcome {
  std::size_t line_number = 0;  // counted from 1
  LineKind kind = LineKind::kBlank;
  std::string_view line;  // without its line end
  std::string_view key;   // for entries
  std::string_view text;  // for entries whose text could be found
  // For kIncompatible, and for kReplaced when fewer conversions are used.
  CompatibilityVerdict verdict;
};

// Borrowed views into the reader's buffer: valid during the call only.
using LineObserver = std::function<void(const LineOutcome&)>;

enum class ReadResult { kRead, kNoPath, kCannotOpen, kNotAFile };

// Reads the file at `path` line by line, checking each entry against
// `snapshot` and replacing texts in `map` once the file is read. `snapshot`
// may be `map` itself, and then stands for the map as it was before reading
// began. `observer` may be empty.
ReadResult ReadMessageLines(const char* path, const MessageTable& snapshot,
                            MessageTable& map, const LineObserver& observer);
// The same from a reader that is open already.
ReadResult ReadMessageLines(LineReader& reader, const MessageTable& snapshot,
                            MessageTable& map, const LineObserver& observer);

}  // namespace msgreport

#endif  // MSGREPORT_CATALOGUE_MESSAGE_FILE_READER_H_
