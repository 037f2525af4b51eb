// At 100,000 keys neither the slots nor the entries stay in the caches, and
// a look-up that reads the slot before it learns where the entry is waits
// for two misses in a row. Once the table is laid out, the entries stand in
// the order of their slots, and a small index, which does stay in the
// caches, says where the entries of each line of slots begin: a report asks
// for its entry's lines from its key's hash alone, while its slot is still
// on the way. Where the index misleads, as once the table is changed, the
// look-up is as right as before, only slower.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <numeric>
#include <utility>
#include <vector>

#include "catalogue/message_table.h"
#include "catalogue/prefetch.h"

namespace msgreport {
namespace {

constexpr std::size_t kLineBytes = 64;
// Slots are not in the order of their entries in memory, so a pass over
// the slots asks for the entry this many slots ahead, and the misses of
// the pass overlap instead of following one another.
constexpr std::size_t kSlotsAhead = 16;

}  // namespace

void MessageTable::ForgetLayout() {
  laid_out_ = nullptr;
  laid_out_bytes_ = 0;
  line_starts_.clear();
}

void MessageTable::LayOutForReports() {
  if (!line_starts_.empty()) return;
  // The live entries' bytes are counted as entries come and go, which
  // spares a pass that would wait on every entry twice. The copy checks
  // each entry against the block all the same.
  std::size_t total = live_bytes_;
  // Offsets are 32 bits wide, which keeps the index small enough to stay
  // in the caches.
  if (total == 0 || total > std::numeric_limits<std::uint32_t>::max()) {
    IndexPluralMessages();
    return;
  }
  constexpr std::size_t kSlotsPerLine = kLineBytes / sizeof(Slot);
  std::vector<std::uint32_t> starts((slots_.size() + kSlotsPerLine - 1) /
                                    kSlotsPerLine);
  // Nothing is moved until the block is there, so a failed allocation
  // leaves the table as it was.
  EntryArena laid_out;
  char* block = laid_out.AllocateBlock(total);
  std::size_t offset = 0;
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    if (i + kSlotsAhead < slots_.size())
      PrefetchForReading(slots_[i + kSlotsAhead].entry);
    if (i % kSlotsPerLine == 0) {
      starts[i / kSlotsPerLine] = static_cast<std::uint32_t>(offset);
    }
    char*& entry = slots_[i].entry;
    if (entry == nullptr) continue;
    std::size_t bytes = EntryBytes(entry);
    if (bytes > total - offset) {
      KeepUnlaidOut(std::move(laid_out));
      return;
    }
    entry = CopyEntryTo(block + offset, entry, bytes);
    offset += bytes;
  }
  // What the previous chunks held apart from live entries goes with them.
  arena_.swap(laid_out);
  live_bytes_ = offset;
  wasted_bytes_ = total - offset;
  // cppcheck-suppress danglingLifetime ; the block moved into arena_ above
  laid_out_ = block;
  laid_out_bytes_ = offset;
  line_starts_ = std::move(starts);
  IndexPluralMessages();
}

// Were the count of live bytes ever short, the entries moved so far stay in
// the block, the rest where they were, and both are kept; the table works
// as one never laid out, and its count is made anew from the entries.
void MessageTable::KeepUnlaidOut(EntryArena&& partly_filled) {
  arena_.Adopt(std::move(partly_filled));
  wasted_bytes_ += live_bytes_;
  live_bytes_ = std::accumulate(
      slots_.begin(), slots_.end(), std::size_t{0},
      [](std::size_t bytes, const Slot& slot) {
        return slot.entry == nullptr ? bytes : bytes + EntryBytes(slot.entry);
      });
  IndexPluralMessages();
}

void MessageTable::PrefetchEntry(std::uint64_t hash) const {
  if (line_starts_.empty()) return;
  constexpr std::size_t kSlotsPerLine = kLineBytes / sizeof(Slot);
  std::size_t home = static_cast<std::size_t>(hash) & (slots_.size() - 1);
  std::size_t start = line_starts_[home / kSlotsPerLine];
  // The entry most often starts within a line of where its line of slots
  // starts, and is shorter than a line.
  std::size_t last = laid_out_bytes_ - 1;
  PrefetchForReading(laid_out_ + start);
  PrefetchForReading(laid_out_ + std::min(start + kLineBytes, last));
}

}  // namespace msgreport
