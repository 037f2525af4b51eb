// A report looks its key up on every call, so an entry keeps its key and
// text side by side: the comparison that confirms a match already brings the
// text into the cache. Entries are carved from large chunks, so that a
// catalogue of many keys costs few allocations to build and to release.

#include "catalogue/message_table.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "catalogue/key_hash.h"
#include "catalogue/message_limits.h"
#include "catalogue/slot_count.h"

namespace msgreport {
namespace {

// The fallback buffer is larger than its text so that callers that format
// into it, as older callers did, have room to do so.
constexpr std::size_t kUnregisteredBufferElements = 1024;
constexpr std::size_t kUnregisteredElementSize = 4;
constexpr std::size_t kFirstSlotCount = 16;
// Waste below this is never worth a compaction.
constexpr std::size_t kTolerableWaste = EntryArena::kChunkSize;

bool EntryHasKey(const char* entry, const char* key, std::size_t key_length) {
  return std::strncmp(entry, key, key_length) == 0 && entry[key_length] == '\0';
}

const char* TextOf(const char* entry) { return entry + std::strlen(entry) + 1; }

// Where the entry marks whether its built-in text follows.
const char* MarkOf(const char* entry) {
  const char* text = TextOf(entry);
  return text + std::strlen(text) + 1;
}

const char* BuiltInTextOf(const char* entry) {
  const char* mark = MarkOf(entry);
  return *mark == '\0' ? TextOf(entry) : mark + 1;
}

std::size_t EntrySize(const char* entry) {
  const char* mark = MarkOf(entry);
  std::size_t size = static_cast<std::size_t>(mark - entry) + 1;
  return *mark == '\0' ? size : size + std::strlen(mark + 1) + 1;
}

// The parts of an entry, laid out as Slot::entry describes. The built-in
// text, when given and other than the text, is kept after the text.
class EntryParts {
 public:
  EntryParts(const char* key, std::size_t key_length, const char* text,
             std::size_t text_length, const char* built_in)
      : key_(key),
        key_length_(key_length),
        text_(text),
        text_length_(text_length) {
    std::size_t length = built_in ? std::strlen(built_in) : 0;
    if (built_in != nullptr &&
        (length != text_length || std::memcmp(built_in, text, length) != 0)) {
      built_in_ = built_in;
      built_in_length_ = length;
    }
  }

  std::size_t bytes() const {
    std::size_t bytes = key_length_ + text_length_ + 3;
    return built_in_ ? bytes + built_in_length_ + 1 : bytes;
  }

  void WriteTo(char* at) const {
    std::memcpy(at, key_, key_length_);
    at += key_length_;
    *at++ = '\0';
    std::memcpy(at, text_, text_length_);
    at += text_length_;
    *at++ = '\0';
    *at++ = built_in_ != nullptr ? '\1' : '\0';
    if (built_in_ != nullptr) {
      std::memcpy(at, built_in_, built_in_length_ + 1);
    }
  }

 private:
  const char* key_;
  std::size_t key_length_;
  const char* text_;
  std::size_t text_length_;
  const char* built_in_ = nullptr;
  std::size_t built_in_length_ = 0;
};

char* CallocOrThrow(std::size_t count, std::size_t size) {
  void* buffer = std::calloc(count, size);
  if (buffer == nullptr) throw std::bad_alloc();
  return static_cast<char*>(buffer);
}

}  // namespace

MessageTable::MessageTable() = default;

MessageTable::~MessageTable() = default;

char* MessageTable::MakeEntry(const char* key, std::size_t key_length,
                              const char* text, std::size_t text_length,
                              const char* built_in) {
  EntryParts parts{key, key_length, text, text_length, built_in};
  char* entry = arena_.Allocate(parts.bytes());
  parts.WriteTo(entry);
  live_bytes_ += parts.bytes();
  return entry;
}

char* MessageTable::CopyEntry(const char* entry) {
  std::size_t bytes = EntrySize(entry);
  char* copy = arena_.Allocate(bytes);
  std::memcpy(copy, entry, bytes);
  live_bytes_ += bytes;
  return copy;
}

void MessageTable::Retire(const char* entry) {
  std::size_t bytes = EntrySize(entry);
  live_bytes_ -= bytes;
  wasted_bytes_ += bytes;
}

void MessageTable::CompactIfWasteful() {
  if (wasted_bytes_ <= kTolerableWaste || wasted_bytes_ <= live_bytes_) return;
  EntryArena previous;
  previous.swap(arena_);
  live_bytes_ = wasted_bytes_ = 0;
  for (Slot& slot : slots_) {
    if (slot.entry != nullptr) slot.entry = CopyEntry(slot.entry);
  }
}

MessageTable& MessageTable::operator=(const MessageTable& source) {
  if (this == &source) return *this;
  slots_.assign(source.slots_.size(), Slot());
  arena_.Clear();
  live_bytes_ = wasted_bytes_ = 0;
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    const Slot& from = source.slots_[i];
    if (from.entry == nullptr) continue;
    slots_[i].hash = from.hash;
    slots_[i].entry = CopyEntry(from.entry);
  }
  size_ = source.size_;
  return *this;
}

