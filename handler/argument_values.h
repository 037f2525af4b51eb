// A report's arguments read ahead of formatting, each as the C type its
// built-in conversion reads: what lets a reordered text name them in any
// order, and a plural message find its count before choosing its text.

#ifndef MSGREPORT_HANDLER_ARGUMENT_VALUES_H_
#define MSGREPORT_HANDLER_ARGUMENT_VALUES_H_

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cwchar>

#include "catalogue/argument_type.h"

namespace msgreport {

struct Value {
  ArgumentType type = ArgumentType::kInt;
  union {
    int i = 0;  // so that a value never read is still defined
    long l;
    long long ll;
    std::intmax_t j;
    std::size_t z;
    std::ptrdiff_t t;
    std::wint_t wc;
    double d;
    long double ld;
    const char* s;
    const wchar_t* ws;
    const void* p;
  };
};

// Reads the next argument as `type`.
Value ReadValue(ArgumentType type, std::va_list& args);

// Reads the first `count` arguments the way `built_in` does. False when it
// reads fewer.
bool ReadArguments(const char* built_in, std::size_t count, Value* values,
                   std::va_list& args);

}  // namespace msgreport

#endif  // MSGREPORT_HANDLER_ARGUMENT_VALUES_H_
