// Decides whether a replacement text may stand in for a catalogue text as a
// printf format: the program passes the arguments that the catalogue text
// asks for, so a replacement must never consume more of them, or read one as
// another type.

#ifndef MSGREPORT_CATALOGUE_FORMAT_CHECK_H_
#define MSGREPORT_CATALOGUE_FORMAT_CHECK_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/conversion_scanner.h"

namespace msgreport {

// Whether a conversion reads an argument as its value, or through a '*' as
// its field width or precision.
enum class ArgumentRole { kValue, kStarWidth, kStarPrecision };

struct FormatArgument {
  ArgumentKind kind;
  std::string length;      // "", "hh", "h", "l", "ll", "L", "j", "z", "t"
  std::string conversion;  // the whole conversion as written, e.g. "%-5ld"
  ArgumentRole role = ArgumentRole::kValue;
  Field precision;  // for values
};

struct ParsedFormat {
  std::vector<FormatArgument> arguments;  // in the order they are consumed
  FormatProblem problem = FormatProblem::kNone;
  std::size_t problem_offset = 0;  // where the offending conversion starts
};

// Splits a format into the arguments it consumes. Parsing stops at the first
// problem; the arguments before it are kept.
ParsedFormat ParseFormat(const char* format, std::size_t length);
ParsedFormat ParseFormat(const char* format);

enum class Compatibility {
  kCompatible,         // same arguments, read the same way
  kFewerArguments,     // safe, but drops values the program passes
  kMoreArguments,      // would read an argument that was never passed
  kArgumentMismatch,   // would read an argument as another type
  kUnboundedField,     // takes a width or precision from a value argument
  kLooserPrecision,    // would read further into a string than allowed
  kUnsafeReplacement,  // the replacement has a FormatProblem
};

struct CompatibilityVerdict {
  Compatibility result = Compatibility::kCompatible;
  // For all but kCompatible and kUnsafeReplacement: the first argument
  // (counted from 1) where the two formats part.
  std::size_t argument = 0;
  std::string catalogue_conversion;    // empty when the catalogue has none
  std::string replacement_conversion;  // empty when the replacement has none
  FormatProblem problem = FormatProblem::kNone;
  // For kMoreArguments: how many arguments the catalogue text reads.
  std::size_t catalogue_arguments = 0;

  // Whether the replacement may be used in place of the catalogue text.
  bool accepted() const {
    return result == Compatibility::kCompatible ||
           result == Compatibility::kFewerArguments;
  }
};

// Checks `replacement` against `catalogue`. Each argument the replacement
// reads must be read alike by the catalogue text. A '*' may read only an
// argument that the catalogue text also reads through a '*', since the
// program bounds those and not its values. Where the catalogue text gives a
// string a precision, the replacement must give one no larger: a literal
// may be lowered, a '*' must stay a '*'. A catalogue text that does not
// parse is trusted only as far as its first problem: the replacement may use
// no more arguments than that.
CompatibilityVerdict CheckCompatibility(std::string_view catalogue,
                                        const char* replacement,
                                        std::size_t replacement_length);

namespace detail {
// The same check, argument by argument, without the shortcut it takes for
// a replacement whose conversions are the catalogue text's: tests hold the
// two to the same verdicts.
CompatibilityVerdict CheckEveryArgument(std::string_view catalogue,
                                        std::string_view replacement);
}  // namespace detail

}  // namespace msgreport

#endif  // MSGREPORT_CATALOGUE_FORMAT_CHECK_H_
