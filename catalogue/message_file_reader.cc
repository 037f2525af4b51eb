#include "catalogue/message_file_reader.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

namespace msgreport {
namespace {

bool Equals(const char* stored, std::string_view text) {
  return std::strlen(stored) == text.size() &&
         std::memcmp(stored, text.data(), text.size()) == 0;
}

// A plural form is judged against its message's built-in "other" text,
// whose arguments the program passes whatever the count. It is staged even
// when equal to the catalogue's text, since the file decides every form of
// a message it translates.
std::pair<LineFate, CompatibilityVerdict> JudgeForm(
    const ParsedLine& parsed, const SuffixedKey& form, std::size_t base_slot,
    const MessageTable& catalogue, MessageTable::Staged* staged) {
  std::optional<PluralCategory> category = FormCategoryNamed(form.suffix);
  if (!category) return {LineFate::kProgramOnly, {}};  // KEY[count]
  if (parsed.malformed()) return {LineFate::kMalformed, {}};
  // A form is unchanged when it repeats the catalogue's text for it, or,
  // for a form the catalogue lacks, the message's own text, as a template
  // has it.
  std::size_t slot = catalogue.FindSlot(parsed.key.data(), parsed.key.size());
  bool same =
      Equals(catalogue.TextAt(slot == MessageTable::kNoSlot ? base_slot : slot),
             parsed.text);
  CompatibilityVerdict verdict;
  if (!same) {
    verdict = CheckCompatibility(catalogue.BuiltInTextAt(base_slot),
                                 parsed.text.data(), parsed.text.size());
    if (!verdict.accepted()) return {LineFate::kIncompatible, verdict};
  }
  if (staged != nullptr) {
    catalogue.StageForm(base_slot, *category, parsed.key, parsed.text, *staged);
  }
  return {same ? LineFate::kUnchanged : LineFate::kReplaced, verdict};
}

// The plural message whose form the line gives, if it is one.
std::optional<std::pair<SuffixedKey, std::size_t>> FormOf(
    std::string_view key, const MessageTable& catalogue) {
  if (!catalogue.holds_suffixed_keys()) return std::nullopt;
  std::optional<SuffixedKey> form = SplitSuffixedKey(key);
  // Any other bracketed word makes a key of its own.
  if (!form ||
      (!FormCategoryNamed(form->suffix) && form->suffix != kCountSuffix)) {
    return std::nullopt;
  }
  std::size_t base = catalogue.FindSlot(form->base.data(), form->base.size());
  if (base == MessageTable::kNoSlot || catalogue.PluralAt(base) == nullptr) {
    return std::nullopt;
  }
  return std::make_pair(*form, base);
}

// Whether the line changes anything is judged against the key's text as
// the catalogue holds it; whether its conversions fit, against the key's
// built-in text, since the program passes the arguments of that one.
// `key_hash`: of the line's key, when the line was looked at ahead.
std::pair<LineFate, CompatibilityVerdict> Judge(
    const ParsedLine& parsed, const MessageTable& catalogue,
    MessageTable::Staged* staged, std::optional<std::uint64_t> key_hash) {
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
  if (parsed.key == kLanguageKey) {
    if (parsed.malformed()) return {LineFate::kMalformed, {}};
    if (staged != nullptr) staged->NameLanguage(parsed.text);
    return {LineFate::kLanguage, {}};
  }
  if (auto form = FormOf(parsed.key, catalogue)) {
    return JudgeForm(parsed, form->first, form->second, catalogue, staged);
  }
  // The look-up comes before the text: a line whose key the catalogue
  // lacks is dropped whatever its text.
  std::size_t slot =
      key_hash ? catalogue.FindSlot(HashedKey(parsed.key, *key_hash))
               : catalogue.FindSlot(parsed.key.data(), parsed.key.size());
  if (slot == MessageTable::kNoSlot) return {LineFate::kUnknownKey, {}};
  if (parsed.malformed()) return {LineFate::kMalformed, {}};
  // A plural message's own line in words other than the built-in ones
  // makes the file decide its forms; one that repeats the built-in text,
  // as an untranslated template does, leaves them as they are. Where a
  // file read before translated the message, its forms replaced the
  // built-in ones, so the line that gives the built-in text back decides
  // the forms too.
  MessageTable::EntryView entry = catalogue.ViewAt(slot);
  bool decides =
      catalogue.PluralAt(slot) != nullptr && staged != nullptr &&
      (entry.built_in != parsed.text || entry.text != entry.built_in);
  if (entry.text == parsed.text) {
    if (decides) catalogue.StageOtherForm(slot, *staged);
    return {LineFate::kUnchanged, {}};
  }
  CompatibilityVerdict verdict = CheckCompatibility(
      entry.built_in, parsed.text.data(), parsed.text.size());
  if (!verdict.accepted()) return {LineFate::kIncompatible, verdict};
  if (staged != nullptr) catalogue.Stage(slot, entry, parsed.text, *staged);
  if (decides) catalogue.StageOtherForm(slot, *staged);
  return {LineFate::kReplaced, verdict};
}

// Judging a line of a large file costs little but the cache misses of its
// key's search, so the slots of the keys a few lines ahead are fetched
// while the current line is judged. Only the lines the reader holds
// already are looked at; the key is taken as the first word, which is
// right for every entry and harmless for any other line. The key's hash is
// kept for when its line is judged.
class LookAhead {
 public:
  explicit LookAhead(const MessageTable& catalogue)
      : catalogue_(&catalogue), wanted_(catalogue.outgrows_cache()) {}

