// Most message texts hold only plain %s, %d, %i and %u conversions. Those
// are formatted here directly, which costs a fraction of what the C
// library's general formatter spends on setting itself up; any other
// conversion hands the whole text to vsnprintf.

#include "handler/message_format.h"

#include <cstdio>
#include <cstring>

#include "handler/positional_format.h"

// Message files may bring in any C99 conversion the format check accepts;
// on MinGW only its own printf formats them all.
#if defined(__MINGW32__) && !__USE_MINGW_ANSI_STDIO
#error "Build with __USE_MINGW_ANSI_STDIO=1 for a C99 printf"
#endif

namespace msgreport {
namespace {

// Collects output, silently cutting it where the buffer ends.
class MessageWriter {
 public:
  explicit MessageWriter(char* message) : message_(message) {}

  void Put(const char* chars, std::size_t length) {
    std::size_t room = kMessageCapacity - 1 - used_;
    if (length > room) length = room;
    std::memcpy(message_ + used_, chars, length);
    used_ += length;
  }

  void PutUnsigned(unsigned long long value, bool negative) {
    char digits[24];
    char* end = digits + sizeof digits;
    char* begin = end;
    do {
      *--begin = static_cast<char>('0' + value % 10);
      value /= 10;
    } while (value != 0);
    if (negative) *--begin = '-';
    Put(begin, static_cast<std::size_t>(end - begin));
  }

  bool full() const { return used_ == kMessageCapacity - 1; }
  void Finish() { message_[used_] = '\0'; }

 private:
  char* message_;
  std::size_t used_ = 0;
};

// False, having consumed arguments from `args`, when the text holds a
// conversion this does not handle.
//
// The analyzer cannot follow a va_list that a caller started and handed
// down by value, and takes every va_arg on it for a read of an
// uninitialised list.
// NOLINTBEGIN(clang-analyzer-valist.Uninitialized)
bool FormatPlainConversions(char* message, const char* text,
                            std::va_list args) {
  MessageWriter writer(message);
  const char* rest = text;
  while (!writer.full()) {
    const char* percent = std::strchr(rest, '%');
    if (percent == nullptr) {
      writer.Put(rest, std::strlen(rest));
      break;
    }
    writer.Put(rest, static_cast<std::size_t>(percent - rest));
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
        return false;
    }
    rest = percent + 2;
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
  bool done = FormatPlainConversions(message, text, attempt);
  va_end(attempt);
  if (done) return true;
  // Only texts that the plain road leaves come this far, so a text without
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
