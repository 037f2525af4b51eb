#include "catalogue/message_file_reader.h"

#include <cstring>
#include <string>
#include <unordered_map>
#include <utility>
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
// changes anything, against the key's current text; whether its conversions
// fit, against the key's built-in text, since the program passes the
// arguments of that one. Replacements wait until the whole file is read, so
// `snapshot` may be `map` itself and still stands for the map as it was
// before reading; meanwhile only the last accepted text of each key is kept,
// which bounds what a file of many lines can cost.
class EntryApplier {
 public:
  EntryApplier(const MessageMap& snapshot, MessageMap& map)
      : snapshot_(snapshot), map_(map) {}

  void Apply(LineOutcome& outcome) {
    std::string_view line = outcome.line;
    // The look-up comes before the text is examined: a line whose key the
    // snapshot lacks is dropped whatever its text.
    outcome.kind = ClassifyStructure(line);
    if (outcome.kind != LineKind::kEntry) return;
    outcome.key = KeyOf(line);
    std::size_t slot =
        snapshot_.FindSlot(outcome.key.data(), outcome.key.size());
    if (slot == MessageMap::kNoSlot) {
      outcome.kind = LineKind::kUnknownKey;
      return;
    }
    LineKind shape = FindText(line, outcome.text);
    if (shape != LineKind::kEntry) {
      outcome.kind = shape;
      return;
    }
    if (Equals(snapshot_.TextAt(slot), outcome.text)) {
      outcome.kind = LineKind::kUnchanged;
      return;
    }
    outcome.verdict =
        CheckCompatibility(snapshot_.BuiltInTextAt(slot), outcome.text.data(),
                           outcome.text.size());
    if (!outcome.verdict.accepted()) {
      outcome.kind = LineKind::kIncompatible;
      return;
    }
    Defer(slot, outcome.key, outcome.text);
    outcome.kind = LineKind::kReplaced;
  }

  // Stores the texts that won, once the file is read.
  void Finish() {
    for (const auto& [key, text] : replacements_) {
      map_.ReplaceMessage(key.data(), key.size(), text.data(), text.size());
    }
  }

 private:
  void Defer(std::size_t slot, std::string_view key, std::string_view text) {
    auto [at, added] = by_slot_.try_emplace(slot, replacements_.size());
    if (added) {
      replacements_.emplace_back(key, text);
    } else {
      replacements_[at->second].second.assign(text);
    }
  }

  const MessageMap& snapshot_;
  MessageMap& map_;
  std::unordered_map<std::size_t, std::size_t> by_slot_;
  // Key and text, in the order the keys first won.
  std::vector<std::pair<std::string, std::string>> replacements_;
};

}  // namespace

LineKind ClassifyLine(std::string_view line, std::string_view& key,
                      std::string_view& text) {
  LineKind kind = ClassifyStructure(line);
  if (kind != LineKind::kEntry) return kind;
  key = KeyOf(line);
  return FindText(line, text);
}

ReadResult ReadMessageLines(LineReader& reader, const MessageMap& snapshot,
                            MessageMap& map, const LineObserver& observer) {
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

ReadResult ReadMessageLines(const char* path, const MessageMap& snapshot,
                            MessageMap& map, const LineObserver& observer) {
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
