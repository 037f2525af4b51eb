#include "tools/msgcheck/file_check.h"

#include <unordered_map>
#include <utility>
#include <vector>

#include "catalogue/message_file_reader.h"
#include "catalogue/message_line.h"
#include "tools/msgcheck/annotation.h"
#include "tools/msgcheck/plural_forms.h"

namespace msgcheck {
namespace {

using msgreport::Compatibility;
using msgreport::CompatibilityVerdict;
using msgreport::FormatProblem;
using msgreport::LineFate;
using msgreport::LineOutcome;
using msgreport::LineShape;

// A line the reader skipped, but whose author probably meant an entry.
bool LooksLikeEntry(const LineOutcome& outcome,
                    const msgreport::MessageTable& texts) {
  std::string_view line = outcome.line;
  bool quoted = line.find('"') != std::string_view::npos;
  switch (outcome.parsed.shape) {
    case LineShape::kComment:
      return !msgreport::StartsAsComment(line) && quoted;
    case LineShape::kNoColon:
      return quoted || texts.FindMessage(
                           std::string(outcome.parsed.key).c_str()) != nullptr;
    default:
      return false;
  }
}

std::string ProblemText(const CompatibilityVerdict& verdict) {
  const std::string& at = verdict.replacement_conversion;
  switch (verdict.problem) {
    case FormatProblem::kWritesCount:
      return "holds %n, which a message file may never use";
    case FormatProblem::kPositional:
      return "holds a positional conversion (" + Escaped(at) +
             ") where none may stand";
    case FormatProblem::kMixedPositional:
      return "mixes conversions that name their argument (%2$s, *1$) with "
             "ones that do not, at " +
             Quoted(at) + ": name every argument or none";
    case FormatProblem::kOversizedField:
      return "asks for a field wider than a message can be (" + Escaped(at) +
             ")";
    case FormatProblem::kMalformed:
    case FormatProblem::kNone:
      break;
  }
  return "holds an incomplete or unknown conversion at " + Quoted(at);
}

std::string IncompatibleText(const LineOutcome& outcome) {
  const CompatibilityVerdict& v = outcome.verdict;
  std::string head = "text for " + Quoted(outcome.parsed.key) + " ";
  std::string argument = "argument " + std::to_string(v.argument);
  switch (v.result) {
    case Compatibility::kArgumentMismatch:
      return head + "does not fit the catalogue's conversions: " + argument +
             " is " + Escaped(v.catalogue_conversion) + " in the catalogue, " +
             Escaped(v.replacement_conversion) + " here";
    case Compatibility::kUnboundedField:
      return head + "takes a width or precision from " + argument + " (" +
             Escaped(v.replacement_conversion) +
             "), which the program passes as a value (" +
             Escaped(v.catalogue_conversion) + ")";
    case Compatibility::kLooserPrecision:
      return head + "may read more of " + argument + " than the program " +
             "allows: it is " + Escaped(v.catalogue_conversion) +
             " in the catalogue, " + Escaped(v.replacement_conversion) +
             " here (a string's precision may be kept or lowered, not " +
             "raised or dropped)";
    case Compatibility::kMoreArguments:
      return head + "uses " + argument + " (" +
             Escaped(v.replacement_conversion) +
             "), which the program does not pass: the catalogue's text "
             "takes " +
             std::to_string(v.catalogue_arguments);
    case Compatibility::kUnsafeReplacement:
      return head + ProblemText(v);
    case Compatibility::kCompatible:
    case Compatibility::kFewerArguments:
      break;
  }
  return head + "is not compatible with the catalogue's";
}

// What one line means to a translator: the findings to show, and the
// count of the summary it adds to.
struct Diagnosis {
  // The summary count the line adds to, if any.
  std::size_t FileSummary::*tally = nullptr;
  struct Finding {
    const char* severity;
    std::string what;
  };
  std::vector<Finding> findings;

  void Add(const char* severity, std::string what) {
    findings.push_back({severity, std::move(what)});
  }
  static Diagnosis Rejected(std::string what) {
    Diagnosis diagnosis;
    diagnosis.tally = &FileSummary::rejected;
    diagnosis.Add("error", std::move(what));
    return diagnosis;
  }
};

// Diagnoses each line as the reader hands it over. Per key it remembers
// only the line whose text last won, so its memory grows with the
// catalogue, never with the file.
class Diagnostician {
 public:
  explicit Diagnostician(const MasterCatalogue& catalogue)
      : catalogue_(catalogue), suggester_(catalogue.keys) {}

