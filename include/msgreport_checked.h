// msgreport_checked.h: reports whose arguments the compiler checks against
// the key's built-in text, in standard C++17, under any warning flags.
//
// The headers that msgcheck makes from a catalogue include this one; an
// application does not use it directly. Their report macros expand to
//
//   msgreport::checked::Report<Severity::kInfo>(handler, ns::message::KEY,
//                                               arguments...);
//
// where ns::message::KEY is a Message that carries the key and its text as
// template arguments. The text is parsed at compile time, conversion by
// conversion, exactly as the library's printf reads it on the target being
// built, and each argument is checked against what its conversion reads. A
// call that does not fit does not compile; the first error names the key,
// the argument (1 is the first after the key), the conversion, what it
// reads and the type that was passed:
//
//   ReportArgumentDoesNotFit<&filesync::key::SYNC_DONE, 2,
//       Conversion<'%', 'l', 'u'>, long unsigned int, int>
//
// What fits a conversion is what the C library reads for it after the
// default argument promotions: a char or short for %d, a float for %f. An
// integer fits a conversion of its own type or of that type's signed or
// unsigned twin, and no other, so `long` does not fit %lld even where the
// two have the same size. A string conversion takes a pointer to a narrow
// character type, %ls one to wchar_t, %p any object pointer, and a '*'
// width or precision exactly an int.
//
// Each argument is evaluated once and passed on as it is: a checked report
// costs what a plain one does.

#ifndef MSGREPORT_CHECKED_H_
#define MSGREPORT_CHECKED_H_

#if __cplusplus < 201703L && !(defined(_MSVC_LANG) && _MSVC_LANG >= 201703L)
#error "msgreport: headers made from catalogues need C++17 or newer"
#endif

#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <tuple>
#include <type_traits>
#include <utility>

#include "msgreport.h"

