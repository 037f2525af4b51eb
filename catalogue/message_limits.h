// What the catalogue and the handler agree on about a message.

#ifndef MSGREPORT_CATALOGUE_MESSAGE_LIMITS_H_
#define MSGREPORT_CATALOGUE_MESSAGE_LIMITS_H_

#include <cstddef>

namespace msgreport {

// A report composes its message into a buffer of this many bytes, the NUL
// included, so a message is cut to 1,023 characters.
constexpr std::size_t kMessageCapacity = 1024;

// The largest argument position a message-file text may name (%128$s): a
// report reads every argument up to the last one named, before formatting.
constexpr std::size_t kMostArgumentPositions = 128;

// What a report delivers, and a look-up hands out, for a key that is not in
// the catalogue.
constexpr char kUnregisteredMessage[] = "Unregistered message";

// A message-file line longer than this, its line end aside, is skipped
// unread: a message is cut to 1,023 characters, so such a line can only be
// a mistake or garbage, and the reader holds no more of it than this.
constexpr std::size_t kMaxLineBytes = std::size_t{64} * 1024;

// A message file larger than this is refused whole. The largest catalogues
// have about 100,000 keys; at a recorded built-in text and an entry of 300
// bytes each that is 60 MB, and set-up reads this many bytes in well under
// a second. A larger "file" is a device-like file, such as one in /proc,
// that would feed set-up without end.
constexpr unsigned long long kMaxFileBytes = 64ULL * 1024 * 1024;

}  // namespace msgreport

#endif  // MSGREPORT_CATALOGUE_MESSAGE_LIMITS_H_
