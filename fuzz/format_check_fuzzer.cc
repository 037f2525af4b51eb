// The format check on two arbitrary texts: whenever it accepts the second
// for the first, formatting the second with arguments made for the first
// must be safe, which the sanitizers and the checks below watch.
//
// The arguments are as hostile as the first text allows: a plain int is far
// too large to serve as a width or precision, and a string with a precision
// holds just that many bytes before a marker byte. Each input is formatted
// twice, with two different markers: output that differs read past the
// precision. (The sanitizer's own printf check misreads "%.s", so the
// strings do end in a NUL after the marker.)

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/format_check.h"
#include "fuzz_input.h"
#include "handler/message_format.h"
#include "handler/positional_format.h"

namespace {

using msgreport::ArgumentKind;
using msgreport::FormatArgument;

// Formatting is done with exact argument types, built up one argument at a
// time; three arguments keep the number of instantiations reasonable.
constexpr std::size_t kMostArguments = 3;

const wchar_t kWide[] = L"wide";
char pointee;
// What the program passes for a '*': a small bound.
constexpr int kStarValue = 3;
// What it may pass as an int value; as a width it would pad for long.
constexpr int kLargeValue = 1 << 24;
// Far more than three bounded conversions and an 8 KiB text can produce.
constexpr int kMostOutput = 1 << 20;

// Set before each formatting of an input, and what it printed.
char marker;
std::string printed;
// The catalogue text of the input, whose arguments a text that names their
// positions reads through the library (the C library could not read
// arguments that such a text leaves unnamed).
const char* built_in = "";
bool names_positions = false;

void Check(int written, const char* buffer, std::size_t capacity) {
  if (written < 0) return;  // an encoding error is reported, not unsafe
  if (written >= kMostOutput) std::abort();  // an unbounded field
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

bool ComposePositional(char* message, const char* text, ...) {
  std::va_list args;
  va_start(args, text);
  bool formatted = msgreport::FormatPositional(message, text, built_in, args);
  va_end(args);
  return formatted;
}

template <typename... Values>
void Format(const std::string& format, const std::vector<FormatArgument>& args,
            std::size_t next, Values... values) {
  if (next == args.size()) {
    if (names_positions) {
      char composed[msgreport::kMessageCapacity];
      if (ComposePositional(composed, format.c_str(), values...)) {
        printed = composed;
      }
      return;
    }
    char buffer[1024];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
    int written =
        std::snprintf(buffer, sizeof buffer, format.c_str(), values...);
#pragma GCC diagnostic pop
    Check(written, buffer, sizeof buffer);
    if (written >= 0) printed = buffer;
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
        return Format(format, args, next + 1, values...,
                      arg.role == msgreport::ArgumentRole::kValue ? kLargeValue
                                                                  : kStarValue);
      case ArgumentKind::kWideChar:
        return Format(format, args, next + 1, values..., std::wint_t{L'w'});
      case ArgumentKind::kFloating:
        if (length == "L")
          return Format(format, args, next + 1, values..., 1.5L);
        return Format(format, args, next + 1, values..., 1.5);
      case ArgumentKind::kString: {
        if (length == "l")
          return Format(format, args, next + 1, values..., kWide);
        using Kind = msgreport::Field::Kind;
        if (arg.precision.kind == Kind::kNone) {
          return Format(format, args, next + 1, values..., "text");
        }
        std::size_t size = arg.precision.kind == Kind::kStar
                               ? std::size_t{kStarValue}
                               : arg.precision.digits;
        auto bounded = std::make_unique<char[]>(size + 2);
        std::memset(bounded.get(), 's', size);
        bounded[size] = marker;
        const char* value = bounded.get();
        return Format(format, args, next + 1, values..., value);
      }
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
  std::string format(replacement.c_str());
  built_in = catalogue.c_str();
  names_positions = msgreport::NamesPositions(format.c_str());
  marker = '\x01';
  printed.clear();
  Format(format, parsed.arguments, 0);
  std::string first = printed;
  marker = '\x02';
  Format(format, parsed.arguments, 0);
  if (printed != first) std::abort();  // read a string past its precision
  return 0;
}
