// The C type a conversion reads its argument as. Equivalent conversions
// (%hd and %d, %lf and %f) read the same one, so a text may be replaced by
// one that reads its arguments with either.

#ifndef MSGREPORT_CATALOGUE_ARGUMENT_TYPE_H_
#define MSGREPORT_CATALOGUE_ARGUMENT_TYPE_H_

#include <string_view>

#include "catalogue/conversion_scanner.h"

namespace msgreport {

enum class ArgumentType : unsigned char {
  kInt,
  kLong,
  kLongLong,
  kIntmax,
  kSize,
  kPtrdiff,
  kWideChar,
  kDouble,
  kLongDouble,
  kString,
  kWideString,
  kPointer,
};

inline ArgumentType ArgumentTypeOf(const Conversion& conversion) {
  std::string_view length = conversion.length;
  switch (conversion.kind) {
    case ArgumentKind::kInteger:
      if (length == "l") return ArgumentType::kLong;
      if (length == "ll") return ArgumentType::kLongLong;
      if (length == "j") return ArgumentType::kIntmax;
      if (length == "z") return ArgumentType::kSize;
      if (length == "t") return ArgumentType::kPtrdiff;
      return ArgumentType::kInt;  // none, h and hh: the promoted int
    case ArgumentKind::kWideChar:
      return ArgumentType::kWideChar;
    case ArgumentKind::kFloating:
      return length == "L" ? ArgumentType::kLongDouble : ArgumentType::kDouble;
    case ArgumentKind::kString:
      return length == "l" ? ArgumentType::kWideString : ArgumentType::kString;
    case ArgumentKind::kPointer:
      return ArgumentType::kPointer;
  }
  return ArgumentType::kInt;
}

// Whether a conversion of this letter reads its integer as unsigned.
inline bool ReadsUnsigned(char letter) {
  return letter == 'o' || letter == 'u' || letter == 'x' || letter == 'X';
}

}  // namespace msgreport

#endif  // MSGREPORT_CATALOGUE_ARGUMENT_TYPE_H_
