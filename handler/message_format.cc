// Texts are formatted here directly, which costs a fraction of what the C
// library's general formatter spends on setting itself up: bare %s, %d, %i
// and %u inline, other integer, character and string conversions through
// FormatConversion. Any other conversion hands the whole text to
// vsnprintf.

#include "handler/message_format.h"

#include <cstdio>
#include <cstring>

#include "handler/conversion_format.h"
#include "handler/message_writer.h"
#include "handler/positional_format.h"

// Message files may bring in any C99 conversion the format check accepts;
// on MinGW only its own printf formats them all.
#if defined(__MINGW32__) && !__USE_MINGW_ANSI_STDIO
#error "Build with __USE_MINGW_ANSI_STDIO=1 for a C99 printf"
#endif

namespace msgreport {
namespace {

// False, having consumed arguments from `args`, when the text holds a
// conversion this does not handle.
//
// The analyzer cannot follow a va_list that a caller started and handed
// down by value, and takes every va_arg on it for a read of an
// uninitialised list.
// NOLINTBEGIN(clang-analyzer-valist.Uninitialized)
bool FormatDirectly(char* message, const char* text, std::va_list& args) {
  MessageWriter writer(message);
  const char* const text_end = text + std::strlen(text);
  const char* rest = text;
  // On to the text's end even once the message is full, as vsnprintf goes:
  // a conversion there that it alone formats may still fail the text.
  for (;;) {
    const char* percent = writer.PutPlain(rest, text_end);
    if (*percent == '\0') break;
    rest = percent + 2;
    switch (percent[1]) {
      case '%':
        writer.Put("%", 1);
        break;
      case 's': {
        const char* value = va_arg(args, const char*);
        if (value == nullptr) value = "(null)";  // as the C library writes
        writer.Put(value, std::strlen(value));
        break;
      }
      case 'd':
      case 'i': {
        int value = va_arg(args, int);
        // Negated in unsigned arithmetic, so INT_MIN stays exact.
        unsigned long long magnitude =
            value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                      : static_cast<unsigned long long>(value);
        writer.PutUnsigned(magnitude, value < 0);
        break;
      }
      case 'u':
        writer.PutUnsigned(va_arg(args, unsigned), false);
        break;
      default:
        rest = FormatConversion(writer, percent + 1, args);
        if (rest == nullptr) return false;
        break;
    }
  }
  writer.Finish();
  return true;
}
// NOLINTEND(clang-analyzer-valist.Uninitialized)

}  // namespace

bool FormatMessage(char* message, const char* text, std::va_list args,
                   BuiltInTextOf built_in_of) {
  std::va_list attempt;
  va_copy(attempt, args);
  bool done = FormatDirectly(message, text, attempt);
  va_end(attempt);
  if (done) return true;
  // Only texts that the direct road leaves come this far, so a text without
  // positions pays nothing for them.
  if (built_in_of != nullptr && NamesPositions(text)) {
    const char* built_in = built_in_of(text);
    if (built_in != text) {
      return FormatPositional(message, text, built_in, args);
    }
  }
  // The analyzer cannot follow a va_list started by the caller and handed
  // down by value, which is how it reaches this point.
  // NOLINTNEXTLINE(clang-analyzer-valist.Uninitialized)
  return std::vsnprintf(message, kMessageCapacity, text, args) >= 0;
}

}  // namespace msgreport