std::size_t MessageTable::Probe(std::uint64_t hash, const char* key,
                                std::size_t key_length) const {
  if (slots_.empty()) return kNoSlot;
  std::size_t mask = slots_.size() - 1;
  for (std::size_t i = static_cast<std::size_t>(hash) & mask;;
       i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.entry == nullptr) return kNoSlot;
    if (slot.hash == hash && EntryHasKey(slot.entry, key, key_length)) {
      return i;
    }
  }
}

std::size_t MessageTable::FindSlot(const char* key,
                                   std::size_t key_length) const {
  return Probe(HashKey(key, key_length), key, key_length);
}

const char* MessageTable::TextAt(std::size_t slot) const {
  return TextOf(slots_[slot].entry);
}

const char* MessageTable::BuiltInTextAt(std::size_t slot) const {
  return BuiltInTextOf(slots_[slot].entry);
}

void MessageTable::Rehash(std::size_t slot_count) {
  std::vector<Slot> previous(slot_count);
  previous.swap(slots_);
  size_ = 0;
  for (const Slot& slot : previous) {
    if (slot.entry != nullptr) Insert(slot.hash, slot.entry);
  }
}

void MessageTable::Reserve(std::size_t entries) {
  const std::size_t largest = LargestPowerOfTwoAtMost(slots_.max_size());
  std::size_t total = entries > largest - size_ ? largest : size_ + entries;
  std::size_t count = SlotCountFor(
      slots_.empty() ? kFirstSlotCount : slots_.size(), total, largest);
  if (count > slots_.size()) Rehash(count);
}

void MessageTable::Insert(std::uint64_t hash, char* entry) {
  // At most half full, so probe sequences stay short.
  if (2 * (size_ + 1) > slots_.size()) {
    Rehash(slots_.empty() ? kFirstSlotCount : 2 * slots_.size());
  }
  std::size_t mask = slots_.size() - 1;
  std::size_t i = static_cast<std::size_t>(hash) & mask;
  while (slots_[i].entry != nullptr) i = (i + 1) & mask;
  slots_[i].hash = hash;
  slots_[i].entry = entry;
  ++size_;
}

void MessageTable::EraseSlot(std::size_t slot) {
  // Backward-shift deletion: later entries of the same probe run move up,
  // so that no search stops early at the hole.
  std::size_t mask = slots_.size() - 1;
  std::size_t hole = slot;
  Retire(slots_[hole].entry);
  slots_[hole] = Slot();
  for (std::size_t i = (hole + 1) & mask; slots_[i].entry != nullptr;
       i = (i + 1) & mask) {
    std::size_t home = static_cast<std::size_t>(slots_[i].hash) & mask;
    // The entry stays unless the hole lies between its home and where it
    // stands, on its way round the table.
    bool stays = ((i - home) & mask) < ((i - hole) & mask);
    if (stays) continue;
    slots_[hole] = slots_[i];
    slots_[i] = Slot();
    hole = i;
  }
  --size_;
}

void MessageTable::AddMessage(const char* key, const char* text) {
  std::size_t key_length = std::strlen(key);
  std::uint64_t hash = HashKey(key, key_length);
  if (Probe(hash, key, key_length) != kNoSlot) return;
  CompactIfWasteful();
  Insert(hash, MakeEntry(key, key_length, text, std::strlen(text)));
}

bool MessageTable::LookupMessage(const char* key, char*& text) const {
  const char* stored = FindMessage(key);
  if (stored == nullptr) {
    text = CallocOrThrow(kUnregisteredBufferElements, kUnregisteredElementSize);
    std::memcpy(text, kUnregisteredMessage, sizeof kUnregisteredMessage);
    return false;
  }
  std::size_t length = std::strlen(stored);
  text = CallocOrThrow(length + 1, 1);
  std::memcpy(text, stored, length);
  return true;
}

