// Collects a report's message, silently cutting it where the buffer ends,
// as vsnprintf does.

#ifndef MSGREPORT_HANDLER_MESSAGE_WRITER_H_
#define MSGREPORT_HANDLER_MESSAGE_WRITER_H_

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "catalogue/byte_marks.h"
#include "catalogue/message_limits.h"

namespace msgreport {

// The bytes that end a run of plain text, the NUL and '%': one look-up a
// byte where two comparisons would be.
struct PlainTextEnds {
  bool at[256];
  constexpr PlainTextEnds() : at{} {
    at[0] = true;
    at[static_cast<unsigned char>('%')] = true;
  }
  constexpr bool operator[](unsigned char c) const { return at[c]; }
};
inline constexpr PlainTextEnds kEndsPlainText{};

class MessageWriter {
 public:
  explicit MessageWriter(char* message) : message_(message) {}

  void Put(const char* chars, std::size_t length) {
    std::size_t room = kMessageCapacity - 1 - used_;
    if (length > room) length = room;
    std::memcpy(message_ + used_, chars, length);
    used_ += length;
  }

  // Copies plain text up to the next '%' or `text_end`, the text's NUL,
  // and returns where it stopped. Runs of plain text are short, and a call
  // to memchr and memcpy for each costs more than them: eight bytes are
  // looked at in a register while both the text and the message have them,
  // then byte by byte.
  const char* PutPlain(const char* text, const char* text_end) {
    char* out = message_ + used_;
    std::size_t room = kMessageCapacity - 1 - used_;
    while (text_end - text >= 8 && room >= 8) {
      std::uint64_t word;
      std::memcpy(&word, text, 8);
      std::uint64_t marks = PercentMarks(word);
      if (marks != 0) {
#if defined(__GNUC__) && defined(__BYTE_ORDER__) && \
    __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
        // The lowest mark is the first '%'; the bytes copied past it are
        // written over by what follows it, or lie past the message's end.
        std::memcpy(out, &word, 8);
        auto before = static_cast<std::size_t>(__builtin_ctzll(marks) / 8);
        used_ = static_cast<std::size_t>(out - message_) + before;
        return text + before;
#else
        break;
#endif
      }
      std::memcpy(out, &word, 8);
      text += 8;
      out += 8;
      room -= 8;
    }
    std::size_t length = 0;
    for (; !kEndsPlainText[static_cast<unsigned char>(text[length])];
         ++length) {
      if (length < room) out[length] = text[length];
    }
    used_ = static_cast<std::size_t>(out - message_) +
            (length < room ? length : room);
    return text + length;
  }

  void PutRepeated(char c, std::size_t count) {
    if (count == 0) return;  // most fields need no padding
    std::size_t room = kMessageCapacity - 1 - used_;
    if (count > room) count = room;
    std::memset(message_ + used_, c, count);
    used_ += count;
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

  void Finish() { message_[used_] = '\0'; }

 private:
  char* message_;
  std::size_t used_ = 0;
};

}  // namespace msgreport

#endif  // MSGREPORT_HANDLER_MESSAGE_WRITER_H_
