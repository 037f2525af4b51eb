#include "catalogue/format_check.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

#include "catalogue/conversion_scanner.h"

namespace msgreport {
namespace {

// How much of a replacement a verdict quotes from where its problem starts.
constexpr std::size_t kExcerptLength = 8;

// One argument a format reads, as views into the format.
struct ArgumentView {
  ArgumentKind kind = ArgumentKind::kInteger;
  std::string_view length;
  std::string_view conversion;  // the whole conversion that reads it
  ArgumentRole role = ArgumentRole::kValue;
  Field precision;  // for values
  // In a positional text: the argument this reads, and for a value the
  // argument its '*' precision reads; counted from 1.
  std::size_t position = 0;
  std::size_t precision_position = 0;

  FormatArgument Owned() const {
    return {kind, std::string(length), std::string(conversion), role,
            precision};
  }
};

// The arguments of a format, one at a time, in the order printf reads them.
class ArgumentStream {
 public:
  explicit ArgumentStream(std::string_view format,
                          ConversionScanner::Positions positions =
                              ConversionScanner::kPositionsRefused)
      : scanner_(format, positions) {}

  std::optional<ArgumentView> Next() {
    if (conversion_ == nullptr || step_ == kDone) {
      conversion_ = scanner_.Next();
      if (conversion_ == nullptr) return std::nullopt;
      step_ = kWidth;
    }
    const Conversion& c = *conversion_;
    ArgumentView star{
        ArgumentKind::kInteger, {}, c.text, ArgumentRole::kStarWidth, {},
        c.width_position,       0};
    if (step_ == kWidth) {
      step_ = kPrecision;
      if (c.star_width()) return star;
    }
    if (step_ == kPrecision) {
      step_ = kValue;
      star.role = ArgumentRole::kStarPrecision;
      star.position = c.precision_position;
      if (c.star_precision()) return star;
    }
    step_ = kDone;
    return ArgumentView{c.kind,
                        c.length,
                        c.text,
                        ArgumentRole::kValue,
                        c.precision,
                        c.position,
                        c.precision_position};
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
  bool positional() const { return scanner_.positional(); }

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
  // In a positional text a string's '*' precision must be the one the
  // program passes for that string, read just before it, not another '*'.
  if (catalogue.kind == ArgumentKind::kString &&
      catalogue.precision.kind == Field::Kind::kStar &&
      replacement.position != 0 &&
      replacement.precision_position + 1 != replacement.position) {
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

// Checks a text whose conversions name their arguments' positions: each
// argument it names must be one the catalogue text reads, read alike; it
// may name one several times, or not at all.
CompatibilityVerdict CheckPositional(std::string_view catalogue,
                                     std::string_view text) {
  std::vector<ArgumentView> passed;
  ArgumentStream catalogue_arguments(catalogue);
  while (std::optional<ArgumentView> argument = catalogue_arguments.Next()) {
    passed.push_back(*argument);
  }
  std::vector<bool> named(passed.size());
  ArgumentStream replacement(text, ConversionScanner::kPositionsAllowed);
  CompatibilityVerdict verdict;
  while (std::optional<ArgumentView> read = replacement.Next()) {
    std::size_t index = read->position - 1;
    verdict.result = index < passed.size() ? Fit(passed[index], *read)
                                           : Compatibility::kMoreArguments;
    verdict.catalogue_arguments = passed.size();
    if (verdict.result != Compatibility::kCompatible) {
      verdict.argument = read->position;
      if (index < passed.size()) {
        verdict.catalogue_conversion = std::string(passed[index].conversion);
      }
      verdict.replacement_conversion = std::string(read->conversion);
      if (replacement.ProblemAhead() != FormatProblem::kNone) {
        return Unsafe(replacement, text);
      }
      return verdict;
    }
    named[index] = true;
  }
  if (replacement.problem() != FormatProblem::kNone) {
    return Unsafe(replacement, text);
  }
  auto unnamed = std::find(named.begin(), named.end(), false);
  if (unnamed != named.end()) {
    auto index = static_cast<std::size_t>(unnamed - named.begin());
    verdict.result = Compatibility::kFewerArguments;
    verdict.argument = index + 1;
    verdict.catalogue_conversion = std::string(passed[index].conversion);
  }
  return verdict;
}

// Whether the first conversion of `text` may name its argument's position:
// it does not unless "N$" follows its '%'. Most texts name none, and this
// look spares scanning their first conversion twice.
bool MayNamePositions(std::string_view text) {
  for (std::size_t at = 0;;) {
    std::size_t percent = text.find('%', at);
    if (percent == std::string_view::npos) return false;
    std::size_t digits = percent + 1;
    if (digits < text.size() && text[digits] == '%') {
      at = digits + 1;
      continue;
    }
    std::size_t end = text.find_first_not_of("0123456789", digits);
    return end != std::string_view::npos && end != digits && text[end] == '$';
  }
}

// Most translations keep the catalogue text's conversions byte for byte
// and move only the words around them. Such a replacement reads every
// argument as the catalogue text does, which one scan of it and a
// comparison of bytes tell without pairing the arguments up. For any other
// replacement, and for one with positions or a problem, this gives no
// verdict and the full check judges it.
std::optional<CompatibilityVerdict> CheckSameConversions(
    std::string_view catalogue, std::string_view replacement) {
  ConversionScanner scanner(replacement, ConversionScanner::kPositionsAllowed);
  std::size_t next = 0;  // in the catalogue text
  std::size_t arguments = 0;
  while (const Conversion* conversion = scanner.Next()) {
    std::size_t start = NextConversionStart(catalogue, next);
    if (conversion->position != 0 || start == std::string_view::npos ||
        catalogue.substr(start, conversion->text.size()) != conversion->text) {
      return std::nullopt;
    }
    next = start + conversion->text.size();
    arguments += 1 + (conversion->star_width() ? 1 : 0) +
                 (conversion->star_precision() ? 1 : 0);
  }
  if (scanner.problem() != FormatProblem::kNone ||
      NextConversionStart(catalogue, next) != std::string_view::npos) {
    return std::nullopt;
  }
  // As the full check leaves it: the arguments before the last one paired.
  CompatibilityVerdict verdict;
  verdict.catalogue_arguments = arguments == 0 ? 0 : arguments - 1;
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

CompatibilityVerdict CheckCompatibility(std::string_view catalogue,
                                        const char* replacement,
                                        std::size_t replacement_length) {
  std::string_view replacement_text(replacement, replacement_length);
  if (std::optional<CompatibilityVerdict> same =
          CheckSameConversions(catalogue, replacement_text)) {
    return *same;
  }
  return detail::CheckEveryArgument(catalogue, replacement_text);
}

namespace detail {

CompatibilityVerdict CheckEveryArgument(std::string_view catalogue,
                                        std::string_view replacement_text) {
  if (MayNamePositions(replacement_text)) {
    ArgumentStream first(replacement_text,
                         ConversionScanner::kPositionsAllowed);
    if (first.Next() && first.positional()) {
      return CheckPositional(catalogue, replacement_text);
    }
  }
  ArgumentStream replacement_arguments(replacement_text,
                                       ConversionScanner::kPositionsAllowed);
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
    verdict.catalogue_arguments = argument - 1;
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

}  // namespace detail

}  // namespace msgreport
