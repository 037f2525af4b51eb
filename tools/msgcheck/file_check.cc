#include "tools/msgcheck/file_check.h"

#include <unordered_map>

#include "catalogue/message_file_reader.h"

namespace msgcheck {
namespace {

using msgreport::Compatibility;
using msgreport::CompatibilityVerdict;
using msgreport::FormatProblem;
using msgreport::LineKind;
using msgreport::LineOutcome;

std::string FirstWord(std::string_view line) {
  std::size_t begin = line.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  std::size_t end = line.find_first_of(" \t", begin);
  return std::string(line.substr(begin, end == std::string_view::npos
                                            ? std::string_view::npos
                                            : end - begin));
}

// A line the reader skipped, but whose author probably meant an entry.
bool LooksLikeEntry(const LineOutcome& outcome,
                    const msgreport::MessageTable& texts) {
  std::string_view line = outcome.line;
  if (outcome.kind == LineKind::kComment) {
    std::size_t begin = line.find_first_not_of(" \t");
    bool starts_as_comment = line.compare(begin, 2, "//") == 0;
    return !starts_as_comment && line.find('"') != std::string_view::npos;
  }
  if (outcome.kind == LineKind::kNoColon) {
    return line.find('"') != std::string_view::npos ||
           texts.FindMessage(FirstWord(line).c_str()) != nullptr;
  }
  return false;
}

std::string ProblemText(const CompatibilityVerdict& verdict) {
  const std::string& at = verdict.replacement_conversion;
  switch (verdict.problem) {
    case FormatProblem::kWritesCount:
      return "holds %n, which a message file may never use";
    case FormatProblem::kPositional:
      return "holds a positional conversion (" + Escaped(at) +
             "), which a message file may never use";
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
  std::string head = "text for " + Quoted(outcome.key) + " ";
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
             std::to_string(v.argument - 1);
    case Compatibility::kUnsafeReplacement:
      return head + ProblemText(v);
    case Compatibility::kCompatible:
    case Compatibility::kFewerArguments:
      break;
  }
  return head + "is not compatible with the catalogue's";
}

// Explains each line as the reader hands it over. Per key it remembers
// only the line whose text last won, so its memory grows with the
// catalogue, never with the file.
class Reporter {
 public:
  Reporter(const std::string& path, const MasterCatalogue& catalogue,
           const DiagnosticSink& sink, FileSummary& summary)
      : path_(path),
        catalogue_(catalogue),
        sink_(sink),
        summary_(summary),
        suggester_(catalogue.keys) {}

  void Line(const msgreport::LineReader& reader, const LineOutcome& outcome) {
    NotesBefore(reader, outcome.line_number);
    ++summary_.lines;
    Explain(outcome);
  }

  void End(const msgreport::LineReader& reader) {
    // On Windows the reader stops at a Ctrl-Z, so no line may reach it.
    NotesBefore(reader, static_cast<std::size_t>(-1));
  }

 private:
  void Say(std::size_t line, const char* severity, const std::string& what) {
    msgcheck::Say(sink_, path_, line, severity, what);
  }

  void NotesBefore(const msgreport::LineReader& reader, std::size_t line) {
    if (!noted_byte_order_mark_ && reader.skipped_byte_order_mark()) {
      Say(1, "note", "byte-order mark skipped");
      noted_byte_order_mark_ = true;
    }
    std::size_t ctrl_z = reader.ctrl_z_line();
    if (!warned_of_ctrl_z_ && ctrl_z != 0 && ctrl_z <= line) {
      Say(ctrl_z, "warning",
          "a Ctrl-Z byte, at which Windows ends the file: there, nothing "
          "after it is read");
      warned_of_ctrl_z_ = true;
    }
  }

  void Reject(std::size_t line, const std::string& what) {
    Say(line, "error", what);
    ++summary_.rejected;
  }

