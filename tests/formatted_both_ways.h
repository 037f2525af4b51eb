// A message formatted through the library and through vsnprintf, for the
// tests and the fuzz targets that hold the one to the other.

#ifndef MSGREPORT_TESTS_FORMATTED_BOTH_WAYS_H_
#define MSGREPORT_TESTS_FORMATTED_BOTH_WAYS_H_

#include <algorithm>
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <string>

#include "catalogue/message_limits.h"
#include "handler/message_format.h"

namespace msgreport_test {

// What stands for a side that failed to format.
inline constexpr char kFailed[] = "<failed>";

struct Both {
  std::string ours;
  std::string theirs;
};

// Equal exactly when both sides agree: every byte vsnprintf wrote, to its
// NUL, so that a NUL from %c hides nothing after it; where one side fails,
// the other must fail too.
inline Both Outcomes(bool formatted, const char* ours, int written,
                     const char* theirs) {
  if (written < 0) return {formatted ? "<formatted>" : kFailed, kFailed};
  std::size_t length = std::min(static_cast<std::size_t>(written) + 1,
                                msgreport::kMessageCapacity);
  return {formatted ? std::string(ours, length) : kFailed,
          std::string(theirs, length)};
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
inline Both FormattedBothWays(const char* text, ...) {
  char ours[msgreport::kMessageCapacity];
  char theirs[msgreport::kMessageCapacity];
  std::va_list args;
  va_start(args, text);
  std::va_list copy;
  va_copy(copy, args);
  bool formatted = msgreport::FormatMessage(ours, text, args);
  int written = std::vsnprintf(theirs, sizeof theirs, text, copy);
  va_end(copy);
  va_end(args);
  return Outcomes(formatted, ours, written, theirs);
}
#pragma GCC diagnostic pop

}  // namespace msgreport_test

#endif  // MSGREPORT_TESTS_FORMATTED_BOTH_WAYS_H_
