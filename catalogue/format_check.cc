#include "catalogue/format_check.h"

#include <algorithm>
#include <array>
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

// The length modifiers, longest first so that "hh" is not read as "h". Each
// has a bit, so that a conversion rule can name the set it allows; "-"
// stands for no modifier.
struct LengthModifier {
  std::string_view text;
  unsigned bit;
};

constexpr LengthModifier kNoModifier = {"", 1u << 0};
constexpr LengthModifier kLengthModifiers[] = {
    {"hh", 1u << 1}, {"h", 1u << 2}, {"ll", 1u << 3}, {"l", 1u << 4},
    {"L", 1u << 5},  {"j", 1u << 6}, {"z", 1u << 7},  {"t", 1u << 8},
};

// The bits of a space-separated list of modifiers, at compile time.
constexpr unsigned Lengths(std::string_view names) {
  unsigned bits = 0;
  for (std::size_t at = 0; at < names.size();) {
    std::size_t end = names.find(' ', at);
    if (end == std::string_view::npos) end = names.size();
    std::string_view name = names.substr(at, end - at);
    if (name == "-") bits |= kNoModifier.bit;
    for (const LengthModifier& modifier : kLengthModifiers) {
      // std::accumulate is not constexpr before C++20.
      // cppcheck-suppress useStlAlgorithm
      if (modifier.text == name) bits |= modifier.bit;
    }
    at = end + 1;
  }
  return bits;
}

// The conversions a message text may hold: the letters, the length
// modifiers each allows, and the kind of argument it reads. Anything else,
// the C library's extensions included, is malformed.
struct ConversionRule {
  std::string_view letters;
  unsigned lengths;
  ArgumentKind kind;
};

constexpr ConversionRule kConversionRules[] = {
    {"diouxX", Lengths("- hh h l ll j z t"), ArgumentKind::kInteger},
    {"c", Lengths("-"), ArgumentKind::kInteger},
    // %lc reads a wint_t, which is not an int on every platform.
    {"c", Lengths("l"), ArgumentKind::kWideChar},
    {"fFeEgGaA", Lengths("- l L"), ArgumentKind::kFloating},
    {"s", Lengths("- l"), ArgumentKind::kString},
    {"p", Lengths("-"), ArgumentKind::kPointer},
};

// For each letter, a bit per rule that names it, so that a conversion
// finds its rules by indexing instead of searching.
constexpr std::array<unsigned, 128> RulesByLetter() {
  std::array<unsigned, 128> rules{};
  for (std::size_t i = 0; i < std::size(kConversionRules); ++i) {
    for (char letter : kConversionRules[i].letters) {
      rules[static_cast<unsigned char>(letter)] |= 1u << i;
    }
  }
  return rules;
}
constexpr std::array<unsigned, 128> kRulesByLetter = RulesByLetter();

