#include "catalogue/message_file_reader.h"

#include <cstring>
#include <optional>
#include <utility>

namespace msgreport {
namespace {

// Replaced texts below this are never worth compacting away.
constexpr std::size_t kTolerableWaste = std::size_t{64} * 1024;

bool Equals(const char* stored, std::string_view text) {
  return std::strlen(stored) == text.size() &&
         std::memcmp(stored, text.data(), text.size()) == 0;
}

// Whether the line changes anything is judged against the key's text as
// the catalogue holds it; whether its conversions fit, against the key's
// built-in text, since the program passes the arguments of that one.
std::pair<LineFate, CompatibilityVerdict> Judge(const ParsedLine& parsed,
                                                const MessageTable& catalogue,
                                                AcceptedTexts* accepted) {
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
  // The look-up comes before the text: a line whose key the catalogue
  // lacks is dropped whatever its text.
  std::size_t slot = catalogue.FindSlot(parsed.key.data(), parsed.key.size());
  if (slot == MessageTable::kNoSlot) return {LineFate::kUnknownKey, {}};
  if (parsed.malformed()) return {LineFate::kMalformed, {}};
  if (Equals(catalogue.TextAt(slot), parsed.text)) {
    return {LineFate::kUnchanged, {}};
  }
  CompatibilityVerdict verdict = CheckCompatibility(
      catalogue.BuiltInTextAt(slot), parsed.text.data(), parsed.text.size());
  if (!verdict.accepted()) return {LineFate::kIncompatible, verdict};
  if (accepted != nullptr) accepted->Accept(slot, parsed.text);
  return {LineFate::kReplaced, verdict};
}

ReadResult ResultOf(LineReader::Status status) {
  switch (status) {
    case LineReader::Status::kOpen:
      return ReadResult::kRead;
    case LineReader::Status::kCannotOpen:
      return ReadResult::kCannotOpen;
    case LineReader::Status::kNotAFile:
      return ReadResult::kNotAFile;
    case LineReader::Status::kReadError:
      return ReadResult::kReadError;
    case LineReader::Status::kTooLarge:
      break;
  }
  return ReadResult::kTooLarge;
}

}  // namespace

void AcceptedTexts::Accept(std::size_t slot, std::string_view text) {
  if (index_by_slot_.size() <= slot) index_by_slot_.resize(slot + 1, kNone);
  std::size_t& index = index_by_slot_[slot];
  if (index == kNone) {
    index = texts_.size();
    texts_.push_back({slot, 0, 0});
  } else {
    wasted_ += texts_[index].length;
  }
  texts_[index].offset = storage_.size();
  texts_[index].length = text.size();
  storage_.append(text);
  if (wasted_ > kTolerableWaste && wasted_ > storage_.size() / 2) Compact();
}

void AcceptedTexts::Compact() {
  std::string kept;
  kept.reserve(storage_.size() - wasted_);
  for (Text& text : texts_) {
    std::size_t offset = kept.size();
    kept.append(storage_, text.offset, text.length);
    text.offset = offset;
  }
  storage_.swap(kept);
  wasted_ = 0;
}

void AcceptedTexts::ApplyTo(const MessageTable& judged,
                            MessageTable& target) const {
  for (const Text& text : texts_) {
    const char* begin = storage_.data() + text.offset;
    if (&target == &judged) {
      // The slots are the target's own: no search needed.
      target.SwapTextAt(text.slot, begin, text.length);
    } else {
      const char* key = judged.KeyAt(text.slot);
      target.ReplaceMessage(key, std::strlen(key), begin, text.length);
    }
  }
  target.CompactIfWasteful();
}

ReadResult JudgeMessageLines(LineReader& reader, const MessageTable& catalogue,
                             const LineObserver& observer,
                             AcceptedTexts* accepted) {
  LineOutcome outcome;
  while (std::optional<std::string_view> line = reader.NextLine()) {
    outcome.line_number = reader.line_number();
    outcome.line = *line;
    outcome.parsed = ParseLine(*line);
    if (reader.line_too_long()) {
      outcome.fate = LineFate::kTooLong;
      outcome.verdict = {};
    } else {
      auto [fate, verdict] = Judge(outcome.parsed, catalogue, accepted);
      outcome.fate = fate;
      outcome.verdict = std::move(verdict);
    }
    if (observer) observer(outcome);
  }
  return ResultOf(reader.status());
}

ReadResult ReadMessageLines(LineReader& reader, const MessageTable& judged,
                            MessageTable& target,
                            const LineObserver& observer) {
  AcceptedTexts accepted;
  ReadResult result = JudgeMessageLines(reader, judged, observer, &accepted);
  if (result == ReadResult::kRead) accepted.ApplyTo(judged, target);
  return result;
}

ReadResult ReadMessageLines(const char* path, const MessageTable& judged,
                            MessageTable& target,
                            const LineObserver& observer) {
  if (path == nullptr) return ReadResult::kNoPath;
  LineReader reader(path);
  if (!reader.is_open()) return ResultOf(reader.status());
  return ReadMessageLines(reader, judged, target, observer);
}

}  // namespace msgreport
