// Reports whose arguments do not fit their key's text, one per CASE, each
// of which must fail to compile under any flags; CASE 0 fits and must
// compile without a warning.
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

#include "checked.h"
#if CASE == 12
#include "collides.h"
#endif

void Reports(MessageHandler& handler) {
  [[maybe_unused]] char name[4] = "abc";
  [[maybe_unused]] short small = 1;
  [[maybe_unused]] float ratio = 0.5f;
  [[maybe_unused]] struct { int bits : 3; } packed{1};
#if CASE == 0
  CHECKED_REPORT_INFO(handler, COUNT, 3);
  CHECKED_REPORT_INFO(handler, COUNT, packed.bits);  // "..." takes bit-fields
  CHECKED_REPORT_WARNING(handler, DONE);
  CHECKED_REPORT_DEBUG(handler, BIG, 1LL, sizeof(int));
  CHECKED_REPORT_ERROR(handler, EVERY, 'c', small, small, true, 2u, 3, 4u, 5L,
                       6LL, std::intmax_t{7}, std::size_t{8}, std::ptrdiff_t{9},
                       ratio, 1.0L, name, 2, name, 3, 4, &handler, L'w',
                       L"wide");
  // Character pointers of any signedness, an unscoped enumeration (read as
  // its promoted int) and a null pointer for %p fit too.
  enum Level { kLow = 1 };
  unsigned char bytes[] = "ab";
  CHECKED_REPORT_ERROR(handler, OPEN_FAILED, bytes, kLow);
  CHECKED_REPORT_INFO(handler, PADDED, 4, name, 5UL, nullptr);
  CHECKED_REPORT_INFO(handler, FLOATING, 1.0, ratio, 3.0, 4.0, 5.0, 6.0, 7.0,
                      8u);
#elif CASE == 1   // a string for %d
  CHECKED_REPORT_INFO(handler, COUNT, "many");
#elif CASE == 2   // an argument too few
  CHECKED_REPORT_ERROR(handler, OPEN_FAILED, "a.txt");
#elif CASE == 3   // an argument too many
  CHECKED_REPORT_WARNING(handler, DONE, 1);
#elif CASE == 4   // an int for %lld
  CHECKED_REPORT_DEBUG(handler, BIG, 1, sizeof(int));
#elif CASE == 5   // a key the catalogue does not hold
  CHECKED_REPORT_INFO(handler, CUONT, 3);
#elif CASE == 6   // a long for %lld, though both may have one size
  CHECKED_REPORT_DEBUG(handler, BIG, 1L, sizeof(int));
#elif CASE == 7   // an int for %zu; a long long where size_t is an int's twin
  using Unsized =
      std::conditional_t<sizeof(std::size_t) == sizeof(int), long long, int>;
  CHECKED_REPORT_DEBUG(handler, BIG, 1LL, Unsized{7});
#elif CASE == 8   // a std::size_t for a '*' precision
  CHECKED_REPORT_ERROR(handler, EVERY, 'c', small, small, 1, 2u, 3, 4u, 5L, 6LL,
                       std::intmax_t{7}, std::size_t{8}, std::ptrdiff_t{9},
                       ratio, 1.0L, name, sizeof name, name, 3, 4, &handler,
                       L'w', L"wide");
#elif CASE == 9   // a wide string for %s, and a std::string for %ls
  CHECKED_REPORT_ERROR(handler, EVERY, 'c', small, small, 1, 2u, 3, 4u, 5L, 6LL,
                       std::intmax_t{7}, std::size_t{8}, std::ptrdiff_t{9},
                       ratio, 1.0L, L"wide", 2, name, 3, 4, &handler, L'w',
                       std::string("x"));
#elif CASE == 10  // a text that writes through %n
  CHECKED_REPORT_INFO(handler, COUNTS_WRITTEN, 1, nullptr);
#elif CASE == 11  // a key that is a macro where the header is included
  // (compiled with -DCOUNT=1)
#elif CASE == 12  // two headers with one macro prefix
#elif CASE == 13  // an unsigned for the '*' of %*x, which reads an int
  CHECKED_REPORT_INFO(handler, HEX_FIELD, 8u, 255u);
#elif CASE == 14  // an int for %I64d, which reads a long long on Windows
  CHECKED_REPORT_INFO(handler, MICROSOFT_SIZE, -1);
#elif CASE == 15  // an int for %lu: the error names the unsigned type read
  CHECKED_REPORT_INFO(handler, PADDED, 4, name, 5, nullptr);
#elif CASE == 16 || CASE == 17  // a plural form reading what is not passed
#if CASE == 16
  static constexpr char kForm[] = "%s item";
#else
  static constexpr char kForm[] = "%d of %d items";
#endif
  msgreport::checked::Report<msgreport::checked::Severity::kInfo>(
      handler,
      msgreport::checked::Message<checked::key::COUNT, checked::text::COUNT,
                                  kForm>{},
      1);
#elif CASE == 18  // a function pointer for %p, which reads an object pointer
  CHECKED_REPORT_INFO(handler, PADDED, 4, name, 5UL, &Reports);
#elif CASE == 19  // a string for %x, which reads an unsigned
  CHECKED_REPORT_INFO(handler, HEX_FIELD, 8, "ff");
#endif
}
