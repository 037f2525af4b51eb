// Names that a key of a catalogue header may not have: the C++ keywords and
// the names that compilers and common headers define as macros. A key so
// named would break the generated header, or the program that includes it,
// with an error deep inside generated code.

#ifndef MSGREPORT_TOOLS_MSGCHECK_RESERVED_NAMES_H_
#define MSGREPORT_TOOLS_MSGCHECK_RESERVED_NAMES_H_

#include <string_view>

namespace msgcheck {

// Why `name` is reserved ("is a C++ keyword ..."), or empty when it is not.
std::string_view WhyReserved(std::string_view name);

}  // namespace msgcheck

#endif  // MSGREPORT_TOOLS_MSGCHECK_RESERVED_NAMES_H_
