#include "catalogue/message_file_reader.h"

#include <cstring>
#include <string>
#include <vector>

#include "catalogue/line_reader.h"

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

// Applies entry lines to `map`, judging each against `snapshot`. When the
// two are the same map, the snapshot is the map as it stood before reading:
// the texts a replacement pushes out are kept for judging later lines, so
// no copy of the whole map is needed.
class EntryApplier {
 public:
  EntryApplier(const MessageMap& snapshot, MessageMap& map)
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
    if (slot == MessageMap::kNoSlot) {
      outcome.kind = LineKind::kUnknownKey;
      return;
    }
    LineKind shape = FindText(line, outcome.text);
    if (shape != LineKind::kEntry) {
      outcome.kind = shape;
      return;
    }
    const char* current = SnapshotText(slot);
    if (Equals(current, outcome.text)) {
      outcome.kind = LineKind::kUnchanged;
      return;
    }
    outcome.verdict =
        CheckCompatibility(current, outcome.text.data(), outcome.text.size());
    if (!outcome.verdict.accepted()) {
      outcome.kind = LineKind::kIncompatible;
      return;
    }
    Replace(slot, outcome.key, outcome.text);
    outcome.kind = LineKind::kReplaced;
  }

 private:
  const char* SnapshotText(std::size_t slot) const {
    if (in_place_ && !pushed_out_.empty() && pushed_out_[slot] != nullptr) {
      return MessageMap::EntryText(pushed_out_[slot]);
    }
    return snapshot_.TextAt(slot);
  }

  void Replace(std::size_t slot, std::string_view key, std::string_view text) {
    if (!in_place_) {
      map_.ReplaceMessage(key.data(), key.size(), text.data(), text.size());
      return;
    }
    // Only SwapTextAt changes the map meanwhile, so slots and the entries
    // it hands back stay where they are until reading ends.
    const char* previous = map_.SwapTextAt(slot, text.data(), text.size());
    if (pushed_out_.empty()) pushed_out_.resize(map_.slot_count(), nullptr);
    if (pushed_out_[slot] == nullptr) pushed_out_[slot] = previous;
  }

  const MessageMap& snapshot_;
  MessageMap& map_;
  const bool in_place_;
  // By slot: the entry as it was before this read replaced it.
  std::vector<const char*> pushed_out_;
};

}  // namespace

LineKind ClassifyLine(std::string_view line, std::string_view& key,
                      std::string_view& text) {
  LineKind kind = ClassifyStructure(line);
  if (kind != LineKind::kEntry) return kind;
  key = KeyOf(line);
  return FindText(line, text);
}

ReadResult ReadMessageLines(const char* path, const MessageMap& snapshot,
                            MessageMap& map, const LineObserver& observer) {
  if (path == nullptr) return ReadResult::kNoPath;
  LineReader reader(path);
  if (!reader.is_open()) return ReadResult::kCannotOpen;

  EntryApplier applier(snapshot, map);
  LineOutcome outcome;
  std::string_view line;
  for (std::size_t number = 1; reader.NextLine(line); ++number) {
    outcome = LineOutcome();
    outcome.line_number = number;
    outcome.line = line;
    applier.Apply(outcome);
    if (observer) observer(outcome);
  }
  return ReadResult::kRead;
}

}  // namespace msgreport
