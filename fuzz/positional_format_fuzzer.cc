// Differential fuzzing of reordered texts. From the input: one of a set of
// built-in texts, the values a program passes for it, and a translation
// that names its arguments' positions, made to the format check's rules
// with flags, widths and precisions of the input's choosing. The check must
// accept it; the library then formats it itself, and where the C library
// reads positions too (glibc) both must print the same. Then a text that
// reads the same arguments in their order, decorated as the input says,
// which the library formats as a report does and must format as the
// platform's vsnprintf does, on every platform.

#include <algorithm>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "catalogue/format_check.h"
#include "catalogue/message_limits.h"
#include "handler/message_format.h"
#include "handler/positional_format.h"
#include "tests/formatted_both_ways.h"

namespace {

using msgreport::ArgumentKind;
using msgreport::ArgumentRole;
using msgreport::FormatArgument;
using Kind = msgreport::Field::Kind;

// Reads the input a byte at a time; zeros once it runs out.
class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size)
      : data_(data), size_(size) {}
  unsigned Next() { return at_ < size_ ? data_[at_++] : 0u; }
  unsigned Below(unsigned bound) { return Next() % bound; }
  bool Coin() { return (Next() & 1u) != 0; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// Stops the run where the two sides differ, saying on what.
void ExpectAlike(const msgreport_test::Both& both, const std::string& what) {
  if (both.ours == both.theirs) return;
  std::fprintf(stderr, "%s:\n ours   '%s'\n theirs '%s'\n", what.c_str(),
               both.ours.c_str(), both.theirs.c_str());
  std::abort();
}

void Compare(const char* built_in, const char* text, ...) {
  msgreport::CompatibilityVerdict verdict =
      msgreport::CheckCompatibility(built_in, text, std::strlen(text));
  if (verdict.result != msgreport::Compatibility::kCompatible) {
    std::fprintf(stderr, "rejected: '%s' for '%s'\n", text, built_in);
    std::abort();
  }
  char ours[msgreport::kMessageCapacity];
  std::va_list args;
  va_start(args, text);
  std::va_list copy;
  va_copy(copy, args);
  bool formatted = msgreport::FormatPositional(ours, text, built_in, args);
#if defined(__GLIBC__)
  char theirs[msgreport::kMessageCapacity];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  int written = std::vsnprintf(theirs, sizeof theirs, text, copy);
#pragma GCC diagnostic pop
  ExpectAlike(msgreport_test::Outcomes(formatted, ours, written, theirs),
              "'" + std::string(text) + "' for '" + built_in + "'");
#else
  (void)formatted;
#endif
  va_end(copy);
  va_end(args);
}

// vsnprintf is the reference here, whatever it makes of the text.
template <typename... Values>
void CompareInOrder(const char* text, Values... values) {
  ExpectAlike(msgreport_test::FormattedBothWays(text, values...),
              "'" + std::string(text) + "'");
}

// The flags, width and precision that the input gives one conversion.
std::string Decoration(Bytes& bytes, bool numeric, std::size_t star) {
  std::string directive;
  unsigned flags = bytes.Next();
  const char* choices = numeric ? "-+ #0" : "-";
  for (unsigned bit = 0; choices[bit] != '\0'; ++bit) {
    if ((flags >> bit) & 1u) directive += choices[bit];
  }
  if (bytes.Coin()) {
    directive += star != 0 && bytes.Coin() ? "*" + std::to_string(star) + "$"
                                           : std::to_string(bytes.Below(16));
  }
  return directive;
}

// A conversion that reads argument `position` as the built-in text does.
std::string Reading(Bytes& bytes, const std::vector<FormatArgument>& arguments,
                    std::size_t position, std::size_t star) {
  const FormatArgument& argument = arguments[position - 1];
  std::string conversion = "%" + std::to_string(position) + "$";
  if (argument.role != ArgumentRole::kValue) {
    return conversion + Decoration(bytes, true, star) + "d";
  }
  static const char* const kIntLengths[] = {"", "h", "hh"};
  switch (argument.kind) {
    case ArgumentKind::kInteger: {
      std::string length = argument.length;
      if (length.empty() || length == "h" || length == "hh") {
        length = kIntLengths[bytes.Below(3)];
      }
      conversion += Decoration(bytes, true, star);
      if (bytes.Coin()) conversion += "." + std::to_string(bytes.Below(8));
      return conversion + length + "diouxX"[bytes.Below(6)];
    }
    case ArgumentKind::kFloating: {
      conversion += Decoration(bytes, true, star);
      if (bytes.Coin()) conversion += "." + std::to_string(bytes.Below(8));
      std::string length = argument.length == "L" ? "L"
                           : bytes.Coin()         ? "l"
                                                  : "";
      return conversion + length + "feEgGaA"[bytes.Below(7)];
    }
    case ArgumentKind::kString: {
      conversion += Decoration(bytes, false, star);
      if (argument.precision.kind == Kind::kStar) {
        conversion += ".*" + std::to_string(position - 1) + "$";
      } else if (argument.precision.kind == Kind::kLiteral) {
        conversion +=
            "." + std::to_string(bytes.Below(
                      static_cast<unsigned>(argument.precision.digits) + 1));
      } else if (bytes.Coin()) {
        conversion += "." + std::to_string(bytes.Below(8));
      }
      return conversion + argument.length + "s";
    }
    case ArgumentKind::kWideChar:
      return conversion + Decoration(bytes, false, star) + "lc";
    case ArgumentKind::kPointer:
      return conversion + Decoration(bytes, false, star) + "p";
  }
  return conversion + "d";
}

// A translation of `built_in`: literal bytes and conversions in the input's
// order, then one for each argument not yet named, since the C library
// needs every argument named to know its type.
std::string Translation(Bytes& bytes, const char* built_in) {
  std::vector<FormatArgument> arguments =
      msgreport::ParseFormat(built_in).arguments;
  std::size_t star = 0;  // an argument the built-in text reads through '*'
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i].role == ArgumentRole::kStarWidth) star = i + 1;
  }
  std::vector<bool> named(arguments.size());
  std::string text;
  for (unsigned parts = 1 + bytes.Below(6); parts > 0; --parts) {
    unsigned byte = bytes.Next();
    if (byte % 4 == 0) {
      text += byte % 8 == 0
                  ? "%%"
                  : std::string(1, static_cast<char>(' ' + byte % 90));
      continue;
    }
    std::size_t position =
        1 + bytes.Below(static_cast<unsigned>(arguments.size()));
    text += Reading(bytes, arguments, position, star);
    named[position - 1] = true;
  }
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (!named[i]) text += " " + Reading(bytes, arguments, i + 1, 0);
  }
  return text;
}

