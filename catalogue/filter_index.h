// The handler's filter keys, found by hash, so that a report whose key no
// filter key matches pays one probe however many keys are filtered.

#ifndef MSGREPORT_CATALOGUE_FILTER_INDEX_H_
#define MSGREPORT_CATALOGUE_FILTER_INDEX_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "catalogue/key_hash.h"

namespace msgreport {

// Holds the caller's pointers, never copies of the strings: the public
// header asks the caller to keep them alive and unchanged while the handler
// is used, so each key is hashed once, when it is added, and a match is
// confirmed against the caller's string as it stands.
class FilterIndex {
 public:
  // Adds `key` (not null) unless the same pointer is held already for the
  // text it now holds.
  void Add(const char* key);

  bool empty() const { return size_ == 0; }

  bool Contains(const HashedKey& key) const {
    if (slots_.empty()) return false;
    // A bit per hash, a few per key, kept small enough to stay in the
    // cache: most keys that match nothing find theirs clear and stop here.
    auto bit = static_cast<std::size_t>(key.hash >> bit_shift_);
    if ((bits_[bit >> 6] >> (bit & 63) & 1) == 0) return false;
    std::size_t mask = slots_.size() - 1;
    for (std::size_t i = static_cast<std::size_t>(key.hash) & mask;;
         i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (slot.key == nullptr) return false;
      if (slot.hash == key.hash && Same(slot.key, key.key)) return true;
    }
  }

 private:
  struct Slot {
    std::uint64_t hash = 0;
    const char* key = nullptr;  // null for an empty slot
  };

  static bool Same(const char* a, const char* b);
  void Grow();
  void SetBit(std::uint64_t hash);

  std::vector<Slot> slots_;  // a power of two in size, or empty
  std::size_t size_ = 0;
  // Set by the top bits of each key's hash; the slots go by its low bits.
  std::vector<std::uint64_t> bits_;
  int bit_shift_ = 64;
};

}  // namespace msgreport

#endif  // MSGREPORT_CATALOGUE_FILTER_INDEX_H_
