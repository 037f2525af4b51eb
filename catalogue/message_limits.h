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

}  // namespace msgreport

#endif  // MSGREPORT_CATALOGUE_MESSAGE_LIMITS_H_