namespace msgreport {
namespace checked {

// What printf reads for one argument.
enum class Reads {
  kInt,
  kLong,
  kLongLong,
  kSize,
  kIntmax,
  kPtrdiff,
  kWideChar,
  kDouble,
  kLongDouble,
  kString,
  kWideString,
  kPointer,
  kStarInt,  // a '*' width or precision
};

// Why a text cannot be checked.
enum class TextProblem { kNone, kMalformed, kWritesCount, kPositional };

// One argument that a text reads, and where its conversion stands.
struct TextArgument {
  Reads reads = Reads::kInt;
  bool is_unsigned = false;  // %u, %o, %x or %X: for error messages only
  std::size_t begin = 0;     // the '%'
  std::size_t end = 0;       // one past the conversion letter
};

// A text's shape: how many arguments it reads, or where it first cannot be
// read.
struct TextShape {
  std::size_t arguments = 0;
  TextProblem problem = TextProblem::kNone;
  std::size_t problem_begin = 0;
  std::size_t problem_end = 0;
};

namespace detail {

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

constexpr bool IsFlag(char c) {
  // glibc reads 'I' as a flag (locale digits); Windows reads it as a size.
#if !defined(_WIN32) && defined(__GLIBC__)
  if (c == 'I') return true;
#endif
  return c == '-' || c == '+' || c == ' ' || c == '#' || c == '0';
}

constexpr bool StartsWith(const char* text, std::size_t at,
                          const char* prefix) {
  for (std::size_t i = 0; prefix[i] != '\0'; ++i) {
    if (text[at + i] != prefix[i]) return false;
  }
  return true;
}

// The length modifiers, as the library's printf knows them on this target.
enum class Length {
  kNone,
  kHH,
  kH,
  kL,
  kLL,
  kBigL,
  kJ,
  kZ,
  kT,
  kI32,
  kI64,
  kI
};

constexpr Length ReadLength(const char* text, std::size_t& at) {
  struct Spelling {
    const char* text;
    Length length;
  };
  constexpr Spelling kSpellings[] = {
    {"hh", Length::kHH},
    {"h", Length::kH},
    {"ll", Length::kLL},
    {"l", Length::kL},
    {"L", Length::kBigL},
    {"j", Length::kJ},
    {"z", Length::kZ},
    {"t", Length::kT},
#if defined(_WIN32)
    {"I64", Length::kI64},
    {"I32", Length::kI32},
    {"I", Length::kI},
#endif
  };
  for (const Spelling& spelling : kSpellings) {
    if (StartsWith(text, at, spelling.text)) {
      for (const char* c = spelling.text; *c != '\0'; ++c) ++at;
      return spelling.length;
    }
  }
  return Length::kNone;
}

constexpr bool IsOneOf(char c, const char* letters) {
  for (; *letters != '\0'; ++letters) {
    if (c == *letters) return true;
  }
  return false;
}

// What a conversion letter reads with a length modifier; false when the
// pair is not one this library formats.
constexpr bool ReadsOf(char letter, Length length, Reads& reads) {
  if (IsOneOf(letter, "diouxX")) {
    switch (length) {
      case Length::kNone:
      case Length::kHH:
      case Length::kH:
      case Length::kI32:
        reads = Reads::kInt;
        return true;
      case Length::kL:
        reads = Reads::kLong;
        return true;
      case Length::kLL:
      case Length::kI64:
        reads = Reads::kLongLong;
        return true;
      case Length::kJ:
        reads = Reads::kIntmax;
        return true;
      case Length::kZ:
      case Length::kI:
        reads = Reads::kSize;
        return true;
      case Length::kT:
        reads = Reads::kPtrdiff;
        return true;
      case Length::kBigL:
        return false;
    }
  }
  if (letter == 'c' && (length == Length::kNone || length == Length::kL)) {
    reads = length == Length::kL ? Reads::kWideChar : Reads::kInt;
    return true;
  }
  if (IsOneOf(letter, "fFeEgGaA") &&
      (length == Length::kNone || length == Length::kL ||
       length == Length::kBigL)) {
    reads = length == Length::kBigL ? Reads::kLongDouble : Reads::kDouble;
    return true;
  }
  if (letter == 's' && (length == Length::kNone || length == Length::kL)) {
    reads = length == Length::kL ? Reads::kWideString : Reads::kString;
    return true;
  }
  if (letter == 'p' && length == Length::kNone) {
    reads = Reads::kPointer;
    return true;
  }
  return false;
}

// Walks a text's conversions, counting the arguments they read, and stops
// at argument `wanted` (when it is read) or at the first problem.
struct Walk {
  TextShape shape;
  TextArgument found;
  bool has_found = false;
};

constexpr Walk WalkText(const char* text, std::size_t wanted) {
  Walk walk;
  std::size_t at = 0;
  auto read = [&](Reads reads, std::size_t begin) {
    if (walk.shape.arguments == wanted && !walk.has_found) {
      walk.found = TextArgument{reads, false, begin, 0};
      walk.has_found = true;
    }
    ++walk.shape.arguments;
  };
  auto fail = [&](TextProblem problem, std::size_t begin) {
    walk.shape.problem = problem;
    walk.shape.problem_begin = begin;
    walk.shape.problem_end = text[at] == '\0' ? at : at + 1;
    return walk;
  };
  while (text[at] != '\0') {
    if (text[at] != '%') {
      ++at;
      continue;
    }
    std::size_t begin = at++;
    if (text[at] == '%') {
      ++at;
      continue;
    }
    bool finds_here = walk.shape.arguments <= wanted && !walk.has_found;
    while (IsFlag(text[at])) ++at;
    for (int field = 0; field < 2; ++field) {  // width, then precision
      if (field == 1) {
        if (text[at] != '.') break;
        ++at;
      }
      if (text[at] == '*') {
        ++at;
        read(Reads::kStarInt, begin);
        if (IsDigit(text[at])) {
          while (IsDigit(text[at])) ++at;
          return fail(text[at] == '$' ? TextProblem::kPositional
                                      : TextProblem::kMalformed,
                      begin);
        }
      } else {
        while (IsDigit(text[at])) ++at;
        if (text[at] == '$') return fail(TextProblem::kPositional, begin);
      }
    }
    Length length = ReadLength(text, at);
    char letter = text[at];
    if (letter == 'n') return fail(TextProblem::kWritesCount, begin);
    Reads reads = Reads::kInt;
    if (letter == '\0' || !ReadsOf(letter, length, reads)) {
      return fail(TextProblem::kMalformed, begin);
    }
    read(reads, begin);
    // A '*' of "%*x" reads an int, whatever the letter.
    if (walk.has_found && walk.found.begin == begin &&
        walk.found.reads != Reads::kStarInt) {
      walk.found.is_unsigned = IsOneOf(letter, "ouxX");
    }
    ++at;
    if (finds_here && walk.has_found && walk.found.end == 0) {
      walk.found.end = at;
    }
  }
  return walk;
}

// The type that stands for what a conversion reads, in error messages, in
// the order of Reads.
template <Reads R>
using ReadType = std::tuple_element_t<
    static_cast<std::size_t>(R),
    std::tuple<int, long, long long, std::size_t, std::intmax_t, std::ptrdiff_t,
               decltype(+std::wint_t{}), double, long double, const char*,
               const wchar_t*, const void*, int>>;

// What an argument of type T is once passed through "...": arrays and
// functions decay, integers narrower than int and unscoped enumerations
// are promoted, float becomes double.
template <typename T, typename = void>
struct Promoted {
  using type = std::decay_t<T>;
};
template <typename T>
struct Promoted<
    T, std::enable_if_t<std::is_integral_v<std::decay_t<T>> ||
                        (std::is_enum_v<std::decay_t<T>> &&
                         std::is_convertible_v<std::decay_t<T>, int>)>> {
  using type = decltype(+std::declval<std::decay_t<T>>());
};
template <typename T>
struct Promoted<T, std::enable_if_t<std::is_same_v<std::decay_t<T>, float>>> {
  using type = double;
};

// Whether integer type P is integer type R or its twin of the other
// signedness.
template <typename P, typename R>
constexpr bool SameInteger() {
  if constexpr (std::is_integral_v<P> && !std::is_same_v<P, bool>) {
    return std::is_same_v<std::make_signed_t<P>, std::make_signed_t<R>>;
  } else {
    return false;
  }
}

template <typename P, typename... Characters>
constexpr bool PointsToOneOf() {
  if constexpr (std::is_pointer_v<P>) {
    using Pointee = std::remove_cv_t<std::remove_pointer_t<P>>;
    return (std::is_same_v<Pointee, Characters> || ...);
  } else {
    return false;
  }
}

// Whether an argument that is P once promoted fits a conversion reading R.
template <Reads R, typename P>
constexpr bool Fits() {
  using Read = ReadType<R>;
  if constexpr (R == Reads::kString) {
    return PointsToOneOf<P, char, signed char, unsigned char>();
  } else if constexpr (R == Reads::kWideString) {
    return PointsToOneOf<P, wchar_t>();
  } else if constexpr (R == Reads::kPointer) {
    return std::is_same_v<P, std::nullptr_t> ||
           (std::is_pointer_v<P> &&
            !std::is_function_v<std::remove_pointer_t<P>>);
  } else if constexpr (std::is_integral_v<Read> && R != Reads::kStarInt) {
    return SameInteger<P, Read>();
  } else {
    return std::is_same_v<P, Read>;
  }
}

template <typename T>
constexpr bool kNever = false;

}  // namespace detail

// A conversion as the text spells it, for error messages.
template <char... Spelling>
struct Conversion {};

template <const char* Text, std::size_t Begin, typename Indices>
struct Spell;
template <const char* Text, std::size_t Begin, std::size_t... I>
struct Spell<Text, Begin, std::index_sequence<I...>> {
  using type = Conversion<Text[Begin + I]...>;
};
template <const char* Text, std::size_t Begin, std::size_t End>
using Spelled =
    typename Spell<Text, Begin, std::make_index_sequence<End - Begin>>::type;

// The errors a checked report can give. Each is instantiated only when its
// condition holds, and its template arguments are the message.
template <const char* Key, std::size_t Argument, typename TextConversion,
          typename Reads, typename Passed>
struct ReportArgumentDoesNotFit {
  static_assert(detail::kNever<Passed>,
                "msgreport: this report's argument does not fit its key's "
                "text: see the key, the argument (1 is the first after the "
                "key), the conversion, what it reads and the type passed");
};
template <const char* Key, std::size_t TextReads, std::size_t ReportPasses>
struct ReportArgumentCountDoesNotFit {
  static_assert(TextReads == ReportPasses,
                "msgreport: this report passes another number of arguments "
                "than its key's text reads: see the key, how many the text "
                "reads and how many the report passes");
};
template <const char* Key, TextProblem Problem, typename TextConversion>
struct ReportTextCannotBeChecked {
  static_assert(Problem == TextProblem::kNone,
                "msgreport: the key's text holds a conversion that no report "
                "may use (%n, a positional or an unknown conversion)");
};

// A message of a catalogue: its key and built-in text, and a plural
// message's further forms, as the generated header names them.
template <const char* Key, const char* Text, const char*... Forms>
struct Message {};

enum class Severity { kError, kWarning, kInfo, kDebug };

namespace detail {

template <const char* Key, const char* Text, std::size_t Index, typename Arg>
constexpr bool CheckArgument() {
  constexpr TextArgument argument = WalkText(Text, Index).found;
  using Passed = std::decay_t<Arg>;
  if constexpr (Fits<argument.reads, typename Promoted<Arg>::type>()) {
    return true;
  } else {
    using Read = ReadType<argument.reads>;
    using Named =
        std::conditional_t<argument.is_unsigned, std::make_unsigned<Read>,
                           std::enable_if<true, Read>>;
    (void)sizeof(
        ReportArgumentDoesNotFit<Key, Index + 1,
                                 Spelled<Text, argument.begin, argument.end>,
                                 typename Named::type, Passed>);
    return false;
  }
}

template <const char* Key, const char* Text, typename... Args,
          std::size_t... Index>
constexpr bool CheckArguments(std::index_sequence<Index...>) {
  // Every argument is checked, so that each misfit is named at once.
  constexpr std::size_t kFitting =
      (std::size_t{0} + ... +
       (CheckArgument<Key, Text, Index,
                      std::tuple_element_t<Index, std::tuple<Args...>>>()
            ? std::size_t{1}
            : 0));
  return kFitting == sizeof...(Index);
}

// A plural form may leave out arguments its message passes ("one file"
// needs no count), as a translation may; the message's own text may not.
enum class Use { kEveryArgument, kLeadingArguments };

template <const char* Key, const char* Text, Use U, typename... Args>
constexpr bool CheckReport() {
  constexpr TextShape shape = WalkText(Text, ~std::size_t{0}).shape;
  if constexpr (shape.problem != TextProblem::kNone) {
    (void)sizeof(ReportTextCannotBeChecked<
                 Key, shape.problem,
                 Spelled<Text, shape.problem_begin, shape.problem_end>>);
    return false;
  } else if constexpr (shape.arguments > sizeof...(Args) ||
                       (U == Use::kEveryArgument &&
                        shape.arguments != sizeof...(Args))) {
    (void)sizeof(
        ReportArgumentCountDoesNotFit<Key, shape.arguments, sizeof...(Args)>);
    return false;
  } else {
    return CheckArguments<Key, Text, Args...>(
        std::make_index_sequence<shape.arguments>{});
  }
}

}  // namespace detail

// Reports `Key` at severity S once its arguments are checked; a call that
// does not fit never compiles, so it never runs. The arguments are taken by
// const reference, which binds to a bit-field as printf's "..." does.
template <Severity S, const char* Key, const char* Text, const char*... Forms,
          typename... Args>
inline void Report(MessageHandler& handler, Message<Key, Text, Forms...>,
                   const Args&... args) {
  // A plural message's every form is checked, since any may be reported.
  using detail::Use;
  if constexpr ((detail::CheckReport<Key, Text, Use::kEveryArgument,
                                     const Args&...>() &&
                 ... &&
                 detail::CheckReport<Key, Forms, Use::kLeadingArguments,
                                     const Args&...>())) {
    if constexpr (S == Severity::kError) {
      handler.ReportError2(Key, args...);
    } else if constexpr (S == Severity::kWarning) {
      handler.ReportWarning2(Key, args...);
    } else if constexpr (S == Severity::kInfo) {
      handler.ReportInfo2(Key, args...);
    } else {
      handler.ReportDebug2(Key, args...);
    }
  }
}

}  // namespace checked
}  // namespace msgreport

#endif  // MSGREPORT_CHECKED_H_