  Diagnosis Diagnose(const LineOutcome& o) {
    switch (o.fate) {
      case LineFate::kSkipped:
        return Skipped(o);
      case LineFate::kTooLong:
        return Diagnosis::Rejected(TooLongText());
      case LineFate::kMalformed:
        return Diagnosis::Rejected(MalformedEntryText(o.parsed));
      case LineFate::kUnknownKey:
        return UnknownKey(o.parsed.key);
      case LineFate::kIncompatible:
        return Diagnosis::Rejected(IncompatibleText(o));
      case LineFate::kUnchanged:
        return Unchanged(o.parsed.key);
      case LineFate::kReplaced:
        return Replaced(o);
      case LineFate::kLanguage:
        return {};  // judged with the file's plural forms, at its end
      case LineFate::kProgramOnly:
        return Diagnosis::Rejected(
            "only the program's catalogue says which argument of " +
            Quoted(o.parsed.key.substr(0, o.parsed.key.rfind('['))) +
            " is its count");
    }
    return {};
  }

 private:
  Diagnosis Skipped(const LineOutcome& o) const {
    bool meant_as_entry = LooksLikeEntry(o, catalogue_.texts);
    if (o.parsed.shape == LineShape::kComment && meant_as_entry) {
      return Diagnosis::Rejected(
          "\"//\" on the line makes it a comment, so its text never takes "
          "effect");
    }
    if (o.parsed.shape != LineShape::kNoColon) return {};
    if (meant_as_entry) {
      return Diagnosis::Rejected(
          "no ':' on the line, so it is not read as an entry (write KEY : "
          "\"text\")");
    }
    Diagnosis diagnosis;
    diagnosis.Add("warning", "neither an entry nor a comment; skipped");
    return diagnosis;
  }

  Diagnosis UnknownKey(std::string_view key) {
    Diagnosis diagnosis;
    diagnosis.tally = &FileSummary::unknown_keys;
    std::string nearest = suggester_.Nearest(key);
    diagnosis.Add("error", "unknown key " + Quoted(key) +
                               (nearest.empty() ? std::string()
                                                : "; did you mean " +
                                                      Quoted(nearest) + "?"));
    if (suggester_.capped() && !said_suggestions_capped_) {
      diagnosis.Add("note",
                    "no more keys are suggested for this file: looking for "
                    "them took too long");
      said_suggestions_capped_ = true;
    }
    return diagnosis;
  }

  Diagnosis Unchanged(std::string_view key) const {
    Diagnosis diagnosis;
    diagnosis.tally = &FileSummary::unchanged;
    std::string what = "text for " + Quoted(key) +
                       " equals the catalogue's; the line changes nothing";
    auto earlier = last_replaced_.find(std::string(key));
    if (earlier != last_replaced_.end()) {
      what += ", and does not undo line " + std::to_string(earlier->second);
    }
    diagnosis.Add("note", std::move(what));
    return diagnosis;
  }

  Diagnosis Replaced(const LineOutcome& o) {
    Diagnosis diagnosis;
    diagnosis.tally = &FileSummary::replaced;
    std::string_view key = o.parsed.key;
    std::size_t& last = last_replaced_[std::string(key)];
    if (last != 0) {
      diagnosis.Add("warning", "key " + Quoted(key) + " stood on line " +
                                   std::to_string(last) +
                                   " already; this line's text wins over "
                                   "that one");
    }
    last = o.line_number;
    if (o.verdict.result == Compatibility::kFewerArguments) {
      diagnosis.Add("warning",
                    "text for " + Quoted(key) +
                        " uses fewer conversions than the catalogue's: "
                        "argument " +
                        std::to_string(o.verdict.argument) + " (" +
                        Escaped(o.verdict.catalogue_conversion) +
                        ") and any after it are passed but not shown");
    }
    return diagnosis;
  }

