#include "tools/msgcheck/merge.h"

#include <string_view>
#include <unordered_set>
#include <vector>

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
  Merger(const MasterCatalogue& catalogue, MergeResult& result)
      : catalogue_(catalogue), result_(result) {}

  void Line(const LineOutcome& o) {
    if (o.fate == LineFate::kTooLong) {
      if (result_.too_long_line == 0) result_.too_long_line = o.line_number;
      return;
    }
    if (std::optional<std::string_view> recorded = RecordedText(o.line)) {
      Emit(o.line);
      recorded_ = std::string(*recorded);
      last_was_record_ = true;
      return;
    }
    if (std::optional<std::string_view> key = KeyWithoutEntry(o.line)) {
      present_.insert(std::string(*key));
    }
    bool after_record = last_was_record_;
    last_was_record_ = false;
    switch (o.fate) {
      case LineFate::kSkipped:
        return Emit(o.line);
      case LineFate::kUnknownKey:
        ++result_.obsolete;
        return Emit("// obsolete: " + std::string(o.line));
      case LineFate::kMalformed:
        present_.insert(std::string(o.parsed.key));
        return Emit(o.line);
      default:
        break;
    }
    std::string key(o.parsed.key);
    present_.insert(key);
    std::string_view built_in = catalogue_.TextOf(key);
    if (!after_record) {
      if (o.fate == LineFate::kIncompatible) {
        ++result_.to_review;
        Emit(
            "// review: this text's conversions do not fit the built-in "
            "text's");
      }
      Emit(RecordedTextComment(built_in));
    } else if (recorded_ != built_in) {
      // An untranslated entry is the tool's own, record and all.
      if (o.parsed.text == recorded_) {
        lines_.pop_back();
        ++result_.refreshed;
        return EmitLines(TemplateEntry(key, built_in));
      }
      ++result_.to_review;
      Emit(std::string(kReviewChangedText));
      Emit(RecordedTextComment(built_in));
    }
    Emit(o.line);
  }

  // Template lines for the catalogue's keys that no entry named.
  void AddNewKeys() {
    for (const std::string& key : catalogue_.keys) {
      if (present_.count(key) != 0) continue;
      ++result_.added;
      Emit("");
      EmitLines(TemplateEntry(key, catalogue_.TextOf(key)));
    }
  }

  std::string Text(bool byte_order_mark) const {
    std::string text = byte_order_mark ? "\xEF\xBB\xBF" : "";
    for (const std::string& line : lines_) text += line + "\n";
    return text;
  }

 private:
  void Emit(std::string_view line) { lines_.emplace_back(line); }
  void EmitLines(std::string_view lines) {
    while (!lines.empty()) {
      std::size_t end = lines.find('\n');
      Emit(lines.substr(0, end));
      lines.remove_prefix(end == std::string_view::npos ? lines.size()
                                                        : end + 1);
    }
  }

  const MasterCatalogue& catalogue_;
  MergeResult& result_;
  std::vector<std::string> lines_;
  std::unordered_set<std::string> present_;  // keys an entry named
  std::string recorded_;
  bool last_was_record_ = false;
};

}  // namespace

MergeResult MergeTranslation(const std::string& path,
                             const MasterCatalogue& catalogue) {
  MergeResult result;
  msgreport::LineReader reader(path.c_str());
  result.status = reader.status();
  if (!reader.is_open()) return result;
  Merger merger(catalogue, result);
  msgreport::JudgeMessageLines(
      reader, catalogue.texts,
      [&](const LineOutcome& outcome) { merger.Line(outcome); });
  result.status = reader.status();
  result.read_to_end = reader.read_to_end();
  merger.AddNewKeys();
  result.text = merger.Text(reader.skipped_byte_order_mark());
  return result;
}

std::string MergeLine(const std::string& path, const MergeResult& r) {
  return path + ": merged: " + std::to_string(r.added) + " keys added, " +
         std::to_string(r.obsolete) + " obsolete, " +
         std::to_string(r.to_review) + " to review, " +
         std::to_string(r.refreshed) + " refreshed";
}

}  // namespace msgcheck
