#include "tools/msgcheck/annotation.h"

#include <utility>

#include "catalogue/message_line.h"

namespace msgcheck {
namespace {

constexpr std::string_view kNotePrefix = "// developers:";
constexpr std::string_view kReviewPrefix = "// review: ";
constexpr std::string_view kRecordPrefix = "// built-in: \"";
constexpr std::string_view kObsoletePrefix = "// obsolete: ";
constexpr std::string_view kNoEntryPrefix = "// ";
constexpr std::string_view kNoEntry = " has no entry: ";
constexpr std::string_view kNoEntryNote =
    "no message-file line holds this key and text as\n"
    "// they stand (\"//\" makes a line a comment; a text begins at the "
    "first '\"').\n";
// Said in the mark itself, so that clearing it needs no manual.
constexpr std::string_view kReviewHow = "; delete this line once reviewed";

bool StartsWith(std::string_view line, std::string_view prefix) {
  return line.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view line, std::string_view suffix) {
  return line.size() >= suffix.size() &&
         line.substr(line.size() - suffix.size()) == suffix;
}

std::string_view WithoutTrailingBlanks(std::string_view line) {
  std::size_t last = line.find_last_not_of(" \t");
  return last == std::string_view::npos ? std::string_view()
                                        : line.substr(0, last + 1);
}

std::optional<std::string_view> Recorded(std::string_view line) {
  if (!StartsWith(line, kRecordPrefix)) return std::nullopt;
  std::string_view trimmed = WithoutTrailingBlanks(line);
  if (trimmed.size() <= kRecordPrefix.size() || trimmed.back() != '"') {
    return std::nullopt;
  }
  return trimmed.substr(kRecordPrefix.size(),
                        trimmed.size() - kRecordPrefix.size() - 1);
}

// The key of `// KEY has no entry: ...`; a key holds no space.
std::optional<std::string_view> KeyWithoutEntry(std::string_view line) {
  if (!StartsWith(line, kNoEntryPrefix)) return std::nullopt;
  std::size_t end = line.find(kNoEntry);
  if (end == std::string_view::npos || end == kNoEntryPrefix.size()) {
    return std::nullopt;
  }
  std::string_view key =
      line.substr(kNoEntryPrefix.size(), end - kNoEntryPrefix.size());
  if (key.find(' ') != std::string_view::npos) return std::nullopt;
  return key;
}

std::string_view NoEntryMore() {
  std::string_view second = kNoEntryNote.substr(kNoEntryNote.find('\n') + 1);
  return second.substr(0, second.size() - 1);
}

}  // namespace

Annotation ParseAnnotation(std::string_view line) {
  using Kind = AnnotationKind;
  if (StartsWith(line, kNotePrefix)) {
    std::string_view note = line.substr(kNotePrefix.size());
    if (note.empty()) return {Kind::kNote, note};
    if (note.front() == ' ') return {Kind::kNote, note.substr(1)};
  }
  if (StartsWith(line, kReviewPrefix)) {
    std::string_view why =
        WithoutTrailingBlanks(line.substr(kReviewPrefix.size()));
    if (EndsWith(why, kReviewHow)) why.remove_suffix(kReviewHow.size());
    return {Kind::kReview, why};
  }
  if (std::optional<std::string_view> text = Recorded(line)) {
    return {Kind::kRecord, *text};
  }
  if (std::optional<std::string_view> key = KeyWithoutEntry(line)) {
    return {Kind::kNoEntry, *key};
  }
  if (line == NoEntryMore()) return {Kind::kNoEntryMore, {}};
  return {};
}

std::string NoteLine(std::string_view note) {
  // A blank note writes no trailing space, which an editor would strip.
  if (note.empty()) return std::string(kNotePrefix);
  return std::string(kNotePrefix) + " " + std::string(note);
}

std::string RecordLine(std::string_view text) {
  return std::string(kRecordPrefix) + std::string(text) + "\"";
}

std::string ChangedTextReview(std::string_view old_text) {
  return std::string(kReviewPrefix) + "the built-in text changed from \"" +
         std::string(old_text) + "\"" + std::string(kReviewHow);
}

std::string UnfitTextReview() {
  return std::string(kReviewPrefix) +
         "this text's conversions do not fit the built-in text's" +
         std::string(kReviewHow);
}

std::string NewFormReview() {
  return std::string(kReviewPrefix) +
         "a plural form the file lacked, started from its other text" +
         std::string(kReviewHow);
}

std::string ObsoleteLine(std::string_view entry) {
  return std::string(kObsoletePrefix) + std::string(entry);
}

std::string NoEntryLines(std::string_view key) {
  return std::string(kNoEntryPrefix) + std::string(key) +
         std::string(kNoEntry) + std::string(kNoEntryNote);
}

std::string_view CatalogueNote(std::string_view comment) {
  std::size_t begin = comment.find("//");
  std::string_view note =
      begin == std::string_view::npos ? comment : comment.substr(begin + 2);
  if (!note.empty() && note.front() == ' ') note.remove_prefix(1);
  return note;
}

std::string EntryLine(std::string_view key, std::string_view text) {
  return std::string(key) + " : \"" + std::string(text) + "\"";
}

std::string WhyNoEntry(std::string_view key, std::string_view text) {
  // The grammar itself decides: the entry must read back as it was meant.
  std::string entry = EntryLine(key, text);
  msgreport::ParsedLine parsed = msgreport::ParseLine(entry);
  if (parsed.shape == msgreport::LineShape::kEntry && parsed.key == key &&
      parsed.text == text) {
    return {};
  }
  if (key.find("//") != std::string_view::npos) {
    return "its key holds \"//\", and a line holding \"//\" is a comment";
  }
  if (text.find("//") != std::string_view::npos) {
    return "its built-in text holds \"//\", and a line holding \"//\" is a "
           "comment";
  }
  return "no message-file line holds this key and text as they stand";
}

void Annotations::Add(const Annotation& annotation, std::size_t line_number) {
  switch (annotation.kind) {
    case AnnotationKind::kNote:
      notes.emplace_back(annotation.value);
      break;
    case AnnotationKind::kReview:
      if (review_line == 0) {
        review_line = line_number;
        review = std::string(annotation.value);
      }
      break;
    case AnnotationKind::kRecord:
      recorded = std::string(annotation.value);
      break;
    default:
      break;
  }
}

Annotations AnnotationReader::Above(std::string_view line,
                                    std::size_t line_number) {
  Annotation annotation = ParseAnnotation(line);
  switch (annotation.kind) {
    case AnnotationKind::kNote:
      return {};
    case AnnotationKind::kReview:
    case AnnotationKind::kRecord:
      run_.Add(annotation, line_number);
      return {};
    default:
      return std::exchange(run_, Annotations());
  }
}

}  // namespace msgcheck
