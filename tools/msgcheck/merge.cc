#include "tools/msgcheck/merge.h"

#include <map>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "catalogue/message_file_reader.h"
#include "tools/msgcheck/annotation.h"
#include "tools/msgcheck/plural_forms.h"
#include "tools/msgcheck/translation_template.h"

namespace msgcheck {
namespace {

using msgreport::LineFate;
using msgreport::LineOutcome;

// The most annotation lines held back at once. A template writes a few
// above each entry; a file with more in one run is written on as it is,
// so that what a merge holds stays bounded whatever the file.
constexpr std::size_t kMostHeld = 256;

// A line of the annotations above an entry, held back until the line that
// ends their run tells what becomes of them.
struct HeldLine {
  std::string line;
  std::string end;
  AnnotationKind kind;
};

class Merger {
 public:
  Merger(const MasterCatalogue& catalogue, const msgreport::LineReader& reader,
         const MergeSink& sink, MergeResult& result)
      : catalogue_(catalogue), reader_(reader), sink_(sink), result_(result) {}

  void Line(const LineOutcome& o) {
    if (o.fate == LineFate::kTooLong) {
      if (result_.too_long_line == 0) result_.too_long_line = o.line_number;
      return;
    }
    std::string end(reader_.dropped_crs(), '\r');
    if (reader_.ended_by_newline()) end += '\n';
    if (newline_.empty() && reader_.ended_by_newline()) newline_ = end;
    Annotation annotation = ParseAnnotation(o.line);
    if (std::exchange(dropping_note_, false) &&
        annotation.kind == AnnotationKind::kNoEntryMore) {
      return;
    }
    switch (annotation.kind) {
      case AnnotationKind::kNote:
      case AnnotationKind::kReview:
      case AnnotationKind::kRecord:
        if (run_.size() == kMostHeld) Release();
        run_.push_back({std::string(o.line), end, annotation.kind});
        return;
      case AnnotationKind::kNoEntry:
        return NoEntry(std::string(annotation.value), o.line, end);
      default:
        break;
    }
    switch (o.fate) {
      case LineFate::kSkipped:
        return Keep(o.line, end);
      case LineFate::kUnknownKey:
        ++result_.obsolete;
        Release();
        return Emit(ObsoleteLine(o.line));
      case LineFate::kMalformed:
        Present(std::string(o.parsed.key));
        return Keep(o.line, end);
      case LineFate::kProgramOnly:
        return Keep(o.line, end);
      case LineFate::kLanguage:
        language_.assign(o.parsed.text);
        return Entry(o, end);
      default:
        return Entry(o, end);
    }
  }

  // Template lines for the catalogue's keys that no entry named.
  void AddNewKeys() {
    Release();
    // The file's language, once read whole, tells which plural forms it
    // needs.
    for (const FileEntry& entry : FileEntriesFor(catalogue_, language_)) {
      if (present_.count(entry.key) != 0) continue;
      ++result_.added;
      Emit("");
      // A form new to a translated message starts from the file's own
      // "other" text, which the program shows for it until then, and
      // waits for review; the built-in words would mix two languages.
      auto other = translated_others_.find(
          std::string(PartsOf(catalogue_, entry.key).base));
      if (other == translated_others_.end()) {
        EmitLines(TemplateEntry(entry.key, catalogue_.TextOf(entry.source),
                                catalogue_.NotesOf(entry.source), entry.text));
        continue;
      }
      ++result_.to_review;
      std::string lines;
      for (const std::string& note : catalogue_.NotesOf(entry.source)) {
        lines += NoteLine(note) + "\n";
      }
      EmitLines(lines + NewFormReview() + "\n" +
                RecordLine(catalogue_.TextOf(entry.source)) + "\n" +
                EntryLine(entry.key, other->second) + "\n");
    }
  }

 private:
  // An entry of a key the catalogue has, below the run of annotations held.
  void Entry(const LineOutcome& o, const std::string& end) {
    std::string key(o.parsed.key);
    Present(key);
    // A plural form the catalogue lacks records its message's text.
    std::string source = RecordKeyOf(catalogue_, key);
    if (source.empty()) {
      Release();
      return Keep(o.line, end);
    }
    std::string_view built_in = catalogue_.TextOf(source);
    const std::vector<std::string>& notes = catalogue_.NotesOf(source);
    if (o.fate == LineFate::kReplaced && source == key &&
        IsPluralMessage(catalogue_, key)) {
      translated_others_[key] = std::string(o.parsed.text);
    }
    Annotations above = HeldAnnotations();
    bool notes_changed = above.notes != notes;
    if (notes_changed) ++result_.notes_updated;
    std::vector<std::string> for_record;  // what takes the last record's place
    if (!above.recorded) {
      if (o.fate == LineFate::kIncompatible && above.review_line == 0) {
        ++result_.to_review;
        for_record.push_back(UnfitTextReview());
      }
      for_record.push_back(RecordLine(built_in));
    } else if (*above.recorded != built_in) {
      // An untranslated entry is the tool's own, annotations and all.
      if (o.parsed.text == *above.recorded) {
        run_.clear();
        ++result_.refreshed;
        return EmitLines(TemplateEntry(key, built_in, notes));
      }
      ++result_.to_review;
      // The first mark names the text the translation was made from.
      if (above.review_line == 0) {
        for_record.push_back(ChangedTextReview(*above.recorded));
      }
      for_record.push_back(RecordLine(built_in));
    }
    WriteHeld(notes_changed ? &notes : nullptr, for_record);
    Keep(o.line, end);
  }

