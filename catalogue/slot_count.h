// Sizing of the message map's hash table, which is kept at most half full.

#ifndef MSGREPORT_CATALOGUE_SLOT_COUNT_H_
#define MSGREPORT_CATALOGUE_SLOT_COUNT_H_

#include <cstddef>

namespace msgreport {

constexpr std::size_t LargestPowerOfTwoAtMost(std::size_t limit) {
  std::size_t power = 1;
  while (power <= limit / 2) power *= 2;
  return power;
}

// The slot count, a power of two from `current` up, that holds `entries` at
// most half full. Doubling stops at `largest`: a count that no memory could
// hold is then asked of the allocator, which fails as for any allocation,
// instead of doubling past the width of size_t, which with a 32-bit size_t
// any count over 2^30 would do.
constexpr std::size_t SlotCountFor(std::size_t current, std::size_t entries,
                                   std::size_t largest) {
  std::size_t count = current;
  while (count < largest && count / 2 < entries) count *= 2;
  return count;
}

}  // namespace msgreport

#endif  // MSGREPORT_CATALOGUE_SLOT_COUNT_H_