std::optional<ArgumentKind> KindOf(char letter,
                                   const LengthModifier& modifier) {
  auto index = static_cast<unsigned char>(letter);
  unsigned rules = index < kRulesByLetter.size() ? kRulesByLetter[index] : 0;
  for (std::size_t i = 0; rules != 0; ++i, rules >>= 1) {
    if ((rules & 1u) != 0 && (kConversionRules[i].lengths & modifier.bit)) {
      return kConversionRules[i].kind;
    }
  }
  return std::nullopt;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsFlag(char c) {
  return c == '-' || c == '+' || c == ' ' || c == '#' || c == '0';
}

bool StartsLengthModifier(char c) {
  return c == 'h' || c == 'l' || c == 'L' || c == 'j' || c == 'z' || c == 't';
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
//   while (const Conversion* conversion = scanner.Next()) ...
//   if (scanner.problem() != FormatProblem::kNone) ... scanner.problem_at()
//
// Literal text and "%%" are passed over, and a NUL ends the format as it
// would end printf's reading. Scanning stops at the first problem.
class ConversionScanner {
 public:
  explicit ConversionScanner(std::string_view format) : format_(format) {}

  // The next conversion, valid until the next call; null at the end of the
  // format or at its first problem.
  const Conversion* Next() {
    while (problem_ == FormatProblem::kNone) {
      std::size_t percent = format_.find('%', next_);
      if (percent == std::string_view::npos ||
          format_.substr(next_, percent - next_).find('\0') !=
              std::string_view::npos) {
        next_ = format_.size();
        return nullptr;
      }
      start_ = percent;
      cursor_ = percent + 1;
      if (Peek() == '%') {
        next_ = cursor_ + 1;
        continue;
      }
      const Conversion* conversion = ScanConversion();
      next_ = cursor_;
      return conversion;
    }
    return nullptr;
  }

  FormatProblem problem() const { return problem_; }
  // Where the conversion with the problem starts.
  std::size_t problem_at() const { return start_; }

 private:
  char Peek() const {
    return cursor_ < format_.size() ? format_[cursor_] : '\0';
  }

  // Notes the first problem; scanning stops there.
  std::nullopt_t Fail(FormatProblem problem) {
    problem_ = problem;
    return std::nullopt;
  }
  const Conversion* Stop(FormatProblem problem) {
    problem_ = problem;
    return nullptr;
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

  const LengthModifier& ScanLength() {
    // Most conversions have none.
    if (!StartsLengthModifier(Peek())) return kNoModifier;
    std::string_view rest = format_.substr(cursor_);
    const LengthModifier* end = std::end(kLengthModifiers);
    const LengthModifier* modifier = std::find_if(
        std::begin(kLengthModifiers), end,
        [rest](const LengthModifier& candidate) {
          return rest.substr(0, candidate.text.size()) == candidate.text;
        });
    if (modifier == end) return kNoModifier;
    cursor_ += modifier->text.size();
    return *modifier;
  }

  // Reads the conversion at start_ into current_; null at a problem.
  const Conversion* ScanConversion() {
    if (ReadDigits().positional) return Stop(FormatProblem::kPositional);
    cursor_ = start_ + 1;  // the digits were a width; read them again below
    while (IsFlag(Peek())) ++cursor_;
    Conversion& conversion = current_;
    conversion = Conversion();
    std::optional<Field> width = ScanField();
    if (!width) return nullptr;
    conversion.star_width = width->kind == Field::Kind::kStar;
    if (Peek() == '.') {
      ++cursor_;
      std::optional<Field> precision = ScanField();
      if (!precision) return nullptr;
      // "%.s" has a precision of zero.
      if (precision->kind == Field::Kind::kNone) {
        precision->kind = Field::Kind::kLiteral;
      }
      conversion.precision = *precision;
      conversion.star_precision = precision->kind == Field::Kind::kStar;
    }
    const LengthModifier& length = ScanLength();
    conversion.length = length.text;
    char letter = Peek();
    if (letter == '\0') return Stop(FormatProblem::kMalformed);
    ++cursor_;
    if (letter == 'n') return Stop(FormatProblem::kWritesCount);
    std::optional<ArgumentKind> kind = KindOf(letter, length);
    if (!kind) return Stop(FormatProblem::kMalformed);
    conversion.kind = *kind;
    conversion.text = format_.substr(start_, cursor_ - start_);
    return &conversion;
  }

  std::string_view format_;
  std::size_t next_ = 0;    // where the search for the next '%' goes on
  std::size_t start_ = 0;   // the conversion being read
  std::size_t cursor_ = 0;  // within it
  FormatProblem problem_ = FormatProblem::kNone;
  Conversion current_;
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
    if (conversion_ == nullptr || step_ == kDone) {
      conversion_ = scanner_.Next();
      if (conversion_ == nullptr) return std::nullopt;
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
  const Conversion* conversion_ = nullptr;
  Step step_ = kDone;
};

// The modifier that decides what type an argument is read as. An int
// argument is promoted before printf sees it, so h and hh read the same int
// as no modifier does (and only convert the value); l means nothing to a
// floating conversion, which reads a double either way. Every other
// modifier reads a type whose size differs on some platform.
std::string_view ReadLength(const ArgumentView& argument) {
  bool promoted =
      (argument.kind == ArgumentKind::kInteger &&
       (argument.length == "h" || argument.length == "hh")) ||
      (argument.kind == ArgumentKind::kFloating && argument.length == "l");
  return promoted ? std::string_view() : argument.length;
}

bool ReadAlike(const ArgumentView& a, const ArgumentView& b) {
  return a.kind == b.kind && ReadLength(a) == ReadLength(b);
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
