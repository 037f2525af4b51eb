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
    // Two bits of one word per hash, a few words per key, kept small
    // enough to stay in the cache: most keys that match nothing find one
    // of theirs clear and stop here.
    std::uint64_t bits = BitsOf(key.hash);
    if ((bits_[WordOf(key.hash)] & bits) != bits) return false;
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
  void SetBits(std::uint64_t hash);
  // The word is chosen by the hash's top bits, its two bits by bits 32 to
  // 43, which neither the slot nor, below 2^24 slots, the word depends on.
  std::size_t WordOf(std::uint64_t hash) const {
    return static_cast<std::size_t>(hash >> word_shift_);
  }
  static std::uint64_t BitsOf(std::uint64_t hash) {
    return (std::uint64_t{1} << (hash >> 32 & 63)) |
           (std::uint64_t{1} << (hash >> 38 & 63));
  }

  std::vector<Slot> slots_;  // a power of two in size, or empty
  std::size_t size_ = 0;
  // Set by each key's hash as WordOf and BitsOf say; the slots go by its
  // low bits. At least two words, so that the shift stays below 64.
  std::vector<std::uint64_t> bits_;
  int word_shift_ = 63;
};

}  // namespace msgreport

#endif  // MSGREPORT_CATALOGUE_FILTER_INDEX_H_