void MessageTable::RemoveMessage(const char* key) {
  std::size_t slot = FindSlot(key, std::strlen(key));
  if (slot == kNoSlot) return;
  EraseSlot(slot);
  CompactIfWasteful();
}

const char* MessageTable::FindMessage(const char* key) const {
  std::size_t key_length = std::strlen(key);
  std::size_t slot = FindSlot(key, key_length);
  return slot == kNoSlot ? nullptr : slots_[slot].entry + key_length + 1;
}

void MessageTable::ReplaceMessage(const char* key, std::size_t key_length,
                                  const char* text, std::size_t text_length) {
  CompactIfWasteful();
  std::uint64_t hash = HashKey(key, key_length);
  std::size_t slot = Probe(hash, key, key_length);
  if (slot == kNoSlot) {
    Insert(hash, MakeEntry(key, key_length, text, text_length));
    return;
  }
  char* previous = slots_[slot].entry;
  slots_[slot].entry = MakeEntry(previous, std::strlen(previous), text,
                                 text_length, BuiltInTextOf(previous));
  Retire(previous);
}

const char* MessageTable::BuiltInTextBehind(const char* text) {
  const char* mark = text + std::strlen(text) + 1;
  return *mark == '\0' ? text : mark + 1;
}

void MessageTable::Stage(std::size_t slot, std::string_view text,
                         Staged& staged) const {
  const char* previous = slots_[slot].entry;
  EntryParts parts{previous, std::strlen(previous), text.data(), text.size(),
                   BuiltInTextOf(previous)};
  char* entry = staged.arena_.Allocate(parts.bytes());
  parts.WriteTo(entry);
  staged.live_bytes_ += parts.bytes();
  if (Staged::Put* earlier = staged.Earlier(slot, slots_.size())) {
    staged.live_bytes_ -= earlier->bytes;
    staged.wasted_bytes_ += earlier->bytes;
    earlier->entry = entry;
    earlier->bytes = parts.bytes();
    staged.CompactIfWasteful();
    return;
  }
  if (!staged.index_by_slot_.empty()) {
    staged.index_by_slot_[slot] = staged.puts_.size();
  }
  staged.puts_.push_back({slot, entry, parts.bytes(), EntrySize(previous)});
}

// Most files name each key once, so a bit per slot tells a first entry
// from a later one; where each entry stands is indexed only once a slot
// comes again, since that index costs a cache miss a line.
MessageTable::Staged::Put* MessageTable::Staged::Earlier(
    std::size_t slot, std::size_t slot_count) {
  if (seen_.empty()) seen_.resize(slot_count);
  if (!seen_[slot]) {
    seen_[slot] = true;
    return nullptr;
  }
  if (index_by_slot_.empty()) {
    index_by_slot_.resize(slot_count);
    for (std::size_t i = 0; i < puts_.size(); ++i) {
      index_by_slot_[puts_[i].slot] = i;
    }
  }
  return &puts_[index_by_slot_[slot]];
}

void MessageTable::Staged::CompactIfWasteful() {
  if (wasted_bytes_ <= kTolerableWaste || wasted_bytes_ <= live_bytes_) return;
  EntryArena previous;
  previous.swap(arena_);
  for (Put& put : puts_) {
    char* copy = arena_.Allocate(put.bytes);
    std::memcpy(copy, put.entry, put.bytes);
    put.entry = copy;
  }
  wasted_bytes_ = 0;
}

void MessageTable::PutStaged(Staged&& staged) {
  for (const Staged::Put& put : staged.puts_) {
    live_bytes_ += put.bytes;
    live_bytes_ -= put.replaced_bytes;
    wasted_bytes_ += put.replaced_bytes;
    slots_[put.slot].entry = put.entry;
  }
  arena_.Adopt(std::move(staged.arena_));
  staged.puts_.clear();
  CompactIfWasteful();
}

void MessageTable::ReplaceWithStaged(const Staged& staged) {
  for (const Staged::Put& put : staged.puts_) {
    const char* text = TextOf(put.entry);
    ReplaceMessage(put.entry, std::strlen(put.entry), text, std::strlen(text));
  }
}

}  // namespace msgreport
