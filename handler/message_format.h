// Composes a report's message from its text and arguments, exactly as
// vsnprintf would into a 1,024-byte buffer.

#ifndef MSGREPORT_HANDLER_MESSAGE_FORMAT_H_
#define MSGREPORT_HANDLER_MESSAGE_FORMAT_H_

#include <cstdarg>

#include "catalogue/message_limits.h"

namespace msgreport {

// The built-in text that a catalogue text replaced, or the text itself.
using BuiltInTextOf = const char* (*)(const char* text);

// Writes `text` formatted with `args` into `message`, which holds
// kMessageCapacity bytes, cut to kMessageCapacity - 1 characters. False on
// an encoding error, which leaves `message` undefined. A text that names
// its arguments' positions and replaced a built-in one, as `built_in_of`
// tells, is formatted by the library with the arguments as the built-in
// text reads them; without `built_in_of`, every text is taken for built-in
// and handed to vsnprintf as it is.
bool FormatMessage(char* message, const char* text, std::va_list args,
                   BuiltInTextOf built_in_of = nullptr);

}  // namespace msgreport

#endif  // MSGREPORT_HANDLER_MESSAGE_FORMAT_H_
