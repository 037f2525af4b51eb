// Kept at most a quarter full: a key that matches nothing, which is what
// nearly every report brings, then mostly meets an empty slot at once.

#include "catalogue/filter_index.h"

#include <algorithm>
#include <cstring>

namespace msgreport {
namespace {

constexpr std::size_t kFirstSlotCount = 16;

}  // namespace

bool FilterIndex::Same(const char* a, const char* b) {
  return std::strcmp(a, b) == 0;
}

void FilterIndex::Add(const char* key) {
  HashedKey hashed(key);
  if (4 * (size_ + 1) > slots_.size()) Grow();
  std::size_t mask = slots_.size() - 1;
  std::size_t i = static_cast<std::size_t>(hashed.hash) & mask;
  // Only the same string is held once: equal texts at other addresses keep
  // slots of their own, so that one changed by its caller leaves the
  // others matching, as the list they stand in does.
  for (; slots_[i].key != nullptr; i = (i + 1) & mask) {
    if (slots_[i].key == key && slots_[i].hash == hashed.hash) return;
  }
  slots_[i] = {hashed.hash, key};
  ++size_;
  SetBits(hashed.hash);
}

void FilterIndex::SetBits(std::uint64_t hash) {
  bits_[WordOf(hash)] |= BitsOf(hash);
}

void FilterIndex::Grow() {
  std::vector<Slot> previous(slots_.empty() ? kFirstSlotCount
                                            : 2 * slots_.size());
  previous.swap(slots_);
  // Four bits a slot, sixteen a key at least, two of them set by each key:
  // a key that matches nothing then finds both of its bits set about once
  // in a hundred times (one bit a key: once in sixteen).
  std::size_t word_count = std::max<std::size_t>(2, slots_.size() / 16);
  bits_.assign(word_count, 0);
  word_shift_ = 64;
  for (std::size_t n = word_count; n > 1; n /= 2) --word_shift_;
  std::size_t mask = slots_.size() - 1;
  for (const Slot& slot : previous) {
    if (slot.key == nullptr) continue;
    std::size_t i = static_cast<std::size_t>(slot.hash) & mask;
    while (slots_[i].key != nullptr) i = (i + 1) & mask;
    slots_[i] = slot;
    SetBits(slot.hash);
  }
}

}  // namespace msgreport
