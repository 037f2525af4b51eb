// Reads a printf format one conversion at a time, allocating nothing, so
// that set-up can check every line of a large message file cheaply and a
// report can format a text whose arguments come in another order:
//
//   ConversionScanner scanner(format, ConversionScanner::kPositionalAllowed);
//   while (const Conversion* conversion = scanner.Next()) ...
//   if (scanner.problem() != FormatProblem::kNone) ... scanner.problem_at()
//
// Literal text and "%%" are passed over, and a NUL ends the format as it
// would end printf's reading. Scanning stops at the first problem.

#ifndef MSGREPORT_CATALOGUE_CONVERSION_SCANNER_H_
#define MSGREPORT_CATALOGUE_CONVERSION_SCANNER_H_

#include <cstddef>
#include <optional>
#include <string_view>

#include "catalogue/message_limits.h"

namespace msgreport {

// What one argument of a format is read as. Two arguments are read alike
// when they have the same kind and read the same type: the length modifiers
// agree, or differ only as h, hh and none do for an integer (all read an
// int) or l and none for a floating value (both read a double).
enum class ArgumentKind { kInteger, kWideChar, kFloating, kString, kPointer };

// A field width or precision as written: absent, digits or '*'. A string's
// precision bounds how much of it is read, so an unterminated buffer is
// safe only as far as the precision reaches.
struct Field {
  enum class Kind { kNone, kLiteral, kStar };
  Kind kind = Kind::kNone;
  unsigned long digits = 0;  // for kLiteral
};

enum class FormatProblem {
  kNone,
  kMalformed,        // an incomplete or unknown conversion
  kWritesCount,      // %n
  kPositional,       // %1$s where positions are refused
  kOversizedField,   // a width or precision larger than a message can be
  kMixedPositional,  // %1$s beside %s, or %1$*d
};

// One conversion of a format. Without positions, the arguments it reads,
// in order, are an int for a '*' width, an int for a '*' precision, then
// its value. With them, each part names the argument it reads, counted
// from 1.
struct Conversion {
  std::string_view text;   // "%" to the conversion letter
  std::string_view flags;  // as written
  Field width;
  Field precision;
  std::string_view length;
  char letter = 'd';
  ArgumentKind kind = ArgumentKind::kInteger;
  std::size_t position = 0;  // of the value; 0 in a text without positions
  std::size_t width_position = 0;
  std::size_t precision_position = 0;

  bool star_width() const { return width.kind == Field::Kind::kStar; }
  bool star_precision() const { return precision.kind == Field::Kind::kStar; }
};

// The largest field and argument position a text may name. A message is
// cut to fit its buffer, so a wider field only burns time padding output
// that is cut anyway; a file has no business asking for one.
constexpr unsigned long kLargestField = kMessageCapacity;

// Where the next conversion of `text` at or after `from` starts, "%%"
// passed over; npos at its end or at a NUL, which ends a format as it ends
// printf's reading.
std::size_t NextConversionStart(std::string_view text, std::size_t from);

class ConversionScanner {
 public:
  // Built-in texts and the C library's own reading on some platforms know
  // no positions: there a positional conversion is a problem.
  enum Positions { kPositionsRefused, kPositionsAllowed };

  explicit ConversionScanner(std::string_view format,
                             Positions positions = kPositionsRefused)
      : format_(format), positions_allowed_(positions == kPositionsAllowed) {}

  // The next conversion, valid until the next call; null at the end of the
  // format or at its first problem.
  const Conversion* Next();

  FormatProblem problem() const { return problem_; }
  // Where the conversion with the problem starts.
  std::size_t problem_at() const { return start_; }
  // Whether the conversions so far name their arguments' positions.
  bool positional() const { return mode_ == Mode::kPositional; }

 private:
  enum class Mode { kUnknown, kPlain, kPositional };

  struct Digits {
    unsigned long value = 0;  // stops growing past the largest field
    bool positional = false;  // a '$' follows
  };

  char Peek() const {
    return cursor_ < format_.size() ? format_[cursor_] : '\0';
  }
  const Conversion* Stop(FormatProblem problem) {
    problem_ = problem;
    return nullptr;
  }
  std::nullopt_t Fail(FormatProblem problem) {
    problem_ = problem;
    return std::nullopt;
  }
  Digits ReadDigits();
  bool EnterMode(Mode mode);
  std::optional<std::size_t> ScanPosition();
  std::optional<Field> ScanField(std::size_t& star_position);
  std::string_view ScanLength();
  const Conversion* ScanConversion();

  std::string_view format_;
  bool positions_allowed_;
  Mode mode_ = Mode::kUnknown;
  std::size_t next_ = 0;    // where the search for the next '%' goes on
  std::size_t start_ = 0;   // the conversion being read
  std::size_t cursor_ = 0;  // within it
  FormatProblem problem_ = FormatProblem::kNone;
  Conversion current_;
};

}  // namespace msgreport

#endif  // MSGREPORT_CATALOGUE_CONVERSION_SCANNER_H_