// A text that reads the built-in text's arguments in their order, each
// value decorated as the input says, a '*' of the built-in text staying a
// '*' of the value it precedes; now and then a field wide enough to reach
// the end of the message.
std::string InOrder(Bytes& bytes, const char* built_in) {
  std::string text;
  std::string width;
  std::string precision;
  for (const FormatArgument& argument :
       msgreport::ParseFormat(built_in).arguments) {
    static const char* const kLiterals[] = {"a", "%%", "b c", " "};
    if (bytes.Below(3) == 0) text += kLiterals[bytes.Below(4)];
    if (argument.role == ArgumentRole::kStarWidth) {
      width = "*";
      continue;
    }
    if (argument.role == ArgumentRole::kStarPrecision) {
      precision = ".*";
      continue;
    }
    bool numeric = argument.kind == ArgumentKind::kInteger ||
                   argument.kind == ArgumentKind::kFloating;
    std::string conversion = "%" + Decoration(bytes, numeric, 0);
    if (conversion.size() > 1 && bytes.Below(8) == 0) {
      conversion += std::to_string(1000 + bytes.Below(40));
    }
    if (!width.empty()) conversion = bytes.Coin() ? "%-*" : "%*";
    if (precision.empty() && bytes.Coin()) {
      precision =
          argument.precision.kind == Kind::kLiteral
              ? "." + std::to_string(bytes.Below(
                          static_cast<unsigned>(argument.precision.digits) + 1))
              : "." + std::to_string(bytes.Below(12));
    }
    conversion += precision;
    width.clear();
    precision.clear();
    switch (argument.kind) {
      case ArgumentKind::kInteger: {
        std::string length = argument.length;
        bool promoted = length.empty() || length == "h" || length == "hh";
        if (promoted) length = bytes.Coin() ? "" : bytes.Coin() ? "h" : "hh";
        const char* letters = length.empty() ? "diouxXc" : "diouxX";
        conversion +=
            length +
            letters[bytes.Below(static_cast<unsigned>(std::strlen(letters)))];
        break;
      }
      case ArgumentKind::kFloating:
        conversion += argument.length + "feEgGaA"[bytes.Below(7)];
        break;
      case ArgumentKind::kString:
        conversion += argument.length + "s";
        break;
      case ArgumentKind::kWideChar:
        conversion += "lc";
        break;
      case ArgumentKind::kPointer:
        conversion += "p";
        break;
    }
    text += conversion;
  }
  return text;
}

