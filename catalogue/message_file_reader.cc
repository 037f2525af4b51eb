#include "catalogue/message_file_reader.h"

#include <cstring>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace msgreport {
namespace {

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

  // What became of a line, with the verdict on its conversions.
  using Judgement = std::pair<LineFate, CompatibilityVerdict>;

  Judgement Apply(const ParsedLine& parsed) {
    switch (parsed.shape) {
      case LineShape::kBlank:
      case LineShape::kComment:
      case LineShape::kNoColon:
        return {LineFate::kSkipped, {}};
      case LineShape::kNulByte:
        return {LineFate::kMalformed, {}};
      default:
        break;
    }
    // The look-up comes before the text: a line whose key the snapshot
    // lacks is dropped whatever its text.
    std::size_t slot = snapshot_.FindSlot(parsed.key.data(), parsed.key.size());
    if (slot == MessageTable::kNoSlot) return {LineFate::kUnknownKey, {}};
    if (parsed.malformed()) return {LineFate::kMalformed, {}};
    const char* before = PushedOut(slot);
    const char* current =
        before ? MessageTable::EntryText(before) : snapshot_.TextAt(slot);
    if (Equals(current, parsed.text)) return {LineFate::kUnchanged, {}};
    const char* built_in = before ? MessageTable::EntryBuiltInText(before)
                                  : snapshot_.BuiltInTextAt(slot);
    CompatibilityVerdict verdict =
        CheckCompatibility(built_in, parsed.text.data(), parsed.text.size());
    if (!verdict.accepted()) return {LineFate::kIncompatible, verdict};
    Replace(slot, before, parsed.text);
    return {LineFate::kReplaced, verdict};
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

ReadResult ReadMessageLines(LineReader& reader, const MessageTable& snapshot,
                            MessageTable& map, const LineObserver& observer) {
  EntryApplier applier(snapshot, map);
  LineOutcome outcome;
  while (std::optional<std::string_view> line = reader.NextLine()) {
    outcome.line_number = reader.line_number();
    outcome.line = *line;
    outcome.parsed = ParseLine(*line);
    auto [fate, verdict] = applier.Apply(outcome.parsed);
    outcome.fate = fate;
    outcome.verdict = std::move(verdict);
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
