// A positional text is formatted in two passes: the arguments are read
// once, in the order and types the built-in text gives them, as printf
// would read them for that text; then each conversion of the text, its
// position dropped, is formatted by snprintf with the value it names.

#include "handler/positional_format.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <type_traits>

#include "catalogue/argument_type.h"
#include "catalogue/conversion_scanner.h"
#include "catalogue/message_limits.h"
#include "handler/argument_values.h"

namespace msgreport {
namespace {

// Collects output, cutting it where the message buffer ends.
class Output {
 public:
  explicit Output(char* message) : message_(message) { message_[0] = '\0'; }

  void PutLiteralBytes(const char* text) {
    while (*text != '\0' && used_ + 1 < kMessageCapacity) {
      message_[used_++] = *text++;
    }
    message_[used_] = '\0';
  }

  void PutLiteral(std::string_view text) {
    for (std::size_t at = 0; at < text.size(); ++at) {
      if (used_ + 1 >= kMessageCapacity) break;
      message_[used_++] = text[at];
      if (text[at] == '%') ++at;  // "%%" is one percent sign
    }
    message_[used_] = '\0';
  }

  // A plain %s, %d, %i or %u needs none of snprintf's set-up.
  void PutString(const char* value) {
    PutLiteralBytes(value == nullptr ? "(null)" : value);
  }
  void PutInteger(int value, bool as_unsigned) {
    unsigned long long magnitude =
        as_unsigned ? static_cast<unsigned>(value)
        : value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                    : static_cast<unsigned long long>(value);
    char digits[24];
    char* begin = digits + sizeof digits - 1;
    *begin = '\0';
    do {
      *--begin = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    if (!as_unsigned && value < 0) *--begin = '-';
    PutLiteralBytes(begin);
  }

  // Formats one value with a conversion that names no position.
  template <typename T>
  bool Put(const char* directive, const int* stars, int star_count, T value) {
    std::size_t room = kMessageCapacity - used_;
    char* at = message_ + used_;
    int written = 0;
    // NOLINTBEGIN(clang-diagnostic-format-nonliteral)
    switch (star_count) {
      case 0:
        written = std::snprintf(at, room, directive, value);
        break;
      case 1:
        written = std::snprintf(at, room, directive, stars[0], value);
        break;
      default:
        written = std::snprintf(at, room, directive, stars[0], stars[1], value);
        break;
    }
    // NOLINTEND(clang-diagnostic-format-nonliteral)
    if (written < 0) return false;
    auto length = static_cast<std::size_t>(written);
    used_ += length < room ? length : room - 1;
    return true;
  }

 private:
  char* message_;
  std::size_t used_ = 0;
};

// The conversion as printf reads it without positions: "%1$-*3$.2ld"
// becomes "%-*.2ld". `directive` holds at least 32 bytes.
void SpecWithoutPositions(const Conversion& conversion, char* directive) {
  char* out = directive;
  *out++ = '%';
  auto append = [&out](std::string_view part) {
    std::memcpy(out, part.data(), part.size());
    out += part.size();
  };
  auto append_field = [&](const Field& field) {
    if (field.kind == Field::Kind::kStar) {
      *out++ = '*';
    } else if (field.kind == Field::Kind::kLiteral) {
      out += std::snprintf(out, 8, "%lu", field.digits);
    }
  };
  // A flag said twice means what it means once; each goes in once, so
  // that the rewritten conversion stays bounded in size.
  for (char flag : std::string_view("-+ #0")) {
    if (conversion.flags.find(flag) != std::string_view::npos) *out++ = flag;
  }
  append_field(conversion.width);
  if (conversion.precision.kind != Field::Kind::kNone) {
    *out++ = '.';
    append_field(conversion.precision);
  }
  append(conversion.length);
  *out++ = conversion.letter;
  *out = '\0';
}

// An unsigned conversion reads the integer's unsigned twin, as printf
// would.
template <typename T>
bool PutInteger(Output& out, const char* directive, bool as_unsigned,
                const int* stars, int star_count, T value) {
  if (as_unsigned) {
    return out.Put(directive, stars, star_count,
                   static_cast<std::make_unsigned_t<T>>(value));
  }
  return out.Put(directive, stars, star_count, value);
}

// Whether the conversion is a bare %s, %d, %i or %u.
bool IsPlain(const Conversion& conversion) {
  return conversion.flags.empty() && conversion.length.empty() &&
         conversion.width.kind == Field::Kind::kNone &&
         conversion.precision.kind == Field::Kind::kNone &&
         (conversion.letter == 's' || conversion.letter == 'd' ||
          conversion.letter == 'i' || conversion.letter == 'u');
}

bool PutValue(Output& out, const Conversion& conversion, const Value& value,
              const int* stars, int star_count) {
  if (IsPlain(conversion)) {
    if (value.type == ArgumentType::kString) {
      out.PutString(value.s);
    } else {
      out.PutInteger(value.i, conversion.letter == 'u');
    }
    return true;
  }
  char directive[32];
  SpecWithoutPositions(conversion, directive);
  bool as_unsigned = ReadsUnsigned(conversion.letter);
  switch (value.type) {
    case ArgumentType::kInt:
      return PutInteger(out, directive, as_unsigned, stars, star_count,
                        value.i);
    case ArgumentType::kLong:
      return PutInteger(out, directive, as_unsigned, stars, star_count,
                        value.l);
    case ArgumentType::kLongLong:
      return PutInteger(out, directive, as_unsigned, stars, star_count,
                        value.ll);
    case ArgumentType::kIntmax:
      return PutInteger(out, directive, as_unsigned, stars, star_count,
                        value.j);
    case ArgumentType::kSize:
      return out.Put(directive, stars, star_count, value.z);
    case ArgumentType::kPtrdiff:
      return out.Put(directive, stars, star_count, value.t);
    case ArgumentType::kWideChar:
      return out.Put(directive, stars, star_count, value.wc);
    case ArgumentType::kDouble:
      return out.Put(directive, stars, star_count, value.d);
    case ArgumentType::kLongDouble:
      return out.Put(directive, stars, star_count, value.ld);
    case ArgumentType::kString:
      return out.Put(directive, stars, star_count, value.s);
    case ArgumentType::kWideString:
      return out.Put(directive, stars, star_count, value.ws);
    case ArgumentType::kPointer:
      return out.Put(directive, stars, star_count, value.p);
  }
  return false;
}

// The last argument position `text` names, or 0 at a problem.
std::size_t LastPosition(const char* text) {
  ConversionScanner scanner(text, ConversionScanner::kPositionsAllowed);
  std::size_t last = 0;
  while (const Conversion* conversion = scanner.Next()) {
    last = std::max({last, conversion->position, conversion->width_position,
                     conversion->precision_position});
  }
  return scanner.problem() == FormatProblem::kNone ? last : 0;
}

}  // namespace

bool NamesPositions(const char* text) {
  ConversionScanner scanner(text, ConversionScanner::kPositionsAllowed);
  scanner.Next();
  return scanner.positional();
}

bool FormatPositional(char* message, const char* text, const char* built_in,
                      std::va_list args) {
  std::size_t count = LastPosition(text);
  if (count == 0 || count > kMostArgumentPositions) return false;
  Value values[kMostArgumentPositions];
  std::va_list reading;
  va_copy(reading, args);
  bool complete = ReadArguments(built_in, count, values, reading);
  va_end(reading);
  if (!complete) return false;

  Output out(message);
  ConversionScanner scanner(text, ConversionScanner::kPositionsAllowed);
  const char* literal = text;
  while (const Conversion* conversion = scanner.Next()) {
    out.PutLiteral(std::string_view(
        literal, static_cast<std::size_t>(conversion->text.data() - literal)));
    literal = conversion->text.data() + conversion->text.size();
    int stars[2];
    int star_count = 0;
    for (std::size_t position :
         {conversion->width_position, conversion->precision_position}) {
      if (position == 0) continue;
      const Value& star = values[position - 1];
      if (star.type != ArgumentType::kInt) return false;
      stars[star_count++] = star.i;
    }
    const Value& value = values[conversion->position - 1];
    if (value.type != ArgumentTypeOf(*conversion) ||
        !PutValue(out, *conversion, value, stars, star_count)) {
      return false;
    }
  }
  out.PutLiteral(literal);
  return scanner.problem() == FormatProblem::kNone;
}

}  // namespace msgreport