// Each built-in text's values, through a translation and in order.
template <typename... Values>
void CompareBoth(Bytes& bytes, const char* built_in, Values... values) {
  Compare(built_in, Translation(bytes, built_in).c_str(), values...);
  CompareInOrder(InOrder(bytes, built_in).c_str(), values...);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  Bytes bytes(data, size);
  // The values a program would pass, from the input.
  int small = static_cast<int>(bytes.Below(41)) - 20;
  // A '*' width. glibc's positional road pads a left-justified floating
  // field with zeros when the 0 flag meets a negative width, which the C
  // standard does not allow; the library pads with spaces, as glibc's plain
  // road does, so negative widths are tried in the unit tests instead.
  int width = static_cast<int>(bytes.Below(21));
  int number = static_cast<int>(bytes.Next() | (bytes.Next() << 8)) - 30000;
  long long big = static_cast<long long>(bytes.Next()) << 40 | bytes.Next();
  double real = (static_cast<int>(bytes.Next()) - 128) / 7.0;
  const char* words[] = {"", "a", "word", "longer words"};
  const char* word = words[bytes.Below(4)];
  const wchar_t wide[] = L"wide";
  static char pointee;

  // Each built-in text is called with exactly the types it reads.
  switch (bytes.Below(8)) {
    case 0: {
      const char* built_in = "%d of %s, %f";
      CompareBoth(bytes, built_in, number, word, real);
      break;
    }
    case 1: {
      const char* built_in = "[%*d] %ld %s";
      CompareBoth(bytes, built_in, width, number, static_cast<long>(big), word);
      break;
    }
    case 2: {
      const char* built_in = "%lld %.*s %c";
      CompareBoth(bytes, built_in, big, small, word, 'a' + small);
      break;
    }
    case 3: {
      const char* built_in = "%zu %p %Lf";
      CompareBoth(bytes, built_in, static_cast<std::size_t>(big),
                  static_cast<void*>(&pointee), static_cast<long double>(real));
      break;
    }
    case 4: {
      const char* built_in = "%hd %lf %lu %x";
      CompareBoth(bytes, built_in, number, real,
                  static_cast<unsigned long>(big),
                  static_cast<unsigned>(number));
      break;
    }
    case 5: {
      const char* built_in = "%s %.3s %jd %td";
      CompareBoth(bytes, built_in, word, "abcdef",
                  static_cast<std::intmax_t>(big),
                  static_cast<std::ptrdiff_t>(number));
      break;
    }
    case 6: {
      const char* built_in = "%ls %lc %u";
      CompareBoth(bytes, built_in, wide,
                  static_cast<std::wint_t>(L'a' + (small & 15)),
                  static_cast<unsigned>(small));
      break;
    }
    default: {
      const char* built_in = "%-*.*e and %hhu";
      CompareBoth(bytes, built_in, width, small / 3, real, number);
      break;
    }
  }
  return 0;
}
