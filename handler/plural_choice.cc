#include "handler/plural_choice.h"

#include <cstdint>
#include <type_traits>

#include "handler/argument_values.h"

namespace msgreport {
namespace {

// A count's size, whatever its sign: CLDR's rules read the absolute value.
// An unsigned conversion reads the integer's unsigned twin, as printf does.
template <typename T>
std::uint64_t Magnitude(T value, bool as_unsigned) {
  using Unsigned = std::make_unsigned_t<T>;
  auto bits = static_cast<Unsigned>(value);
  if (as_unsigned || value >= 0) return bits;
  return static_cast<std::uint64_t>(Unsigned{0} - bits);
}

// An int as an hh or h conversion shows it.
int Narrowed(int value, unsigned bits, bool as_unsigned) {
  if (bits == 8) {
    return as_unsigned ? static_cast<unsigned char>(value)
                       : static_cast<signed char>(value);
  }
  if (bits == 16) {
    return as_unsigned ? static_cast<unsigned short>(value)
                       : static_cast<short>(value);
  }
  return value;
}

std::uint64_t MagnitudeOf(const Value& count, const PluralMessage& message) {
  bool as_unsigned = message.count_unsigned;
  switch (count.type) {
    case ArgumentType::kLong:
      return Magnitude(count.l, as_unsigned);
    case ArgumentType::kLongLong:
      return Magnitude(count.ll, as_unsigned);
    case ArgumentType::kIntmax:
      return Magnitude(count.j, as_unsigned);
    case ArgumentType::kSize:  // %zd reads the size type's signed twin
      return Magnitude(static_cast<std::make_signed_t<std::size_t>>(count.z),
                       as_unsigned);
    case ArgumentType::kPtrdiff:
      return Magnitude(count.t, as_unsigned);
    default:
      return Magnitude(Narrowed(count.i, message.count_bits, as_unsigned),
                       as_unsigned);
  }
}

}  // namespace

const char* ChoosePluralText(const PluralMessage& message, std::va_list args) {
  std::va_list reading;
  va_copy(reading, args);
  // The arguments before the count are read past; the index holds none
  // but messages whose count it found.
  std::size_t count_at = message.leading.size() - 1;
  // The analyzer cannot follow a va_list handed down by value.
  // NOLINTBEGIN(clang-analyzer-valist.Uninitialized)
  for (std::size_t i = 0; i < count_at; ++i) {
    ReadValue(message.leading[i], reading);
  }
  Value count = ReadValue(message.leading[count_at], reading);
  // NOLINTEND(clang-analyzer-valist.Uninitialized)
  va_end(reading);
  PluralCategory category =
      PluralCategoryOf(message.rule, MagnitudeOf(count, message));
  const char* text = message.texts[static_cast<std::size_t>(category)];
  if (text == nullptr) {
    text = message.texts[static_cast<std::size_t>(PluralCategory::kOther)];
  }
  return text;
}

}  // namespace msgreport
