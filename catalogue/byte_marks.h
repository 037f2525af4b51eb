// Looks at eight bytes of a text at once for the bytes that end a run of
// plain text in a format: '%' and the NUL. Message texts are short, and a
// call to the C library's search for each run costs more than the run.

#ifndef MSGREPORT_CATALOGUE_BYTE_MARKS_H_
#define MSGREPORT_CATALOGUE_BYTE_MARKS_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace msgreport {

// Sets the top bit of each byte of the word that is zero (only a zero byte
// borrows into its top bit). Bytes above the first such may be marked too;
// none below it is.
constexpr std::uint64_t ZeroMarks(std::uint64_t word) {
  constexpr std::uint64_t kEachByte = 0x0101010101010101;
  return (word - kEachByte) & ~word & (kEachByte << 7);
}

// The same for each byte that is '%'.
constexpr std::uint64_t PercentMarks(std::uint64_t word) {
  constexpr std::uint64_t kEachByte = 0x0101010101010101;
  return ZeroMarks(word ^ (kEachByte * '%'));
}

// Where the first '%' or NUL at or after `from` stands in `text`, or its
// size when it holds neither.
inline std::size_t FindPercentOrNul(std::string_view text, std::size_t from) {
  std::size_t at = from;
#if defined(__GNUC__) && defined(__BYTE_ORDER__) && \
    __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  for (; text.size() - at >= 8; at += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + at, 8);
    // The lowest mark is a true one: a false mark of either kind stands
    // above a true mark of its own kind.
    if (std::uint64_t marks = PercentMarks(word) | ZeroMarks(word)) {
      return at + static_cast<std::size_t>(__builtin_ctzll(marks) / 8);
    }
  }
#endif
  while (at < text.size() && text[at] != '%' && text[at] != '\0') ++at;
  return at;
}

}  // namespace msgreport

#endif  // MSGREPORT_CATALOGUE_BYTE_MARKS_H_
