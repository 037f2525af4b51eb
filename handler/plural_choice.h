// Chooses which text of a plural message a report formats, by the count
// among the report's own arguments.

#ifndef MSGREPORT_HANDLER_PLURAL_CHOICE_H_
#define MSGREPORT_HANDLER_PLURAL_CHOICE_H_

#include <cstdarg>

#include "catalogue/plural_message.h"

namespace msgreport {

// The text of the category that the message's language gives its count,
// or its "other" text when it has none for that category. `args` is read
// from a copy, so the caller formats from the start of it.
const char* ChoosePluralText(const PluralMessage& message, std::va_list args);

}  // namespace msgreport

#endif  // MSGREPORT_HANDLER_PLURAL_CHOICE_H_
