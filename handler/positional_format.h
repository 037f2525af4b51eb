// Formats a message-file text whose conversions name their arguments'
// positions (%2$s, %1$*3$d), the same on every platform: the Windows C
// runtimes do not all read positions, so the library does it itself.

#ifndef MSGREPORT_HANDLER_POSITIONAL_FORMAT_H_
#define MSGREPORT_HANDLER_POSITIONAL_FORMAT_H_

#include <cstdarg>

namespace msgreport {

// Whether `text`'s first conversion names its argument's position. A text
// that passed the format check then names every argument so.
bool NamesPositions(const char* text);

// Writes positional `text` into `message` (kMessageCapacity bytes, cut to
// fit), with `args` as the program passes them for `built_in`, the key's
// built-in text: each argument is read once, in the built-in text's order
// and types, then each conversion formats the one it names. The format
// check has made sure that every conversion reads its argument as the
// built-in text does. False when a conversion fails to format (an encoding
// error) or names an argument the built-in text does not read.
bool FormatPositional(char* message, const char* text, const char* built_in,
                      std::va_list args);

}  // namespace msgreport

#endif  // MSGREPORT_HANDLER_POSITIONAL_FORMAT_H_
