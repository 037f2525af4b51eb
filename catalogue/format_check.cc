#include "catalogue/format_check.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <optional>
#include <string_view>

#include "catalogue/message_limits.h"

namespace msgreport {
namespace {

// A message is cut to fit its buffer, so a wider field only burns time
// padding output that is cut anyway; a file has no business asking for one.
constexpr unsigned long kLargestField = kMessageCapacity;

// How much of a replacement a verdict quotes from where its problem starts.
constexpr std::size_t kExcerptLength = 8;

// The length modifiers, longest first so that "hh" is not read as "h".
constexpr std::string_view kLengthModifiers[] = {"hh", "h", "ll", "l",
                                                 "L",  "j", "z",  "t"};

// The conversions a message text may hold: the letters, the length
// modifiers each allows ("-" for none), and the kind of argument it reads.
// Anything else, the C library's extensions included, is malformed.
struct ConversionRule {
  std::string_view letters;
  std::string_view lengths;
  ArgumentKind kind;
};

constexpr ConversionRule kConversionRules[] = {
    {"diouxX", "- hh h l ll j z t", ArgumentKind::kInteger},
    {"c", "-", ArgumentKind::kInteger},
    // %lc reads a wint_t, which is not an int on every platform.
    {"c", "l", ArgumentKind::kWideChar},
    {"fFeEgGaA", "- l L", ArgumentKind::kFloating},
    {"s", "- l", ArgumentKind::kString},
    {"p", "-", ArgumentKind::kPointer},
};

bool Allows(std::string_view lengths, std::string_view length) {
  if (length.empty()) length = "-";
  for (std::size_t at = 0; at < lengths.size();) {
    std::size_t end = lengths.find(' ', at);
    if (end == std::string_view::npos) end = lengths.size();
    if (lengths.substr(at, end - at) == length) return true;
    at = end + 1;
  }
  return false;
}

std::optional<ArgumentKind> KindOf(char letter, std::string_view length) {
  const ConversionRule* end = std::end(kConversionRules);
  const ConversionRule* rule = std::find_if(
      std::begin(kConversionRules), end, [&](const ConversionRule& candidate) {
        return candidate.letters.find(letter) != std::string_view::npos &&
               Allows(candidate.lengths, length);
      });
  if (rule == end) return std::nullopt;
  return rule->kind;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsFlag(char c) {
  return c == '-' || c == '+' || c == ' ' || c == '#' || c == '0';
}

// One conversion of a format: the arguments it reads, in order, are an int
// for a '*' width, an int for a '*' precision, then its value.
struct Conversion {
  std::string_view text;  // "%" to the conversion letter
  bool star_width = false;
  bool star_precision = false;
  ArgumentKind kind = ArgumentKind::kInteger;
  std::string_view length;
  Field precision;
};

// Reads a printf format one conversion at a time, allocating nothing, so
// that set-up can check every line of a large message file cheaply:
//
//   ConversionScanner scanner(format);
//   while (std::optional<Conversion> conversion = scanner.Next()) ...
//   if (scanner.problem() != FormatProblem::kNone) ... scanner.problem_at()
//
// Literal text and "%%" are passed over, and a NUL ends the format as it
// would end printf's reading. Scanning stops at the first problem.
class ConversionScanner {
 public:
  explicit ConversionScanner(std::string_view format) : format_(format) {}

  std::optional<Conversion> Next() {
    while (problem_ == FormatProblem::kNone) {
      std::size_t percent = format_.find('%', next_);
      if (percent == std::string_view::npos ||
          format_.find('\0', next_) < percent) {
        next_ = format_.size();
        return std::nullopt;
      }
      start_ = percent;
      cursor_ = percent + 1;
      if (Peek() == '%') {
        next_ = cursor_ + 1;
        continue;
      }
      std::optional<Conversion> conversion = ScanConversion();
      next_ = cursor_;
      return conversion;
    }
    return std::nullopt;
  }

  FormatProblem problem() const { return problem_; }
  // Where the conversion with the problem starts.
  std::size_t problem_at() const { return start_; }

 private:
  char Peek() const {
    return cursor_ < format_.size() ? format_[cursor_] : '\0';
  }

  std::nullopt_t Fail(FormatProblem problem) {
    problem_ = problem;
    return std::nullopt;
  }

  struct Digits {
    unsigned long value = 0;  // stops growing past the largest field
    bool positional = false;  // a '$' follows
  };

  Digits ReadDigits() {
    Digits digits;
    while (IsDigit(Peek())) {
      if (digits.value <= kLargestField) {
        digits.value =
            digits.value * 10 + static_cast<unsigned long>(Peek() - '0');
      }
      ++cursor_;
    }
    digits.positional = Peek() == '$';
    return digits;
  }

  // A width or precision: '*' or digits, or nothing.
  std::optional<Field> ScanField() {
    Field field;
    if (Peek() == '*') {
      ++cursor_;
      std::size_t after_star = cursor_;
      if (ReadDigits().positional) return Fail(FormatProblem::kPositional);
      if (cursor_ != after_star) return Fail(FormatProblem::kMalformed);
      field.kind = Field::Kind::kStar;
      return field;
    }
    std::size_t before = cursor_;
    unsigned long value = ReadDigits().value;
    if (value > kLargestField) return Fail(FormatProblem::kOversizedField);
    if (cursor_ != before) {
      field.kind = Field::Kind::kLiteral;
      field.digits = value;
    }
    return field;
  }

  std::string_view ScanLength() {
    std::string_view rest = format_.substr(cursor_);
    const std::string_view* end = std::end(kLengthModifiers);
    const std::string_view* modifier = std::find_if(
        std::begin(kLengthModifiers), end, [rest](std::string_view candidate) {
          return rest.substr(0, candidate.size()) == candidate;
        });
    if (modifier == end) return {};
    cursor_ += modifier->size();
    return *modifier;
  }

  std::optional<Conversion> ScanConversion() {
    if (ReadDigits().positional) return Fail(FormatProblem::kPositional);
    cursor_ = start_ + 1;  // the digits were a width; read them again below
    while (IsFlag(Peek())) ++cursor_;
    Conversion conversion;
    std::optional<Field> width = ScanField();
    if (!width) return std::nullopt;
    conversion.star_width = width->kind == Field::Kind::kStar;
    if (Peek() == '.') {
      ++cursor_;
      std::optional<Field> precision = ScanField();
      if (!precision) return std::nullopt;
      // "%.s" has a precision of zero.
      if (precision->kind == Field::Kind::kNone) {
        precision->kind = Field::Kind::kLiteral;
      }
      conversion.precision = *precision;
      conversion.star_precision = precision->kind == Field::Kind::kStar;
    }
    conversion.length = ScanLength();
    char letter = Peek();
    if (letter == '\0') return Fail(FormatProblem::kMalformed);
    ++cursor_;
    if (letter == 'n') return Fail(FormatProblem::kWritesCount);
    std::optional<ArgumentKind> kind = KindOf(letter, conversion.length);
    if (!kind) return Fail(FormatProblem::kMalformed);
    conversion.kind = *kind;
    conversion.text = format_.substr(start_, cursor_ - start_);
    return conversion;
  }

  std::string_view format_;
  std::size_t next_ = 0;    // where the search for the next '%' goes on
  std::size_t start_ = 0;   // the conversion being read
  std::size_t cursor_ = 0;  // within it
  FormatProblem problem_ = FormatProblem::kNone;
};

// One argument a format reads, as views into the format.
struct ArgumentView {
  ArgumentKind kind = ArgumentKind::kInteger;
  std::string_view length;
  std::string_view conversion;  // the whole conversion that reads it
  ArgumentRole role = ArgumentRole::kValue;
  Field precision;  // for values

  FormatArgument Owned() const {
    return {kind, std::string(length), std::string(conversion), role,
            precision};
  }
};

// The arguments of a format, one at a time, in the order printf reads them.
class ArgumentStream {
 public:
  explicit ArgumentStream(std::string_view format) : scanner_(format) {}

  std::optional<ArgumentView> Next() {
    if (!conversion_ || step_ == kDone) {
      conversion_ = scanner_.Next();
      if (!conversion_) return std::nullopt;
      step_ = kWidth;
    }
    const Conversion& c = *conversion_;
    ArgumentView star{
        ArgumentKind::kInteger, {}, c.text, ArgumentRole::kStarWidth, {}};
    if (step_ == kWidth) {
      step_ = kPrecision;
      if (c.star_width) return star;
    }
    if (step_ == kPrecision) {
      step_ = kValue;
      star.role = ArgumentRole::kStarPrecision;
      if (c.star_precision) return star;
    }
    step_ = kDone;
    return ArgumentView{c.kind, c.length, c.text, ArgumentRole::kValue,
                        c.precision};
  }

  // The problem that ended the stream, if any, scanning on for it.
  FormatProblem ProblemAhead() {
    while (Next()) {
      // every argument is fine; only a problem matters here
    }
    return scanner_.problem();
  }

  FormatProblem problem() const { return scanner_.problem(); }
  std::size_t problem_at() const { return scanner_.problem_at(); }

 private:
  enum Step { kWidth, kPrecision, kValue, kDone };
  ConversionScanner scanner_;
  std::optional<Conversion> conversion_;
  Step step_ = kDone;
};

bool ReadAlike(const ArgumentView& a, const ArgumentView& b) {
  return a.kind == b.kind && a.length == b.length;
}

// Whether `replacement` bounds a string at least as tightly as `catalogue`.
bool BoundsAsTightly(const Field& catalogue, const Field& replacement) {
  switch (catalogue.kind) {
    case Field::Kind::kNone:
      return true;
    case Field::Kind::kStar:
      return replacement.kind == Field::Kind::kStar;
    case Field::Kind::kLiteral:
      return replacement.kind == Field::Kind::kLiteral &&
             replacement.digits <= catalogue.digits;
  }
  return false;
}

// How the replacement's reading of an argument compares with the catalogue
// text's reading of the same argument.
Compatibility Fit(const ArgumentView& catalogue,
                  const ArgumentView& replacement) {
  if (!ReadAlike(catalogue, replacement)) {
    return Compatibility::kArgumentMismatch;
  }
  if (replacement.role != ArgumentRole::kValue &&
      catalogue.role == ArgumentRole::kValue) {
    return Compatibility::kUnboundedField;
  }
  if (catalogue.kind == ArgumentKind::kString &&
      catalogue.role == ArgumentRole::kValue &&
      !BoundsAsTightly(catalogue.precision, replacement.precision)) {
    return Compatibility::kLooserPrecision;
  }
  return Compatibility::kCompatible;
}

CompatibilityVerdict Unsafe(const ArgumentStream& replacement,
                            std::string_view text) {
  CompatibilityVerdict verdict;
  verdict.result = Compatibility::kUnsafeReplacement;
  verdict.problem = replacement.problem();
  verdict.replacement_conversion =
      std::string(text.substr(replacement.problem_at(), kExcerptLength));
  return verdict;
}

}  // namespace

ParsedFormat ParseFormat(const char* format, std::size_t length) {
  ParsedFormat parsed;
  ArgumentStream stream(std::string_view(format, length));
  while (std::optional<ArgumentView> argument = stream.Next()) {
    parsed.arguments.push_back(argument->Owned());
  }
  parsed.problem = stream.problem();
  if (parsed.problem != FormatProblem::kNone) {
    parsed.problem_offset = stream.problem_at();
  }
  return parsed;
}

ParsedFormat ParseFormat(const char* format) {
  return ParseFormat(format, std::strlen(format));
}

CompatibilityVerdict CheckCompatibility(const char* catalogue,
                                        const char* replacement,
                                        std::size_t replacement_length) {
  std::string_view replacement_text(replacement, replacement_length);
  ArgumentStream replacement_arguments(replacement_text);
  // A catalogue text is trusted only up to its first problem.
  ArgumentStream catalogue_arguments(catalogue);
  CompatibilityVerdict verdict;
  for (std::size_t argument = 1;; ++argument) {
    std::optional<ArgumentView> read = replacement_arguments.Next();
    std::optional<ArgumentView> passed = catalogue_arguments.Next();
    if (!read) {
      if (replacement_arguments.problem() != FormatProblem::kNone) {
        return Unsafe(replacement_arguments, replacement_text);
      }
      if (passed) {
        verdict.result = Compatibility::kFewerArguments;
        verdict.argument = argument;
        verdict.catalogue_conversion = std::string(passed->conversion);
      }
      return verdict;
    }
    verdict.result =
        passed ? Fit(*passed, *read) : Compatibility::kMoreArguments;
    if (verdict.result == Compatibility::kCompatible) continue;
    verdict.argument = argument;
    if (passed) verdict.catalogue_conversion = std::string(passed->conversion);
    verdict.replacement_conversion = std::string(read->conversion);
    // What a replacement must never hold outweighs a mismatch before it.
    if (replacement_arguments.ProblemAhead() != FormatProblem::kNone) {
      return Unsafe(replacement_arguments, replacement_text);
    }
    return verdict;
  }
}

}  // namespace msgreport
