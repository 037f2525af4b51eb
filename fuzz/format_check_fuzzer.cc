// The format check on two arbitrary texts: whenever it accepts the second
// for the first, formatting the second with arguments made for the first
// must be safe, which the sanitizers and the checks below watch.

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "catalogue/format_check.h"
#include "fuzz_input.h"
#include "handler/message_format.h"

namespace {

using msgreport::ArgumentKind;
using msgreport::FormatArgument;

// Formatting is done with exact argument types, built up one argument at a
// time; three arguments keep the number of instantiations reasonable.
constexpr std::size_t kMostArguments = 3;

const wchar_t kWide[] = L"wide";
char pointee;

void Check(int written, const char* buffer, std::size_t capacity) {
  if (written < 0) return;  // an encoding error is reported, not unsafe
  std::size_t length = 0;
  while (length < capacity && buffer[length] != '\0') ++length;
  if (length >= capacity) std::abort();  // not terminated
}

// The library's own composition, which must give what snprintf gives.
bool Compose(char* message, const char* text, ...) {
  std::va_list args;
  va_start(args, text);
  bool formatted = msgreport::FormatMessage(message, text, args);
  va_end(args);
  return formatted;
}

template <typename... Values>
void Format(const std::string& format, const std::vector<FormatArgument>& args,
            std::size_t next, Values... values) {
  if (next == args.size()) {
    char buffer[1024];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
    int written =
        std::snprintf(buffer, sizeof buffer, format.c_str(), values...);
#pragma GCC diagnostic pop
    Check(written, buffer, sizeof buffer);
    char composed[msgreport::kMessageCapacity];
    if (Compose(composed, format.c_str(), values...) && written >= 0 &&
        std::strcmp(composed, buffer) != 0) {
      std::abort();
    }
    return;
  }
  if constexpr (sizeof...(Values) < kMostArguments) {
    const FormatArgument& arg = args[next];
    const std::string& length = arg.length;
    switch (arg.kind) {
      case ArgumentKind::kInteger:
        if (length == "l") return Format(format, args, next + 1, values..., 7L);
        if (length == "ll") {
          return Format(format, args, next + 1, values..., 7LL);
        }
        if (length == "j") {
          return Format(format, args, next + 1, values..., std::intmax_t{7});
        }
        if (length == "z") {
          return Format(format, args, next + 1, values..., std::size_t{7});
        }
        if (length == "t") {
          return Format(format, args, next + 1, values..., std::ptrdiff_t{7});
        }
        return Format(format, args, next + 1, values..., 65);
      case ArgumentKind::kWideChar:
        return Format(format, args, next + 1, values..., std::wint_t{L'w'});
      case ArgumentKind::kFloating:
        if (length == "L")
          return Format(format, args, next + 1, values..., 1.5L);
        return Format(format, args, next + 1, values..., 1.5);
      case ArgumentKind::kString:
        if (length == "l")
          return Format(format, args, next + 1, values..., kWide);
        return Format(format, args, next + 1, values..., "text");
      case ArgumentKind::kPointer:
        return Format(format, args, next + 1, values...,
                      static_cast<void*>(&pointee));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  std::vector<std::string> fields =
      msgreport_fuzz::SplitFields(data, size, '\n');
  if (fields.size() < 2) return 0;
  const std::string& catalogue = fields[0];
  const std::string& replacement = fields[1];
  msgreport::CompatibilityVerdict verdict = msgreport::CheckCompatibility(
      catalogue.c_str(), replacement.data(), replacement.size());
  if (!verdict.accepted()) return 0;
  // Arguments are made for the catalogue text: one per conversion, of the
  // type it reads, as the program would pass them.
  msgreport::ParsedFormat parsed = msgreport::ParseFormat(catalogue.c_str());
  if (parsed.arguments.size() > kMostArguments) return 0;
  // The replacement is a C string from here on, as the reader stores it.
  Format(std::string(replacement.c_str()), parsed.arguments, 0);
  return 0;
}
