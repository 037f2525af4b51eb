// Formats one conversion with its flags, width, precision and length
// modifier, byte for byte as the platform's vsnprintf would: integers in
// every base, characters and strings. Floating conversions, pointers, wide
// characters and strings, and whatever the C standard leaves to the C
// library are left to vsnprintf.

#ifndef MSGREPORT_HANDLER_CONVERSION_FORMAT_H_
#define MSGREPORT_HANDLER_CONVERSION_FORMAT_H_

#include <cstdarg>

#include "handler/message_writer.h"

namespace msgreport {

// Formats the conversion that `directive` starts, just after its '%', reading
// its arguments from `args`, and returns where the text goes on after it.
// Null, having perhaps read arguments, for a conversion left to vsnprintf.
const char* FormatConversion(MessageWriter& writer, const char* directive,
                             std::va_list& args);

}  // namespace msgreport

#endif  // MSGREPORT_HANDLER_CONVERSION_FORMAT_H_
