#include "catalogue/format_check.h"

#include <cstring>

namespace msgreport {
namespace {

// A message is at most 1,023 characters, so a wider field only burns time
// padding output that is cut anyway; a file has no business asking for one.
constexpr unsigned long kLargestField = 1024;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

class FormatScanner {
 public:
  FormatScanner(const char* format, std::size_t length)
      : format_(format), end_(format + length) {}

  ParsedFormat Scan() {
    for (const char* p = format_; p < end_ && *p != '\0'; ++p) {
      if (*p != '%') continue;
      start_ = p;
      cursor_ = p + 1;
      if (Peek() == '%') {
        p = cursor_;
        continue;
      }
      if (!ScanConversion()) {
        parsed_.problem_offset = static_cast<std::size_t>(start_ - format_);
        break;
      }
      p = cursor_ - 1;
    }
    return std::move(parsed_);
  }

 private:
  char Peek() const { return cursor_ < end_ ? *cursor_ : '\0'; }

  bool Fail(FormatProblem problem) {
    parsed_.problem = problem;
    return false;
  }

  // Reads a run of digits; true if it stood directly before a '$'.
  bool SkipDigitsBeforeDollar(unsigned long& value) {
    value = 0;
    while (IsDigit(Peek())) {
      if (value <= kLargestField) {
        value = value * 10 + static_cast<unsigned long>(Peek() - '0');
      }
      ++cursor_;
    }
    return Peek() == '$';
  }

  // A width or precision: '*' (one int argument) or digits.
  bool ScanField(std::vector<FormatArgument>& stars) {
    unsigned long value = 0;
    if (Peek() == '*') {
      ++cursor_;
      if (SkipDigitsBeforeDollar(value))
        return Fail(FormatProblem::kPositional);
      if (value != 0 || IsDigit(cursor_[-1])) {
        return Fail(FormatProblem::kMalformed);
      }
      stars.push_back({ArgumentKind::kInteger, "", ""});
      return true;
    }
    SkipDigitsBeforeDollar(value);
    if (value > kLargestField) return Fail(FormatProblem::kOversizedField);
    return true;
  }

  std::string ScanLength() {
    const char* from = cursor_;
    char c = Peek();
    if (c == 'h' || c == 'l') {
      bool doubled = cursor_ + 1 < end_ && cursor_[1] == c;  // hh, ll
      cursor_ += doubled ? 2 : 1;
    } else if (c == 'L' || c == 'j' || c == 'z' || c == 't') {
      ++cursor_;
    }
    return std::string(from, cursor_);
  }

  bool ScanConversion() {
    unsigned long position = 0;
    if (SkipDigitsBeforeDollar(position))
      return Fail(FormatProblem::kPositional);
    cursor_ = start_ + 1;  // the digits were a width; read them again below

    while (std::strchr("-+ #0", Peek()) != nullptr && Peek() != '\0') {
      ++cursor_;
    }
    std::vector<FormatArgument> stars;
    if (!ScanField(stars)) return false;
    if (Peek() == '.') {
      ++cursor_;
      if (!ScanField(stars)) return false;
    }
    std::string length = ScanLength();
    char conversion = Peek();
    if (conversion == '\0') return Fail(FormatProblem::kMalformed);
    ++cursor_;

    ArgumentKind kind;
    if (!Classify(conversion, length, kind)) return false;

    std::string text(start_, cursor_);
    for (FormatArgument& star : stars) {
      star.conversion = text;
      parsed_.arguments.push_back(std::move(star));
    }
    parsed_.arguments.push_back({kind, std::move(length), std::move(text)});
    return true;
  }

  bool Classify(char conversion, const std::string& length,
                ArgumentKind& kind) {
    if (conversion == 'n') return Fail(FormatProblem::kWritesCount);
    if (std::strchr("diouxX", conversion) != nullptr) {
      kind = ArgumentKind::kInteger;
      if (length == "L") return Fail(FormatProblem::kMalformed);
      return true;
    }
    if (conversion == 'c') {
      // %lc reads a wint_t, which is not an int on every platform.
      kind = length.empty() ? ArgumentKind::kInteger : ArgumentKind::kWideChar;
      if (length != "" && length != "l") return Fail(FormatProblem::kMalformed);
      return true;
    }
    if (std::strchr("fFeEgGaA", conversion) != nullptr) {
      kind = ArgumentKind::kFloating;
      if (length != "" && length != "l" && length != "L") {
        return Fail(FormatProblem::kMalformed);
      }
      return true;
    }
    if (conversion == 's') {
      kind = ArgumentKind::kString;
      if (length != "" && length != "l") return Fail(FormatProblem::kMalformed);
      return true;
    }
    if (conversion == 'p') {
      kind = ArgumentKind::kPointer;
      if (!length.empty()) return Fail(FormatProblem::kMalformed);
      return true;
    }
    return Fail(FormatProblem::kMalformed);
  }

  const char* format_;
  const char* end_;
  const char* start_ = nullptr;
  const char* cursor_ = nullptr;
  ParsedFormat parsed_;
};

bool ReadAlike(const FormatArgument& a, const FormatArgument& b) {
  return a.kind == b.kind && a.length == b.length;
}

}  // namespace

ParsedFormat ParseFormat(const char* format, std::size_t length) {
  return FormatScanner(format, length).Scan();
}

ParsedFormat ParseFormat(const char* format) {
  return ParseFormat(format, std::strlen(format));
}

CompatibilityVerdict CheckCompatibility(const char* catalogue,
                                        const char* replacement,
                                        std::size_t replacement_length) {
  CompatibilityVerdict verdict;
  ParsedFormat theirs = ParseFormat(replacement, replacement_length);
  if (theirs.problem != FormatProblem::kNone) {
    verdict.result = Compatibility::kUnsafeReplacement;
    verdict.problem = theirs.problem;
    const char* at = replacement + theirs.problem_offset;
    std::size_t rest = replacement_length - theirs.problem_offset;
    verdict.replacement_conversion.assign(at, rest < 8 ? rest : 8);
    return verdict;
  }
  ParsedFormat ours = ParseFormat(catalogue);
  const std::vector<FormatArgument>& expected = ours.arguments;
  const std::vector<FormatArgument>& given = theirs.arguments;

  std::size_t common =
      expected.size() < given.size() ? expected.size() : given.size();
  for (std::size_t i = 0; i < common; ++i) {
    if (!ReadAlike(expected[i], given[i])) {
      verdict.result = Compatibility::kArgumentMismatch;
      verdict.argument = i + 1;
      verdict.catalogue_conversion = expected[i].conversion;
      verdict.replacement_conversion = given[i].conversion;
      return verdict;
    }
  }
  if (given.size() > expected.size()) {
    verdict.result = Compatibility::kMoreArguments;
    verdict.argument = common + 1;
    verdict.replacement_conversion = given[common].conversion;
  } else if (given.size() < expected.size()) {
    verdict.result = Compatibility::kFewerArguments;
    verdict.argument = common + 1;
    verdict.catalogue_conversion = expected[common].conversion;
  }
  return verdict;
}

}  // namespace msgreport
