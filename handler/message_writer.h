// Collects a report's message, silently cutting it where the buffer ends,
// as vsnprintf does.

#ifndef MSGREPORT_HANDLER_MESSAGE_WRITER_H_
#define MSGREPORT_HANDLER_MESSAGE_WRITER_H_

#include <cstddef>
#include <cstring>

#include "catalogue/message_limits.h"

namespace msgreport {

class MessageWriter {
 public:
  explicit MessageWriter(char* message) : message_(message) {}

  void Put(const char* chars, std::size_t length) {
    std::size_t room = kMessageCapacity - 1 - used_;
    if (length > room) length = room;
    std::memcpy(message_ + used_, chars, length);
    used_ += length;
  }

  // Copies plain text up to the next '%' or the text's end and returns
  // where it stopped. Byte by byte: a message's runs of plain text are
  // short, and a call to strchr and memcpy for each costs more than them.
  const char* PutPlain(const char* text) {
    char* out = message_ + used_;
    char* const end = message_ + kMessageCapacity - 1;
    for (; *text != '\0' && *text != '%'; ++text) {
      if (out != end) *out++ = *text;
    }
    used_ = static_cast<std::size_t>(out - message_);
    return text;
  }

  void PutRepeated(char c, std::size_t count) {
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
