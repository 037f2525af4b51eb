#include "catalogue/conversion_scanner.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "catalogue/byte_marks.h"

namespace msgreport {
namespace {

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

unsigned LengthBit(std::string_view length) {
  if (length.empty()) return kNoModifier.bit;
  const LengthModifier* end = std::end(kLengthModifiers);
  const LengthModifier* modifier = std::find_if(
      std::begin(kLengthModifiers), end,
      [length](const LengthModifier& m) { return m.text == length; });
  return modifier == end ? 0 : modifier->bit;
}

std::optional<ArgumentKind> KindOf(char letter, std::string_view length) {
  unsigned length_bit = LengthBit(length);
  auto index = static_cast<unsigned char>(letter);
  unsigned rules = index < kRulesByLetter.size() ? kRulesByLetter[index] : 0;
  for (std::size_t i = 0; rules != 0; ++i, rules >>= 1) {
    if ((rules & 1u) != 0 && (kConversionRules[i].lengths & length_bit)) {
      return kConversionRules[i].kind;
    }
  }
  return std::nullopt;
}

// For each letter, the kind it reads with no length modifier, as the first
// rule that names it and allows none says, counted from 1; 0 for any other
// byte.
constexpr std::array<int, 128> BareKindsByLetter() {
  std::array<int, 128> kinds{};
  for (const ConversionRule& rule : kConversionRules) {
    if ((rule.lengths & kNoModifier.bit) == 0) continue;
    for (char letter : rule.letters) {
      int& kind = kinds[static_cast<unsigned char>(letter)];
      if (kind == 0) kind = static_cast<int>(rule.kind) + 1;
    }
  }
  return kinds;
}
constexpr std::array<int, 128> kBareKindsByLetter = BareKindsByLetter();

std::optional<ArgumentKind> BareKindOf(char letter) {
  auto index = static_cast<unsigned char>(letter);
  if (index >= kBareKindsByLetter.size() || kBareKindsByLetter[index] == 0) {
    return std::nullopt;
  }
  return static_cast<ArgumentKind>(kBareKindsByLetter[index] - 1);
}

bool StartsLengthModifier(char c) {
  return c == 'h' || c == 'l' || c == 'L' || c == 'j' || c == 'z' || c == 't';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsFlag(char c) {
  return c == '-' || c == '+' || c == ' ' || c == '#' || c == '0';
}

}  // namespace

std::size_t NextConversionStart(std::string_view text, std::size_t from) {
  for (;;) {
    std::size_t percent = FindPercentOrNul(text, from);
    if (percent == text.size() || text[percent] == '\0') {
      return std::string_view::npos;
    }
    if (percent + 1 < text.size() && text[percent + 1] == '%') {
      from = percent + 2;
      continue;
    }
    return percent;
  }
}

const Conversion* ConversionScanner::Next() {
  if (problem_ != FormatProblem::kNone) return nullptr;
  std::size_t percent = NextConversionStart(format_, next_);
  if (percent == std::string_view::npos) {
    next_ = format_.size();
    return nullptr;
  }
  start_ = percent;
  cursor_ = percent + 1;
  const Conversion* conversion = ScanConversion();
  next_ = cursor_;
  return conversion;
}

ConversionScanner::Digits ConversionScanner::ReadDigits() {
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

// Every conversion of a text names its arguments' positions, or none does:
// printf cannot mix the two.
bool ConversionScanner::EnterMode(Mode mode) {
  if (mode == Mode::kPositional && !positions_allowed_) {
    problem_ = FormatProblem::kPositional;
    return false;
  }
  if (mode_ != Mode::kUnknown && mode_ != mode) {
    problem_ = FormatProblem::kMixedPositional;
    return false;
  }
  mode_ = mode;
  return true;
}

// "N$" after a '%' or a '*': the argument's position, or 0 for none.
std::optional<std::size_t> ConversionScanner::ScanPosition() {
  std::size_t before = cursor_;
  Digits digits = ReadDigits();
  if (!digits.positional) {
    cursor_ = before;  // digits without '$' are a width: read them again
    return 0;
  }
  ++cursor_;
  if (digits.value == 0 || digits.value > kMostArgumentPositions) {
    return Fail(FormatProblem::kMalformed);
  }
  return digits.value;
}

// A width or precision: '*' (with its position in a positional text) or
// digits, or nothing.
std::optional<Field> ConversionScanner::ScanField(std::size_t& star_position) {
  Field field;
  if (Peek() == '*') {
    ++cursor_;
    std::optional<std::size_t> position = ScanPosition();
    if (!position) return std::nullopt;
    if (IsDigit(Peek())) return Fail(FormatProblem::kMalformed);
    if (!EnterMode(*position != 0 ? Mode::kPositional : Mode::kPlain)) {
      return std::nullopt;
    }
    star_position = *position;
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

std::string_view ConversionScanner::ScanLength() {
  // Most conversions have none.
  if (!StartsLengthModifier(Peek())) return kNoModifier.text;
  std::string_view rest = format_.substr(cursor_);
  const LengthModifier* end = std::end(kLengthModifiers);
  const LengthModifier* modifier = std::find_if(
      std::begin(kLengthModifiers), end,
      [rest](const LengthModifier& candidate) {
        return rest.substr(0, candidate.text.size()) == candidate.text;
      });
  if (modifier == end) return kNoModifier.text;
  cursor_ += modifier->text.size();
  return modifier->text;
}

// Reads the conversion at start_ into current_; null at a problem.
const Conversion* ConversionScanner::ScanConversion() {
  Conversion& conversion = current_;
  conversion = Conversion();
  // Most conversions are a bare letter, as in "%s": nothing between the
  // '%' and the letter to read.
  if (std::optional<ArgumentKind> kind = BareKindOf(Peek())) {
    if (!EnterMode(Mode::kPlain)) return nullptr;
    ++cursor_;
    conversion.letter = format_[start_ + 1];
    conversion.kind = *kind;
    conversion.text = format_.substr(start_, 2);
    return &conversion;
  }
  std::optional<std::size_t> position = ScanPosition();
  if (!position) return nullptr;
  if (!EnterMode(*position != 0 ? Mode::kPositional : Mode::kPlain)) {
    return nullptr;
  }
  conversion.position = *position;
  std::size_t flags_start = cursor_;
  while (IsFlag(Peek())) ++cursor_;
  conversion.flags = format_.substr(flags_start, cursor_ - flags_start);
  std::optional<Field> width = ScanField(conversion.width_position);
  if (!width) return nullptr;
  conversion.width = *width;
  if (Peek() == '.') {
    ++cursor_;
    std::optional<Field> precision = ScanField(conversion.precision_position);
    if (!precision) return nullptr;
    // "%.s" has a precision of zero.
    if (precision->kind == Field::Kind::kNone) {
      precision->kind = Field::Kind::kLiteral;
    }
    conversion.precision = *precision;
  }
  conversion.length = ScanLength();
  char letter = Peek();
  if (letter == '\0') return Stop(FormatProblem::kMalformed);
  ++cursor_;
  if (letter == 'n') return Stop(FormatProblem::kWritesCount);
  std::optional<ArgumentKind> kind = KindOf(letter, conversion.length);
  if (!kind) return Stop(FormatProblem::kMalformed);
  conversion.letter = letter;
  conversion.kind = *kind;
  conversion.text = format_.substr(start_, cursor_ - start_);
  return &conversion;
}

}  // namespace msgreport
