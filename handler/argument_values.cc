#include "handler/argument_values.h"

#include "catalogue/conversion_scanner.h"

namespace msgreport {

// The analyzer cannot follow a va_list that a caller started and handed
// down, and takes every va_arg on it for a read of an uninitialised list.
// NOLINTBEGIN(clang-analyzer-valist.Uninitialized)
Value ReadValue(ArgumentType type, std::va_list& args) {
  Value value;
  value.type = type;
  switch (type) {
    case ArgumentType::kInt:
      value.i = va_arg(args, int);
      break;
    case ArgumentType::kLong:
      value.l = va_arg(args, long);
      break;
    case ArgumentType::kLongLong:
      value.ll = va_arg(args, long long);
      break;
    case ArgumentType::kIntmax:
      value.j = va_arg(args, std::intmax_t);
      break;
    case ArgumentType::kSize:
      value.z = va_arg(args, std::size_t);
      break;
    case ArgumentType::kPtrdiff:
      value.t = va_arg(args, std::ptrdiff_t);
      break;
    case ArgumentType::kWideChar:
      // wint_t may be narrower than int, and is then passed promoted.
      value.wc =
          static_cast<std::wint_t>(va_arg(args, decltype(+std::wint_t{})));
      break;
    case ArgumentType::kDouble:
      value.d = va_arg(args, double);
      break;
    case ArgumentType::kLongDouble:
      value.ld = va_arg(args, long double);
      break;
    case ArgumentType::kString:
      value.s = va_arg(args, const char*);
      break;
    case ArgumentType::kWideString:
      value.ws = va_arg(args, const wchar_t*);
      break;
    case ArgumentType::kPointer:
      value.p = va_arg(args, const void*);
      break;
  }
  return value;
}

// Reads the first `count` arguments the way `built_in` does. False when it
// reads fewer.
bool ReadArguments(const char* built_in, std::size_t count, Value* values,
                   std::va_list& args) {
  ConversionScanner scanner(built_in);
  std::size_t read = 0;
  while (read < count) {
    const Conversion* conversion = scanner.Next();
    if (conversion == nullptr) return false;
    if (conversion->star_width())
      values[read++] = ReadValue(ArgumentType::kInt, args);
    if (conversion->star_precision() && read < count) {
      values[read++] = ReadValue(ArgumentType::kInt, args);
    }
    if (read < count)
      values[read++] = ReadValue(ArgumentTypeOf(*conversion), args);
  }
  return true;
}
// NOLINTEND(clang-analyzer-valist.Uninitialized)

}  // namespace msgreport
