#include "catalogue/format_check.h"

#include <cstring>
#include <string_view>

#include "catalogue/message_limits.h"

namespace msgreport {
namespace {

// A message is cut to fit its buffer, so a wider field only burns time
// padding output that is cut anyway; a file has no business asking for one.
constexpr unsigned long kLargestField = kMessageCapacity;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsFlag(char c) {
  return c == '-' || c == '+' || c == ' ' || c == '#' || c == '0';
}

bool IsIntegerConversion(char c) {
  return c == 'd' || c == 'i' || c == 'o' || c == 'u' || c == 'x' || c == 'X';
}

bool IsFloatingConversion(char c) {
  switch (c) {
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
    case 'a':
    case 'A':
      return true;
    default:
      return false;
  }
}

// One argument a conversion consumes, as views into the format.
struct ArgumentView {
  ArgumentKind kind = ArgumentKind::kInteger;
  const char* length = "";      // a static string: "", "h", "ll", ...
  const char* begin = nullptr;  // the whole conversion, "%" to its letter
  const char* end = nullptr;
  ArgumentRole role = ArgumentRole::kValue;
  Field precision;

  std::string conversion() const { return std::string(begin, end); }
  FormatArgument Owned() const {
    return {kind, length, conversion(), role, precision};
  }
};

bool ReadAlike(const ArgumentView& a, const ArgumentView& b) {
  return a.kind == b.kind && std::strcmp(a.length, b.length) == 0;
}

// Whether `given` bounds a string at least as tightly as `expected`.
bool BoundsAsTightly(const Field& expected, const Field& given) {
  switch (expected.kind) {
    case Field::Kind::kNone:
      return true;
    case Field::Kind::kStar:
      return given.kind == Field::Kind::kStar;
    case Field::Kind::kLiteral:
      return given.kind == Field::Kind::kLiteral &&
             given.digits <= expected.digits;
  }
  return false;
}

// How `given`, the replacement's reading of an argument, compares with
// `expected`, the catalogue text's reading of the same argument.
Compatibility Fit(const ArgumentView& expected, const ArgumentView& given) {
  if (!ReadAlike(expected, given)) return Compatibility::kArgumentMismatch;
  if (given.role != ArgumentRole::kValue &&
      expected.role == ArgumentRole::kValue) {
    return Compatibility::kUnboundedField;
  }
  if (expected.kind == ArgumentKind::kString &&
      expected.role == ArgumentRole::kValue &&
      !BoundsAsTightly(expected.precision, given.precision)) {
    return Compatibility::kLooserPrecision;
  }
  return Compatibility::kCompatible;
}

// Walks a format one consumed argument at a time, allocating nothing, so
// that set-up can check every line of a large message file cheaply.
class FormatScanner {
 public:
  enum class Step { kArgument, kEnd, kProblem };

  FormatScanner(const char* format, std::size_t length)
      : format_(format), next_(format), end_(format + length) {}

  Step Next(ArgumentView& argument) {
    if (pending_ == queued_) {
      pending_ = queued_ = 0;
      if (!ScanToNextConversion()) return done_;
    }
    argument = queue_[pending_++];
    return Step::kArgument;
  }

  FormatProblem problem() const { return problem_; }
  std::size_t problem_offset() const {
    return static_cast<std::size_t>(start_ - format_);
  }

 private:
  char Peek() const { return cursor_ < end_ ? *cursor_ : '\0'; }

  bool Fail(FormatProblem problem) {
    problem_ = problem;
    done_ = Step::kProblem;
    return false;
  }