  void Explain(const LineOutcome& o) {
    const std::size_t n = o.line_number;
    const std::string malformed = "malformed entry for " + Quoted(o.key) + ": ";
    switch (o.kind) {
      case LineKind::kBlank:
      case LineKind::kEntry:
        return;
      case LineKind::kComment:
        if (LooksLikeEntry(o, catalogue_.texts)) {
          Reject(n,
                 "\"//\" on the line makes it a comment, so its text "
                 "never takes effect");
        }
        return;
      case LineKind::kNoColon:
        if (LooksLikeEntry(o, catalogue_.texts)) {
          Reject(n,
                 "no ':' on the line, so it is not read as an entry "
                 "(write KEY : \"text\")");
        } else {
          Say(n, "warning", "neither an entry nor a comment; skipped");
        }
        return;
      case LineKind::kNulByte:
        Reject(n, "malformed entry: the line holds a NUL byte");
        return;
      case LineKind::kUnknownKey: {
        ++summary_.unknown_keys;
        std::string nearest = suggester_.Nearest(o.key);
        Say(n, "error",
            "unknown key " + Quoted(o.key) +
                (nearest.empty() ? std::string()
                                 : "; did you mean " + Quoted(nearest) + "?"));
        if (suggester_.capped() && !said_suggestions_capped_) {
          Say(n, "note",
              "no more keys are suggested for this file: looking for them "
              "took too long");
          said_suggestions_capped_ = true;
        }
        return;
      }
      case LineKind::kNoQuote:
        Reject(n, malformed + "no double-quoted text");
        return;
      case LineKind::kNoClosingQuote:
        Reject(n, malformed + "the text has no closing double quote");
        return;
      case LineKind::kTextAfterQuote:
        Reject(n, malformed + "characters after the closing double quote");
        return;
      case LineKind::kIncompatible:
        Reject(n, IncompatibleText(o));
        return;
      case LineKind::kUnchanged: {
        ++summary_.unchanged;
        auto earlier = last_replaced_.find(std::string(o.key));
        std::string what = "text for " + Quoted(o.key) +
                           " equals the catalogue's; the line changes nothing";
        if (earlier != last_replaced_.end()) {
          what += ", and does not undo line " + std::to_string(earlier->second);
        }
        Say(n, "note", what);
        return;
      }
      case LineKind::kReplaced:
        ++summary_.replaced;
        ExplainReplaced(o);
        return;
    }
  }

  void ExplainReplaced(const LineOutcome& o) {
    std::size_t& last = last_replaced_[std::string(o.key)];
    if (last != 0) {
      Say(o.line_number, "warning",
          "key " + Quoted(o.key) + " stood on line " + std::to_string(last) +
              " already; this line's text wins over that one");
    }
    last = o.line_number;
    if (o.verdict.result == Compatibility::kFewerArguments) {
      Say(o.line_number, "warning",
          "text for " + Quoted(o.key) +
              " uses fewer conversions than the catalogue's: argument " +
              std::to_string(o.verdict.argument) + " (" +
              Escaped(o.verdict.catalogue_conversion) +
              ") and any after it are passed but not shown");
    }
  }

  const std::string& path_;
  const MasterCatalogue& catalogue_;
  const DiagnosticSink& sink_;
  FileSummary& summary_;
  KeySuggester suggester_;
  // Known keys only: bounded by the catalogue.
  std::unordered_map<std::string, std::size_t> last_replaced_;
  bool noted_byte_order_mark_ = false;
  bool warned_of_ctrl_z_ = false;
  bool said_suggestions_capped_ = false;
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
  msgreport::MessageTable scratch;
  msgreport::ReadMessageLines(
      reader, catalogue.texts, scratch,
      [&](const LineOutcome& outcome) { reporter.Line(reader, outcome); });
  reporter.End(reader);
  return summary;
}

std::string SummaryLine(const std::string& path, const FileSummary& s) {
  return path + ": " + std::to_string(s.lines) + " lines read, " +
         std::to_string(s.replaced) + " texts replaced, " +
         std::to_string(s.unchanged) + " unchanged, " +
         std::to_string(s.unknown_keys) + " unknown keys, " +
         std::to_string(s.rejected) + " rejected";
}

}  // namespace msgcheck
