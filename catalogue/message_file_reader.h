// The message-file reader: each line's shape, then its fate against a
// catalogue, with a way to learn what became of each line. A file is first
// judged whole against the catalogue, which judging only reads; the texts
// it wins are stored afterwards, all at once, and only when the file was
// read to its end, so that a read never leaves a catalogue half-changed.
// Handler set-up reads silently; the message-file checker listens.

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

// What became of a line judged against a catalogue.
enum class LineFate {
  kSkipped,       // blank, a comment, or no ':'
  kTooLong,       // longer than kMaxLineBytes, skipped unread
  kMalformed,     // an entry whose text cannot be read; the shape says why
  kUnknownKey,    // the catalogue lacks the key, whatever the text
  kIncompatible,  // the text's conversions do not fit the built-in text's
  kUnchanged,     // the text equals the catalogue's
  kReplaced,      // the text takes the catalogue's place once the file is read
  kLanguage,      // `@language`: the language of the file's plural forms
  kProgramOnly,   // `KEY[count]`, which only the program's catalogue gives
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

enum class ReadResult {
  kRead,
  kNoPath,
  kCannotOpen,
  kNotAFile,
  kReadError,  // reading failed before the file's end
  kTooLarge,   // the file is larger than kMaxFileBytes
};

// Judges every line the reader gives against `catalogue`, telling
// `observer` (may be empty) of each, and stages the texts won in `staged`
// when given. Anything but kRead: the file was not read
// to its end.
ReadResult JudgeMessageLines(LineReader& reader, const MessageTable& catalogue,
                             const LineObserver& observer,
                             MessageTable::Staged* staged = nullptr);

// Judges the file against `judged`, then, if it was read to its end,
// stores the texts it won in `target`, which may be `judged` itself.
ReadResult ReadMessageLines(LineReader& reader, const MessageTable& judged,
                            MessageTable& target, const LineObserver& observer);
// The same for the file at `path` (may be null).
ReadResult ReadMessageLines(const char* path, const MessageTable& judged,
                            MessageTable& target, const LineObserver& observer);

}  // namespace msgreport

#endif  // MSGREPORT_CATALOGUE_MESSAGE_FILE_READER_H_