  const MasterCatalogue& catalogue_;
  KeySuggester suggester_;
  // Known keys only: bounded by the catalogue.
  std::unordered_map<std::string, std::size_t> last_replaced_;
  bool said_suggestions_capped_ = false;
};

// Whether the line is an entry whose key the catalogue knows, and whose
// text was judged.
bool IsEntryOfKnownKey(LineFate fate) {
  return fate == LineFate::kIncompatible || fate == LineFate::kUnchanged ||
         fate == LineFate::kReplaced;
}

// Writes each line's findings, and the notes the reader gives on the file
// as a whole in line order, and keeps the tally.
class Reporter {
 public:
  Reporter(const std::string& path, const MasterCatalogue& catalogue,
           const DiagnosticSink& sink, FileSummary& summary)
      : path_(path),
        sink_(sink),
        summary_(summary),
        diagnostician_(catalogue),
        plurals_(catalogue) {}

  void Line(const msgreport::LineReader& reader, const LineOutcome& outcome) {
    NotesBefore(reader, outcome.line_number);
    Annotations above = annotations_.Above(outcome.line, outcome.line_number);
    Diagnosis diagnosis = diagnostician_.Diagnose(outcome);
    plurals_.See(outcome);
    ++summary_.lines;
    if (diagnosis.tally != nullptr) ++(summary_.*diagnosis.tally);
    if (above.review_line != 0 && IsEntryOfKnownKey(outcome.fate)) {
      ++summary_.to_review;
      diagnosis.Add("warning", Escaped(above.review) +
                                   "; review this translation, then delete the "
                                   "\"// review:\" line " +
                                   std::to_string(above.review_line));
    }
    for (const Diagnosis::Finding& finding : diagnosis.findings) {
      Say(sink_, path_, outcome.line_number, finding.severity, finding.what);
    }
  }

  void End(const msgreport::LineReader& reader) {
    // On Windows the reader stops at a Ctrl-Z, so no line may reach it.
    NotesBefore(reader, static_cast<std::size_t>(-1));
    // Plural forms are weighed once the file's language is known.
    for (const PluralFileAudit::Finding& finding : plurals_.Findings()) {
      Say(sink_, path_, finding.line, finding.severity, finding.what);
      if (std::string_view(finding.severity) == "error") {
        ++summary_.plural_errors;
      }
    }
  }

 private:
  void NotesBefore(const msgreport::LineReader& reader, std::size_t line) {
    if (!noted_byte_order_mark_ && reader.skipped_byte_order_mark()) {
      Say(sink_, path_, 1, "note", "byte-order mark skipped");
      noted_byte_order_mark_ = true;
    }
    std::size_t ctrl_z = reader.ctrl_z_line();
    if (!warned_of_ctrl_z_ && ctrl_z != 0 && ctrl_z <= line) {
      Say(sink_, path_, ctrl_z, "warning",
          "a Ctrl-Z byte, at which Windows ends the file: there, nothing "
          "after it is read");
      warned_of_ctrl_z_ = true;
    }
  }

  const std::string& path_;
  const DiagnosticSink& sink_;
  FileSummary& summary_;
  Diagnostician diagnostician_;
  PluralFileAudit plurals_;
  AnnotationReader annotations_;
  bool noted_byte_order_mark_ = false;
  bool warned_of_ctrl_z_ = false;
};

}  // namespace

FileSummary CheckMessageFile(const std::string& path,
                             const MasterCatalogue& catalogue,
                             const DiagnosticSink& sink) {
  FileSummary summary;
  msgreport::LineReader reader(path.c_str());
  summary.status = reader.status();
  if (!reader.is_open()) return summary;
  Reporter reporter(path, catalogue, sink, summary);
  msgreport::JudgeMessageLines(
      reader, catalogue.texts,
      [&](const LineOutcome& outcome) { reporter.Line(reader, outcome); });
  reporter.End(reader);
  summary.status = reader.status();
  return summary;
}

std::string SummaryLine(const std::string& path, const FileSummary& s) {
  return path + ": " + std::to_string(s.lines) + " lines read, " +
         std::to_string(s.replaced) + " texts replaced, " +
         std::to_string(s.unchanged) + " unchanged, " +
         std::to_string(s.unknown_keys) + " unknown keys, " +
         std::to_string(s.rejected) + " rejected" +
         (s.to_review == 0
              ? std::string()
              : ", " + std::to_string(s.to_review) + " to review") +
         (s.plural_errors == 0
              ? std::string()
              : ", " + std::to_string(s.plural_errors) + " plural form errors");
}

}  // namespace msgcheck
