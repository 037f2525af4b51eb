// The message-file reader: each line's shape, then its fate against a
// catalogue, with a way to learn what became of each line. Handler set-up
// reads silently; the message-file checker listens.

#ifndef MSGREPORT_CATALOGUE_MESSAGE_FILE_READER_H_
#define MSGREPORT_CATALOGUE_MESSAGE_FILE_READER_H_

#include <cstddef>
#include <functional>
#include <string_view>

#include "catalogue/format_check.h"
#include "catalogue/line_reader.h"
#include "catalogue/message_line.h"
#include "catalogue/message_table.h"

namespace msgreport {

// What became of a line read against a catalogue.
enum class LineFate {
  kSkipped,       // blank, a comment, or no ':'
  kMalformed,     // an entry whose text cannot be read; the shape says why
  kUnknownKey,    // the snapshot lacks the key, whatever the text
  kIncompatible,  // the text's conversions do not fit the built-in text's
  kUnchanged,     // the text equals the snapshot's
  kReplaced,      // the text now stands in the catalogue
};

struct LineOutcome {
  std::size_t line_number = 0;  // counted from 1
  std::string_view line;        // without its line end
  ParsedLine parsed;
  LineFate fate = LineFate::kSkipped;
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
