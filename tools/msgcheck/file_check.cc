#include "tools/msgcheck/file_check.h"

#include <map>

#include "catalogue/message_file_reader.h"
#include "tools/msgcheck/windows_end_of_file.h"

namespace msgcheck {
namespace {

using msgreport::Compatibility;
using msgreport::CompatibilityVerdict;
using msgreport::FormatProblem;
using msgreport::LineKind;
using msgreport::LineOutcome;

// What the checker keeps of a line once the reader has moved on.
struct LineRecord {
  std::size_t number = 0;
  LineKind kind = LineKind::kBlank;
  std::string key;
  CompatibilityVerdict verdict;
  bool looks_like_entry = false;
};

// Control bytes are spelt out, so that a key that differs from a known one
// only by an invisible byte does not look the same in a diagnostic.
std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) {
      constexpr char kHex[] = "0123456789abcdef";
      quoted += "\\x";
      quoted += kHex[byte >> 4];
      quoted += kHex[byte & 0xf];
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

std::string FirstWord(std::string_view line) {
  std::size_t begin = line.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  std::size_t end = line.find_first_of(" \t", begin);
  return std::string(line.substr(begin, end == std::string_view::npos
                                            ? std::string_view::npos
                                            : end - begin));
}

// A line the reader skipped, but whose author probably meant an entry.
bool LooksLikeEntry(const LineOutcome& outcome, const MessageMap& texts) {
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
      return "holds a positional conversion (" + at +
             "), which a message file may never use";
    case FormatProblem::kOversizedField:
      return "asks for a field wider than a message can be (" + at + ")";
    case FormatProblem::kMalformed:
    case FormatProblem::kNone:
      break;
  }
  return "holds an incomplete or unknown conversion at " + Quoted(at);
}

std::string IncompatibleText(const LineRecord& record) {
  const CompatibilityVerdict& v = record.verdict;
  std::string head = "text for " + Quoted(record.key) + " ";
  std::string argument = "argument " + std::to_string(v.argument);
  switch (v.result) {
    case Compatibility::kArgumentMismatch:
      return head + "does not fit the catalogue's conversions: " + argument +
             " is " + v.catalogue_conversion + " in the catalogue, " +
             v.replacement_conversion + " here";
    case Compatibility::kUnboundedField:
      return head + "takes a width or precision from " + argument + " (" +
             v.replacement_conversion +
             "), which the program passes as a value (" +
             v.catalogue_conversion + ")";
    case Compatibility::kLooserPrecision:
      return head + "may read more of " + argument + " than the program " +
             "allows: it is " + v.catalogue_conversion + " in the catalogue, " +
             v.replacement_conversion +
             " here (a string's precision may be kept or lowered, not " +
             "raised or dropped)";
    case Compatibility::kMoreArguments:
      return head + "uses " + argument + " (" + v.replacement_conversion +
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

class Reporter {
 public:
  Reporter(const std::string& path, const MasterCatalogue& catalogue,
           std::vector<std::string>& out)
      : path_(path), catalogue_(catalogue), out_(out) {}

  // `windows_end` is the line of the file's first Ctrl-Z, 0 for none.
  void Emit(const std::vector<LineRecord>& records, std::size_t windows_end,
            FileSummary& summary) {
    std::map<std::string, std::size_t> last_replacement;
    for (const LineRecord& r : records) {
      if (r.kind == LineKind::kReplaced) last_replacement[r.key] = r.number;
    }
    std::map<std::string, std::size_t> replaced_so_far;
    bool windows_end_pending = windows_end != 0;
    for (const LineRecord& r : records) {
      if (windows_end_pending && r.number >= windows_end) {
        WarnOfWindowsEnd(windows_end);
        windows_end_pending = false;
      }
      EmitLine(r, last_replacement, replaced_so_far, summary);
      if (r.kind == LineKind::kReplaced) replaced_so_far[r.key] = r.number;
    }
    // On Windows the reader itself stops there, so no record may reach it.
    if (windows_end_pending) WarnOfWindowsEnd(windows_end);
  }

 private:
  void Say(std::size_t line, const char* severity, const std::string& what) {
    out_.push_back(path_ + ":" + std::to_string(line) + ": " + severity + ": " +
                   what);
  }
  void Say(const LineRecord& r, const char* severity, const std::string& what) {
    Say(r.number, severity, what);
  }

  void WarnOfWindowsEnd(std::size_t line) {
    Say(line, "warning",
        "a Ctrl-Z byte, at which Windows ends the file: there, nothing "
        "after it is read");
  }

  void Reject(const LineRecord& r, const std::string& what,
              FileSummary& summary) {
    Say(r, "error", what);
    ++summary.rejected;
  }

  void EmitLine(const LineRecord& r,
                const std::map<std::string, std::size_t>& last_replacement,
                const std::map<std::string, std::size_t>& replaced_so_far,
                FileSummary& summary) {
    const std::string malformed = "malformed entry for " + Quoted(r.key) + ": ";
    switch (r.kind) {
      case LineKind::kBlank:
      case LineKind::kEntry:
        return;
      case LineKind::kComment:
        if (r.looks_like_entry) {
          Reject(r,
                 "\"//\" on the line makes it a comment, so its text "
                 "never takes effect",
                 summary);
        }
        return;
      case LineKind::kNoColon:
        if (r.looks_like_entry) {
          Reject(r,
                 "no ':' on the line, so it is not read as an entry "
                 "(write KEY : \"text\")",
                 summary);
        } else {
          Say(r, "warning", "neither an entry nor a comment; skipped");
        }
        return;
      case LineKind::kNulByte:
        Reject(r, "malformed entry: the line holds a NUL byte", summary);
        return;
      case LineKind::kUnknownKey: {
        ++summary.unknown_keys;
        std::string nearest = NearestKey(catalogue_.keys, r.key);
        Say(r, "error",
            "unknown key " + Quoted(r.key) +
                (nearest.empty() ? std::string()
                                 : "; did you mean " + Quoted(nearest) + "?"));
        return;
      }
      case LineKind::kNoQuote:
        Reject(r, malformed + "no double-quoted text", summary);
        return;
      case LineKind::kNoClosingQuote:
        Reject(r, malformed + "the text has no closing double quote", summary);
        return;
      case LineKind::kTextAfterQuote:
        Reject(r, malformed + "characters after the closing double quote",
               summary);
        return;
      case LineKind::kIncompatible:
        Reject(r, IncompatibleText(r), summary);
        return;
      case LineKind::kUnchanged: {
        ++summary.unchanged;
        auto earlier = replaced_so_far.find(r.key);
        std::string what = "text for " + Quoted(r.key) +
                           " equals the catalogue's; the line changes nothing";
        if (earlier != replaced_so_far.end()) {
          what += ", and does not undo line " + std::to_string(earlier->second);
        }
        Say(r, "note", what);
        return;
      }
      case LineKind::kReplaced:
        ++summary.replaced;
        EmitReplaced(r, last_replacement);
        return;
    }
  }

  void EmitReplaced(const LineRecord& r,
                    const std::map<std::string, std::size_t>& last) {
    std::size_t winner = last.at(r.key);
    if (winner != r.number) {
      Say(r, "warning",
          "key " + Quoted(r.key) + " stands again on line " +
              std::to_string(winner) + ", whose text wins over this one");
    }
    if (r.verdict.result == Compatibility::kFewerArguments) {
      Say(r, "warning",
          "text for " + Quoted(r.key) +
              " uses fewer conversions than the catalogue's: argument " +
              std::to_string(r.verdict.argument) + " (" +
              r.verdict.catalogue_conversion +
              ") and any after it are passed but not shown");
    }
  }

  const std::string& path_;
  const MasterCatalogue& catalogue_;
  std::vector<std::string>& out_;
};

}  // namespace

FileSummary CheckMessageFile(const std::string& path,
                             const MasterCatalogue& catalogue,
                             std::vector<std::string>& diagnostics) {
  FileSummary summary;
  std::vector<LineRecord> records;
  MessageMap scratch;
  msgreport::ReadResult result = msgreport::ReadMessageLines(
      path.c_str(), catalogue.texts, scratch, [&](const LineOutcome& outcome) {
        LineRecord record;
        record.number = outcome.line_number;
        record.kind = outcome.kind;
        record.key.assign(outcome.key);
        record.verdict = outcome.verdict;
        record.looks_like_entry = LooksLikeEntry(outcome, catalogue.texts);
        records.push_back(std::move(record));
      });
  if (result != msgreport::ReadResult::kRead) return summary;
  summary.readable = true;
  summary.lines = records.size();
  Reporter(path, catalogue, diagnostics)
      .Emit(records, LineOfWindowsEndOfFile(path), summary);
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