  // Finds the next conversion that consumes arguments and queues them.
  bool ScanToNextConversion() {
    while (next_ < end_) {
      const void* percent =
          std::memchr(next_, '%', static_cast<std::size_t>(end_ - next_));
      if (percent == nullptr) break;
      // A NUL ends the format, as it would end printf's reading.
      const void* nul = std::memchr(
          next_, '\0',
          static_cast<std::size_t>(static_cast<const char*>(percent) - next_));
      if (nul != nullptr) break;
      next_ = static_cast<const char*>(percent);
      start_ = next_;
      cursor_ = next_ + 1;
      if (Peek() == '%') {
        next_ = cursor_ + 1;
        continue;
      }
      if (!ScanConversion()) {
        next_ = end_;
        return false;
      }
      next_ = cursor_;
      return true;
    }
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

  // A width or precision: '*' (one int argument) or digits, which `bound`
  // receives.
  bool ScanField(ArgumentRole star_role, Field& bound) {
    unsigned long value = 0;
    if (Peek() == '*') {
      ++cursor_;
      const char* after_star = cursor_;
      if (SkipDigitsBeforeDollar(value)) {
        return Fail(FormatProblem::kPositional);
      }
      if (cursor_ != after_star) return Fail(FormatProblem::kMalformed);
      ArgumentView star;
      star.role = star_role;
      queue_[queued_++] = star;
      bound.kind = Field::Kind::kStar;
      return true;
    }
    SkipDigitsBeforeDollar(value);
    if (value > kLargestField) return Fail(FormatProblem::kOversizedField);
    bound.kind = Field::Kind::kLiteral;
    bound.digits = value;
    return true;
  }

  const char* ScanLength() {
    char c = Peek();
    if (c == 'h' || c == 'l') {
      bool doubled = cursor_ + 1 < end_ && cursor_[1] == c;  // hh, ll
      cursor_ += doubled ? 2 : 1;
      if (c == 'h') return doubled ? "hh" : "h";
      return doubled ? "ll" : "l";
    }
    switch (c) {
      case 'L':
        ++cursor_;
        return "L";
      case 'j':
        ++cursor_;
        return "j";
      case 'z':
        ++cursor_;
        return "z";
      case 't':
        ++cursor_;
        return "t";
      default:
        return "";
    }
  }

  bool ScanConversion() {
    unsigned long position = 0;
    if (SkipDigitsBeforeDollar(position)) {
      return Fail(FormatProblem::kPositional);
    }
    cursor_ = start_ + 1;  // the digits were a width; read them again below

    while (IsFlag(Peek())) ++cursor_;
    Field width;  // only its size is checked
    if (!ScanField(ArgumentRole::kStarWidth, width)) return false;
    Field precision;
    if (Peek() == '.') {
      ++cursor_;
      if (!ScanField(ArgumentRole::kStarPrecision, precision)) return false;
    }
    const char* length = ScanLength();
    char conversion = Peek();
    if (conversion == '\0') return Fail(FormatProblem::kMalformed);
    ++cursor_;

    ArgumentKind kind = ArgumentKind::kInteger;
    if (!Classify(conversion, length, kind)) return false;
    // Stars and the value all name the whole conversion in messages.
    for (std::size_t i = 0; i < queued_; ++i) {
      queue_[i].begin = start_;
      queue_[i].end = cursor_;
    }
    queue_[queued_++] = ArgumentView{
        kind, length, start_, cursor_, ArgumentRole::kValue, precision};
    return true;
  }

  bool Classify(char conversion, const char* length, ArgumentKind& kind) {
    std::string_view modifier = length;
    if (conversion == 'n') return Fail(FormatProblem::kWritesCount);
    if (IsIntegerConversion(conversion)) {
      kind = ArgumentKind::kInteger;
      if (modifier == "L") return Fail(FormatProblem::kMalformed);
      return true;
    }
    if (conversion == 'c') {
      // %lc reads a wint_t, which is not an int on every platform.
      kind =
          modifier.empty() ? ArgumentKind::kInteger : ArgumentKind::kWideChar;
      if (!modifier.empty() && modifier != "l") {
        return Fail(FormatProblem::kMalformed);
      }
      return true;
    }
    if (IsFloatingConversion(conversion)) {
      kind = ArgumentKind::kFloating;
      if (!modifier.empty() && modifier != "l" && modifier != "L") {
        return Fail(FormatProblem::kMalformed);
      }
      return true;
    }
    if (conversion == 's') {
      kind = ArgumentKind::kString;
      if (!modifier.empty() && modifier != "l") {
        return Fail(FormatProblem::kMalformed);
      }
      return true;
    }
    if (conversion == 'p') {
      kind = ArgumentKind::kPointer;
      if (!modifier.empty()) return Fail(FormatProblem::kMalformed);
      return true;
    }
    return Fail(FormatProblem::kMalformed);
  }

  const char* format_;
  const char* next_;  // where the search for the next conversion goes on
  const char* end_;
  const char* start_ = nullptr;   // the conversion being read
  const char* cursor_ = nullptr;  // within it
  Step done_ = Step::kEnd;
  FormatProblem problem_ = FormatProblem::kNone;
  // A conversion consumes up to three arguments: two stars and its value.
  ArgumentView queue_[3];
  std::size_t queued_ = 0;
  std::size_t pending_ = 0;
};

}  // namespace

ParsedFormat ParseFormat(const char* format, std::size_t length) {
  ParsedFormat parsed;
  FormatScanner scanner(format, length);
  ArgumentView argument;
  FormatScanner::Step step;
  while ((step = scanner.Next(argument)) == FormatScanner::Step::kArgument) {
    parsed.arguments.push_back(argument.Owned());
  }
  if (step == FormatScanner::Step::kProblem) {
    parsed.problem = scanner.problem();
    parsed.problem_offset = scanner.problem_offset();
  }
  return parsed;
}

ParsedFormat ParseFormat(const char* format) {
  return ParseFormat(format, std::strlen(format));
}

namespace {

CompatibilityVerdict Unsafe(const FormatScanner& scanner,
                            const char* replacement, std::size_t length) {
  CompatibilityVerdict verdict;
  verdict.result = Compatibility::kUnsafeReplacement;
  verdict.problem = scanner.problem();
  std::size_t offset = scanner.problem_offset();
  std::size_t rest = length - offset;
  verdict.replacement_conversion.assign(replacement + offset,
                                        rest < 8 ? rest : 8);
  return verdict;
}

}  // namespace

CompatibilityVerdict CheckCompatibility(const char* catalogue,
                                        const char* replacement,
                                        std::size_t replacement_length) {
  using Step = FormatScanner::Step;
  CompatibilityVerdict verdict;
  ArgumentView given;
  ArgumentView expected;
  FormatScanner theirs(replacement, replacement_length);
  FormatScanner ours(catalogue, std::strlen(catalogue));
  for (std::size_t argument = 1;; ++argument) {
    Step step = theirs.Next(given);
    if (step == Step::kProblem) {
      return Unsafe(theirs, replacement, replacement_length);
    }
    // A catalogue text is trusted only up to its first problem.
    bool has_expected = ours.Next(expected) == Step::kArgument;
    if (step == Step::kEnd) {
      if (has_expected) {
        verdict.result = Compatibility::kFewerArguments;
        verdict.argument = argument;
        verdict.catalogue_conversion = expected.conversion();
      }
      return verdict;
    }
    if (!has_expected) {
      verdict.result = Compatibility::kMoreArguments;
      verdict.replacement_conversion = given.conversion();
    } else {
      verdict.result = Fit(expected, given);
      if (verdict.result == Compatibility::kCompatible) continue;
      verdict.catalogue_conversion = expected.conversion();
      verdict.replacement_conversion = given.conversion();
    }
    verdict.argument = argument;
    // What a replacement must never hold outweighs a mismatch before it.
    while ((step = theirs.Next(given)) == Step::kArgument) {
    }
    if (step == Step::kProblem) {
      return Unsafe(theirs, replacement, replacement_length);
    }
    return verdict;
  }
}

}  // namespace msgreport
