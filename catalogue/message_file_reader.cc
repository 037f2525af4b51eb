#include "catalogue/message_file_reader.h"

#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace msgreport {
namespace {

constexpr std::string_view kCommentMark = "//";

std::string_view KeyOf(std::string_view line) {
  std::size_t begin = line.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  std::size_t end = line.find(' ', begin);
  if (end == std::string_view::npos) end = line.size();
  return line.substr(begin, end - begin);
}

std::string_view WithoutTrailingBlanks(std::string_view line) {
  std::size_t last = line.find_last_not_of(" \t");
  return last == std::string_view::npos ? std::string_view()
                                        : line.substr(0, last + 1);
}

// The text stands between the line's first double quote and a closing one
// that ends the line, trailing blanks aside.
LineKind FindText(std::string_view line, std::string_view& text) {
  std::size_t open = line.find('"');
  if (open == std::string_view::npos) return LineKind::kNoQuote;
  std::string_view trimmed = WithoutTrailingBlanks(line);
  std::size_t close = trimmed.size() - 1;
  if (trimmed[close] != '"' || close == open) {
    bool quote_after_text = line.find('"', open + 1) != std::string_view::npos;
    return quote_after_text ? LineKind::kTextAfterQuote
                            : LineKind::kNoClosingQuote;
  }
  text = line.substr(open + 1, close - open - 1);
  return LineKind::kEntry;
}

// Blank, comment, no colon and NUL byte, in that order; else kEntry.
LineKind ClassifyStructure(std::string_view line) {
  if (line.empty()) return LineKind::kBlank;
  if (line.find(kCommentMark) != std::string_view::npos) {
    return LineKind::kComment;
  }
  if (line.find(':') == std::string_view::npos) return LineKind::kNoColon;
  if (line.find('\0') != std::string_view::npos) return LineKind::kNulByte;
  return LineKind::kEntry;
}

bool Equals(const char* stored, std::string_view text) {
  return std::strlen(stored) == text.size() &&
         std::memcmp(stored, text.data(), text.size()) == 0;
}

// Applies entry lines to `map`, judging each against `snapshot`: whether it
// changes anything, against the key's text as it stood before reading;
// whether its conversions fit, against the key's built-in text, since the
// program passes the arguments of that one.
//
// `snapshot` may be `map` itself, read in place. A key's first replacement
// then goes in at once, and the entry it pushes out is kept for judging the
// key's later lines. Later replacements of the same key wait until the
// file is read, so that a file that names one key on many lines leaves one
// old entry behind per key, not one per line; the map compacts itself once
// reading is done.
class EntryApplier {
 public:
  EntryApplier(const MessageTable& snapshot, MessageTable& map)
      : snapshot_(snapshot), map_(map), in_place_(&snapshot == &map) {}

  void Apply(LineOutcome& outcome) {
    std::string_view line = outcome.line;
    // The look-up comes before the text is examined: a line whose key the
    // snapshot lacks is dropped whatever its text.
    outcome.kind = ClassifyStructure(line);
    if (outcome.kind != LineKind::kEntry) return;
    outcome.key = KeyOf(line);
    std::size_t slot =
        snapshot_.FindSlot(outcome.key.data(), outcome.key.size());
    if (slot == MessageTable::kNoSlot) {
      outcome.kind = LineKind::kUnknownKey;
      return;
    }
    LineKind shape = FindText(line, outcome.text);
    if (shape != LineKind::kEntry) {
      outcome.kind = shape;
      return;
    }
    const char* before = PushedOut(slot);
    if (Equals(
            before ? MessageTable::EntryText(before) : snapshot_.TextAt(slot),
            outcome.text)) {
      outcome.kind = LineKind::kUnchanged;
      return;
    }
    const char* built_in = before ? MessageTable::EntryBuiltInText(before)
                                  : snapshot_.BuiltInTextAt(slot);
    outcome.verdict =
        CheckCompatibility(built_in, outcome.text.data(), outcome.text.size());
    if (!outcome.verdict.accepted()) {
      outcome.kind = LineKind::kIncompatible;
      return;
    }
    Replace(slot, before, outcome.text);
    outcome.kind = LineKind::kReplaced;
  }

  // Stores the texts that waited, once the file is read.
  void Finish() {
    for (const auto& [slot, text] : waiting_) {
      map_.SwapTextAt(slot, text.data(), text.size());
    }
    if (in_place_) map_.CompactIfWasteful();
  }

 private:
  const char* PushedOut(std::size_t slot) const {
    return pushed_out_.empty() ? nullptr : pushed_out_[slot];
  }

  void Replace(std::size_t slot, const char* before, std::string_view text) {
    if (!in_place_) {
      const char* key = snapshot_.KeyAt(slot);
      map_.ReplaceMessage(key, std::strlen(key), text.data(), text.size());
      return;
    }
    if (before != nullptr) {
      waiting_[slot].assign(text);
      return;
    }
    // Only SwapTextAt changes the map while it is read, so slots and the
    // entries it pushes out stay where they are until Finish.
    if (pushed_out_.empty()) pushed_out_.resize(map_.slot_count(), nullptr);
    pushed_out_[slot] = map_.SwapTextAt(slot, text.data(), text.size());
  }

  const MessageTable& snapshot_;
  MessageTable& map_;
  const bool in_place_;
  // By slot: the entry as it was before this read replaced it.
  std::vector<const char*> pushed_out_;
  // By slot: the last accepted text of a key replaced more than once.
  std::unordered_map<std::size_t, std::string> waiting_;
};

}  // namespace

LineKind ClassifyLine(std::string_view line, std::string_view& key,
                      std::string_view& text) {
  LineKind kind = ClassifyStructure(line);
  if (kind != LineKind::kEntry) return kind;
  key = KeyOf(line);
  return FindText(line, text);
}

ReadResult ReadMessageLines(LineReader& reader, const MessageTable& snapshot,
                            MessageTable& map, const LineObserver& observer) {
  EntryApplier applier(snapshot, map);
  LineOutcome outcome;
  std::string_view line;
  while (reader.NextLine(line)) {
    outcome = LineOutcome();
    outcome.line_number = reader.line_number();
    outcome.line = line;
    applier.Apply(outcome);
    if (observer) observer(outcome);
  }
  applier.Finish();
  return ReadResult::kRead;
}

ReadResult ReadMessageLines(const char* path, const MessageTable& snapshot,
                            MessageTable& map, const LineObserver& observer) {
  if (path == nullptr) return ReadResult::kNoPath;
  LineReader reader(path);
  switch (reader.status()) {
    case LineReader::Status::kCannotOpen:
      return ReadResult::kCannotOpen;
    case LineReader::Status::kNotAFile:
      return ReadResult::kNotAFile;
    case LineReader::Status::kOpen:
      break;
  }
  return ReadMessageLines(reader, snapshot, map, observer);
}

}  // namespace msgreport
