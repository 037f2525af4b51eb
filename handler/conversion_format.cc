// What this formats is what the C standard defines alike for every C
// library. Where the standard leaves the result to the library (a '#' on a
// decimal conversion, a '0' on a string, a null string with a width or
// precision), or where a C library is known to depart from it (a zero
// "%#.0o"), the conversion goes to vsnprintf, which then formats the whole
// text. So does a width or precision large enough that vsnprintf might fail
// on it.

#include "handler/conversion_format.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace msgreport {
namespace {

// Beyond the message's capacity a field only pads what is cut anyway;
// far beyond it, vsnprintf may fail, and decides.
constexpr int kMostField = 4096;

enum class Length {
  kNone,
  kChar,
  kShort,
  kLong,
  kLongLong,
  kMax,
  kSize,
  kDiff
};

struct Decoration {
  bool left = false;
  bool plus = false;
  bool space = false;
  bool alternate = false;
  bool zeros = false;
  int width = 0;
  int precision = -1;  // none
};

// False past kMostField.
bool ReadNumber(const char*& at, int& value) {
  int number = 0;
  while (*at >= '0' && *at <= '9') {
    number = number * 10 + (*at++ - '0');
    if (number > kMostField) return false;
  }
  value = number;
  return true;
}

// The flags, width and precision, reading '*' arguments. False for a
// field left to vsnprintf.
// NOLINTBEGIN(clang-analyzer-valist.Uninitialized)
bool ReadDecoration(const char*& at, std::va_list& args, Decoration& d) {
  for (;; ++at) {
    switch (*at) {
      case '-':
        d.left = true;
        continue;
      case '+':
        d.plus = true;
        continue;
      case ' ':
        d.space = true;
        continue;
      case '#':
        d.alternate = true;
        continue;
      case '0':
        d.zeros = true;
        continue;
      default:
        break;
    }
    break;
  }
  if (*at == '*') {
    ++at;
    int width = va_arg(args, int);
    // A negative width is the '-' flag and its magnitude.
    if (width < -kMostField || width > kMostField) return false;
    if (width < 0) d.left = true;
    d.width = width < 0 ? -width : width;
  } else if (!ReadNumber(at, d.width)) {
    return false;
  }
  if (*at != '.') return true;
  ++at;
  if (*at != '*') return ReadNumber(at, d.precision);
  ++at;
  int precision = va_arg(args, int);
  if (precision > kMostField) return false;
  d.precision = precision < 0 ? -1 : precision;
  return true;
}

Length ReadLength(const char*& at) {
  switch (*at) {
    case 'h':
      if (*++at != 'h') return Length::kShort;
      ++at;
      return Length::kChar;
    case 'l':
      if (*++at != 'l') return Length::kLong;
      ++at;
      return Length::kLongLong;
    case 'j':
      ++at;
      return Length::kMax;
    case 'z':
      ++at;
      return Length::kSize;
    case 't':
      ++at;
      return Length::kDiff;
    default:
      return Length::kNone;
  }
}

// A value's magnitude, and whether it is negative, as the conversion reads
// it: the argument's promoted type, then the type the modifier names.
struct Integer {
  unsigned long long magnitude;
  bool negative;
};

template <typename T>
Integer Signed(T value) {
  using U = std::make_unsigned_t<T>;
  // Negated in unsigned arithmetic, so the type's minimum stays exact.
  return value < 0 ? Integer{static_cast<U>(U{0} - static_cast<U>(value)), true}
                   : Integer{static_cast<U>(value), false};
}

// Where long, long long, intmax_t and the size and difference types are one
// type, their branches are one too; they stay apart for the platforms where
// they are not.
Integer ReadSigned(std::va_list& args, Length length) {
  switch (length) {
    case Length::kNone:
      return Signed(va_arg(args, int));
    case Length::kChar:
      return Signed(static_cast<signed char>(va_arg(args, int)));
    case Length::kShort:
      return Signed(static_cast<short>(va_arg(args, int)));
    case Length::kLong:
      return Signed(va_arg(args, long));
    case Length::kLongLong:
      return Signed(va_arg(args, long long));
    // NOLINTNEXTLINE(bugprone-branch-clone)
    case Length::kMax:
      return Signed(va_arg(args, std::intmax_t));
    case Length::kSize:
      return Signed(va_arg(args, std::make_signed_t<std::size_t>));
    case Length::kDiff:
      return Signed(va_arg(args, std::ptrdiff_t));
  }
  return {0, false};
}

unsigned long long ReadUnsigned(std::va_list& args, Length length) {
  switch (length) {
    case Length::kNone:
      return va_arg(args, unsigned);
    case Length::kChar:
      return static_cast<unsigned char>(va_arg(args, unsigned));
    case Length::kShort:
      return static_cast<unsigned short>(va_arg(args, unsigned));
    case Length::kLong:
      return va_arg(args, unsigned long);
    case Length::kLongLong:
      return va_arg(args, unsigned long long);
    // NOLINTNEXTLINE(bugprone-branch-clone): as in ReadSigned.
    case Length::kMax:
      return va_arg(args, std::uintmax_t);
    case Length::kSize:
      return va_arg(args, std::size_t);
    case Length::kDiff:
      return va_arg(args, std::make_unsigned_t<std::ptrdiff_t>);
  }
  return 0;
}
// NOLINTEND(clang-analyzer-valist.Uninitialized)

std::size_t Gap(int width, std::size_t length) {
  auto field = static_cast<std::size_t>(width);
  return field > length ? field - length : 0;
}

// Pads `body` to the width with spaces, on the side the '-' flag says.
void PutPadded(MessageWriter& writer, const Decoration& d, const char* body,
               std::size_t length) {
  std::size_t gap = Gap(d.width, length);
  if (!d.left) writer.PutRepeated(' ', gap);
  writer.Put(body, length);
  if (d.left) writer.PutRepeated(' ', gap);
}

void PutInteger(MessageWriter& writer, const Decoration& d, char letter,
                Integer value) {
  char digits[24];  // 22 octal digits hold 64 bits
  char* end = digits + sizeof digits;
  char* begin = end;
  unsigned long long rest = value.magnitude;
  if (letter == 'x' || letter == 'X') {
    const char* hex = letter == 'x' ? "0123456789abcdef" : "0123456789ABCDEF";
    for (; rest != 0; rest >>= 4) *--begin = hex[rest & 15];
  } else if (letter == 'o') {
    for (; rest != 0; rest >>= 3)
      *--begin = static_cast<char>('0' + (rest & 7));
  } else {
    for (; rest != 0; rest /= 10) *--begin = static_cast<char>('0' + rest % 10);
  }
  // Zero has one digit, or none at a precision of 0.
  if (value.magnitude == 0 && d.precision != 0) *--begin = '0';
  auto length = static_cast<std::size_t>(end - begin);
  std::size_t zeros =
      d.precision > 0 ? Gap(d.precision, length) : std::size_t{0};
  // '#' makes an octal number start with 0, and a nonzero hexadecimal one
  // with 0x.
  if (d.alternate && letter == 'o' && zeros == 0 &&
      (length == 0 || *begin != '0')) {
    zeros = 1;
  }
  char prefix[2];
  std::size_t prefix_length = 0;
  if (value.negative) {
    prefix[prefix_length++] = '-';
  } else if (d.plus) {
    prefix[prefix_length++] = '+';
  } else if (d.space) {
    prefix[prefix_length++] = ' ';
  } else if (d.alternate && letter != 'o' && value.magnitude != 0) {
    prefix[prefix_length++] = '0';
    prefix[prefix_length++] = letter;
  }
  std::size_t gap = Gap(d.width, prefix_length + zeros + length);
  // The 0 flag pads with zeros after the sign, unless a precision is given.
  bool zero_padded = d.zeros && !d.left && d.precision < 0;
  if (!d.left && !zero_padded) writer.PutRepeated(' ', gap);
  writer.Put(prefix, prefix_length);
  writer.PutRepeated('0', zero_padded ? zeros + gap : zeros);
  writer.Put(begin, length);
  if (d.left) writer.PutRepeated(' ', gap);
}

// NOLINTBEGIN(clang-analyzer-valist.Uninitialized)
const char* PutString(MessageWriter& writer, const Decoration& d,
                      std::va_list& args, const char* after) {
  const char* value = va_arg(args, const char*);
  if (value == nullptr) {
    if (d.width != 0 || d.precision >= 0) return nullptr;
    value = "(null)";  // as the C library writes it
  }
  std::size_t length;
  if (d.precision < 0) {
    length = std::strlen(value);
  } else {
    // Never past the precision: the string may end there without a NUL,
    // and memchr reads no further than the byte it finds.
    auto most = static_cast<std::size_t>(d.precision);
    const void* nul = std::memchr(value, '\0', most);
    length =
        nul == nullptr
            ? most
            : static_cast<std::size_t>(static_cast<const char*>(nul) - value);
  }
  PutPadded(writer, d, value, length);
  return after;
}

}  // namespace