  // After each line the reader returns.
  void Advance(const LineReader& reader) {
    if (!wanted_) return;
    std::string_view buffered = reader.buffered();
    unsigned long long start = reader.buffered_offset();
    current_.reset();
    if (next_ < start) {
      // A new block, or a line not looked at: start again from here.
      next_ = start;
      lines_ = 0;
    } else if (lines_ > 0) {
      // The line just read is the first of those looked at.
      current_ = ahead_[first_];
      first_ = (first_ + 1) % kLines;
      --lines_;
    }
    for (; lines_ < kLines; ++lines_) {
      auto looked_at = static_cast<std::size_t>(next_ - start);
      if (looked_at >= buffered.size()) return;
      std::string_view rest = buffered.substr(looked_at);
      std::size_t end = rest.find('\n');
      if (end == std::string_view::npos) return;
      std::string_view line = rest.substr(0, end);
      std::size_t key = line.find_first_not_of(' ');
      Guess& guess = ahead_[(first_ + lines_) % kLines];
      guess = Guess();
      if (key != std::string_view::npos) {
        line.remove_prefix(key);
        guess.key = line.substr(0, line.find(' '));
        guess.hash = HashKey(guess.key.data(), guess.key.size());
        catalogue_->Prefetch(HashedKey(guess.key, guess.hash));
      }
      next_ += end + 1;
    }
  }

  // The hash of the key of the line just read, if it was looked at and
  // its key is the one taken for it: the same bytes of the same block,
  // which is read again only once every line it holds is read.
  std::optional<std::uint64_t> KeyHash(std::string_view key) const {
    if (!current_ || current_->key.data() != key.data() ||
        current_->key.size() != key.size()) {
      return std::nullopt;
    }
    return current_->hash;
  }

 private:
  struct Guess {
    std::string_view key;
    std::uint64_t hash = 0;
  };
  static constexpr std::size_t kLines = 16;
  const MessageTable* catalogue_;
  bool wanted_;  // a small table's slots stay in the cache anyway
  unsigned long long next_ = 0;  // where the first line not looked at starts
  std::size_t lines_ = 0;        // looked at ahead of the current line
  std::array<Guess, kLines> ahead_;  // from first_ on, lines_ of them
  std::size_t first_ = 0;
  std::optional<Guess> current_;
};

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

ReadResult JudgeMessageLines(LineReader& reader, const MessageTable& catalogue,
                             const LineObserver& observer,
                             MessageTable::Staged* staged) {
  LineOutcome outcome;
  LookAhead look_ahead(catalogue);
  while (std::optional<std::string_view> line = reader.NextLine()) {
    look_ahead.Advance(reader);
    outcome.line_number = reader.line_number();
    outcome.line = *line;
    outcome.parsed = ParseLine(*line);
    if (reader.line_too_long()) {
      outcome.fate = LineFate::kTooLong;
      outcome.verdict = {};
    } else {
      auto [fate, verdict] = Judge(outcome.parsed, catalogue, staged,
                                   look_ahead.KeyHash(outcome.parsed.key));
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
  MessageTable::Staged staged;
  ReadResult result = JudgeMessageLines(reader, judged, observer, &staged);
  if (result != ReadResult::kRead) return result;
  if (&target == &judged) {
    target.PutStaged(std::move(staged));
  } else {
    target.ReplaceWithStaged(judged, staged);
  }
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