  // The comment a template has instead of an entry: refreshed, entry and
  // all, once the key's text or notes changed since it was written.
  void NoEntry(const std::string& key, std::string_view line,
               const std::string& end) {
    std::string source = RecordKeyOf(catalogue_, key);
    if (source.empty()) return Keep(line, end);
    const char* built_in = catalogue_.TextOf(source);
    Present(key);
    const std::vector<std::string>& notes = catalogue_.NotesOf(source);
    Annotations above = HeldAnnotations();
    bool text_changed = above.recorded && *above.recorded != built_in;
    bool notes_changed = above.notes != notes;
    if (!text_changed && !notes_changed) return Keep(line, end);
    if (text_changed) ++result_.refreshed;
    if (notes_changed) ++result_.notes_updated;
    run_.clear();
    dropping_note_ = true;
    EmitLines(TemplateEntry(key, built_in, notes));
  }

  Annotations HeldAnnotations() const {
    Annotations annotations;
    for (std::size_t i = 0; i < run_.size(); ++i) {
      annotations.Add(ParseAnnotation(run_[i].line), i + 1);
    }
    return annotations;
  }

  // Writes the run held, with `notes` in place of its notes when given and
  // `for_record` in place of its last record, or after the run if it has
  // none.
  void WriteHeld(const std::vector<std::string>* notes,
                 const std::vector<std::string>& for_record) {
    std::size_t last_record = run_.size();
    for (std::size_t i = 0; i < run_.size(); ++i) {
      if (run_[i].kind == AnnotationKind::kRecord) last_record = i;
    }
    if (notes != nullptr) {
      // Old notes may go without a line taking their place.
      result_.changed = true;
      for (const std::string& note : *notes) Emit(NoteLine(note));
    }
    for (std::size_t i = 0; i <= run_.size(); ++i) {
      if (i == last_record && !for_record.empty()) {
        for (const std::string& line : for_record) Emit(line);
      } else if (i < run_.size() &&
                 (notes == nullptr || run_[i].kind != AnnotationKind::kNote)) {
        Write(run_[i].line);
        Write(run_[i].end);
      }
    }
    run_.clear();
  }

  // Only the catalogue's keys, so that the set stays bounded by it.
  void Present(std::string key) {
    if (!RecordKeyOf(catalogue_, key).empty()) present_.insert(std::move(key));
  }

  void Write(std::string_view bytes) {
    if (!started_) {
      started_ = true;
      if (reader_.skipped_byte_order_mark()) Write("\xEF\xBB\xBF");
    }
    if (!bytes.empty()) open_line_ = bytes.back() != '\n';
    if (sink_) {
      sink_(bytes);
    } else {
      result_.text += bytes;
    }
  }
  // The run held, as it was: no entry of the catalogue's follows it.
  void Release() { WriteHeld(nullptr, {}); }
  // An old line, as it was.
  void Keep(std::string_view line, const std::string& end) {
    Release();
    Write(line);
    Write(end);
  }
  // A line the merge makes, which ends as the file's lines do.
  void Emit(std::string_view line) {
    result_.changed = true;
    if (open_line_) Write(Newline());
    Write(line);
    Write(Newline());
  }
  void EmitLines(std::string_view lines) {
    while (!lines.empty()) {
      std::size_t end = lines.find('\n');
      Emit(lines.substr(0, end));
      lines.remove_prefix(end == std::string_view::npos ? lines.size()
                                                        : end + 1);
    }
  }
  std::string_view Newline() const {
    return newline_.empty() ? std::string_view("\n") : newline_;
  }

  const MasterCatalogue& catalogue_;
  const msgreport::LineReader& reader_;
  const MergeSink& sink_;
  MergeResult& result_;
  std::unordered_set<std::string> present_;  // keys an entry named
  std::vector<HeldLine> run_;                // annotations held back
  std::string newline_;                      // the first line's line end
  std::string language_;  // the file's @language, if it names one
  // The texts of the messages the file translates, by key: what a plural
  // form it lacks starts from.
  std::map<std::string, std::string> translated_others_;
  bool started_ = false;
  bool open_line_ = false;  // the last line written has no line end
  bool dropping_note_ = false;
};

}  // namespace

MergeResult MergeTranslation(const std::string& path,
                             const MasterCatalogue& catalogue,
                             const MergeSink& sink) {
  MergeResult result;
  msgreport::LineReader reader(path.c_str());
  result.status = reader.status();
  if (!reader.is_open()) return result;
  Merger merger(catalogue, reader, sink, result);
  msgreport::JudgeMessageLines(
      reader, catalogue.texts,
      [&](const LineOutcome& outcome) { merger.Line(outcome); });
  result.status = reader.status();
  result.read_to_end = reader.read_to_end();
  merger.AddNewKeys();
  return result;
}

std::string MergeLine(const std::string& path, const MergeResult& r) {
  return path + ": merged: " + std::to_string(r.added) + " keys added, " +
         std::to_string(r.obsolete) + " obsolete, " +
         std::to_string(r.to_review) + " to review, " +
         std::to_string(r.refreshed) + " refreshed, " +
         std::to_string(r.notes_updated) + " notes updated";
}

}  // namespace msgcheck