const char* FormatConversion(MessageWriter& writer, const char* directive,
                             std::va_list& args) {
  const char* at = directive;
  Decoration d;
  if (!ReadDecoration(at, args, d)) return nullptr;
  Length length = ReadLength(at);
  char letter = *at++;
  bool sign_flags = d.plus || d.space;
  switch (letter) {
    case 'd':
    case 'i':
      if (d.alternate) return nullptr;
      PutInteger(writer, d, letter, ReadSigned(args, length));
      return at;
    case 'u':
    case 'o':
    case 'x':
    case 'X':
      // MinGW's printf writes nothing for a zero "%#.0o", where C says
      // "0": left to the platform's own.
      if (sign_flags ||
          (d.alternate &&
           (letter == 'u' || (letter == 'o' && d.precision == 0)))) {
        return nullptr;
      }
      PutInteger(writer, d, letter, {ReadUnsigned(args, length), false});
      return at;
    case 'c': {
      if (sign_flags || d.alternate || d.zeros || d.precision >= 0 ||
          length != Length::kNone) {
        return nullptr;
      }
      auto c = static_cast<char>(static_cast<unsigned char>(va_arg(args, int)));
      PutPadded(writer, d, &c, 1);
      return at;
    }
    case 's':
      if (sign_flags || d.alternate || d.zeros || length != Length::kNone) {
        return nullptr;
      }
      return PutString(writer, d, args, at);
    default:
      return nullptr;
  }
}
// NOLINTEND(clang-analyzer-valist.Uninitialized)

}  // namespace msgreport
