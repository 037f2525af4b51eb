// Composes a report's message from its text and arguments, exactly as
// vsnprintf would into a 1,024-byte buffer.

#ifndef MSGREPORT_HANDLER_MESSAGE_FORMAT_H_
#define MSGREPORT_HANDLER_MESSAGE_FORMAT_H_

#include <cstdarg>

#include "catalogue/message_limits.h"

namespace msgreport {

// Writes `text` formatted with `args` into `message`, which holds
// kMessageCapacity bytes, cut to kMessageCapacity - 1 characters. False on
// an encoding error, which leaves `message` undefined.
bool FormatMessage(char* message, const char* text, std::va_list args);

}  // namespace msgreport

#endif  // MSGREPORT_HANDLER_MESSAGE_FORMAT_H_
