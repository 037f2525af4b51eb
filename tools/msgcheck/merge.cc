#include "tools/msgcheck/merge.h"

#include <optional>
#include <string_view>
#include <unordered_set>

#include "catalogue/message_file_reader.h"
#include "tools/msgcheck/translation_template.h"

namespace msgcheck {
namespace {

using msgreport::LineFate;
using msgreport::LineOutcome;

constexpr std::string_view kReviewChangedText =
    "// review: the built-in text above changed to the one below";

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
    if (dropping_note_ && ContinuesNoEntryNote(o.line)) {
      dropping_note_ = false;
      return;
    }
    dropping_note_ = false;
    // A record waits for the line after it, which may make it stale.
    std::optional<std::string> recorded = std::move(recorded_);
    recorded_.reset();
    if (std::optional<std::string_view> text = RecordedText(o.line)) {
      Release();
      held_ = std::string(o.line) + end;
      recorded_ = std::string(*text);
      return;
    }
    if (std::optional<std::string_view> key = KeyWithoutEntry(o.line)) {
      return NoEntryNote(std::string(*key), recorded, o.line, end);
    }
    switch (o.fate) {
      case LineFate::kSkipped:
        return Keep(o.line, end);
      case LineFate::kUnknownKey:
        ++result_.obsolete;
        Release();
        return Emit("// obsolete: " + std::string(o.line));
      case LineFate::kMalformed:
        Present(std::string(o.parsed.key));
        return Keep(o.line, end);
      default:
        break;
    }
    std::string key(o.parsed.key);
    Present(key);
    std::string_view built_in = catalogue_.TextOf(key);
    if (!recorded) {
      Release();
      if (o.fate == LineFate::kIncompatible) {
        ++result_.to_review;
        Emit(
            "// review: this text's conversions do not fit the built-in "
            "text's");
      }
      Emit(RecordedTextComment(built_in));
    } else if (*recorded != built_in) {
      // An untranslated entry is the tool's own, record and all.
      if (o.parsed.text == *recorded) {
        held_.clear();
        ++result_.refreshed;
        return EmitLines(TemplateEntry(key, built_in));
      }
      Release();
      ++result_.to_review;
      Emit(std::string(kReviewChangedText));
      Emit(RecordedTextComment(built_in));
    }
    Keep(o.line, end);
  }

  // Template lines for the catalogue's keys that no entry named.
  void AddNewKeys() {
    Release();
    for (const std::string& key : catalogue_.keys) {
      if (present_.count(key) != 0) continue;
      ++result_.added;
      Emit("");
      EmitLines(TemplateEntry(key, catalogue_.TextOf(key)));
    }
  }

 private:
  // The comment a template has instead of an entry: refreshed, entry and
  // all, once the key's text changed since it was recorded.
  void NoEntryNote(const std::string& key,
                   const std::optional<std::string>& recorded,
                   std::string_view line, const std::string& end) {
    const char* built_in = catalogue_.TextOf(key);
    if (built_in == nullptr || !recorded || *recorded == built_in) {
      Present(key);
      return Keep(line, end);
    }
    held_.clear();
    ++result_.refreshed;
    dropping_note_ = true;
    Present(key);
    EmitLines(TemplateEntry(key, built_in));
  }

  // Only the catalogue's keys, so that the set stays bounded by it.
  void Present(std::string key) {
    if (catalogue_.TextOf(key) != nullptr) present_.insert(std::move(key));
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
  void Release() {
    if (held_.empty()) return;
    Write(held_);
    held_.clear();
  }
  // An old line, as it was.
  void Keep(std::string_view line, const std::string& end) {
    Release();
    Write(line);
    Write(end);
  }
  // A line the merge makes, which ends as the file's lines do.
  void Emit(std::string_view line) {
    Release();
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
  std::optional<std::string> recorded_;      // of the record held back
  std::string held_;                         // a record and its line end
  std::string newline_;                      // the first line's line end
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
         std::to_string(r.refreshed) + " refreshed";
}

}  // namespace msgcheck
