// A report looks its key up on every call, so an entry keeps its key and
// text side by side: the comparison that confirms a match already brings the
// text into the cache. Entries are carved from large chunks, so that a
// catalogue of many keys costs few allocations to build and to release.

#include "catalogue/message_table.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "catalogue/entry_key.h"
#include "catalogue/key_hash.h"
#include "catalogue/message_limits.h"
#include "catalogue/prefetch.h"
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

bool HasSuffix(const char* key, std::size_t key_length) {
  return key_length != 0 && key[key_length - 1] == ']';
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

// Each entry is stored after a header that holds its size, so that
// copying and retiring entries, which set-up does for every key of a large
// catalogue, reads no more of each than its header. The header is kept
// narrow, since a report reads it with the entry; the rare entry too large
// for it is measured instead.
using SizeHeader = std::uint16_t;
constexpr std::size_t kHeaderBytes = sizeof(SizeHeader);
constexpr SizeHeader kSizeNotRecorded = std::numeric_limits<SizeHeader>::max();

// Writes the header of an entry of `bytes`, header included, at `storage`;
// the entry follows it.
char* StartEntry(char* storage, std::size_t bytes) {
  SizeHeader header = bytes < kSizeNotRecorded ? static_cast<SizeHeader>(bytes)
                                               : kSizeNotRecorded;
  std::memcpy(storage, &header, kHeaderBytes);
  return storage + kHeaderBytes;
}

SizeHeader HeaderOf(const char* entry) {
  SizeHeader header;
  std::memcpy(&header, entry - kHeaderBytes, kHeaderBytes);
  return header;
}

// Every part of an entry, each measured once, by reading the entry through.
MessageTable::EntryView ReadView(const char* entry) {
  MessageTable::EntryView view;
  view.key = entry;
  view.text = entry + view.key.size() + 1;
  const char* mark = view.text.data() + view.text.size() + 1;
  view.built_in = *mark == '\0' ? view.text : std::string_view(mark + 1);
  view.bytes = kHeaderBytes + static_cast<std::size_t>(mark - entry) + 1 +
               (*mark == '\0' ? 0 : view.built_in.size() + 1);
  return view;
}

// The same, sparing the text's reading where its size tells its length:
// an entry whose text was never replaced ends in the text's NUL and the
// mark, and no other ends in two NULs, since neither a text nor a
// built-in text holds one.
MessageTable::EntryView ViewOf(const char* entry) {
  std::size_t bytes = HeaderOf(entry);
  if (bytes == kSizeNotRecorded || entry[bytes - kHeaderBytes - 2] != '\0') {
    return ReadView(entry);
  }
  MessageTable::EntryView view;
  view.key = entry;
  view.text = std::string_view(entry + view.key.size() + 1,
                               bytes - kHeaderBytes - view.key.size() - 3);
  view.built_in = view.text;
  view.bytes = bytes;
  return view;
}

std::size_t EntrySize(const char* entry) {
  SizeHeader header = HeaderOf(entry);
  return header != kSizeNotRecorded ? header : ReadView(entry).bytes;
}

char* CallocOrThrow(std::size_t count, std::size_t size) {
  void* buffer = std::calloc(count, size);
  if (buffer == nullptr) throw std::bad_alloc();
  return static_cast<char*>(buffer);
}

}  // namespace

// The parts of an entry, laid out as Slot::entry describes. The built-in
// text, when given and other than the text, is kept after the text.
class EntryParts {
 public:
  EntryParts(const char* key, std::size_t key_length, const char* text,
             std::size_t text_length, std::string_view built_in)
      : key_(key),
        key_length_(key_length),
        text_(text),
        text_length_(text_length) {
    if (built_in.data() != nullptr &&
        built_in != std::string_view(text, text_length)) {
      built_in_ = built_in.data();
      built_in_length_ = built_in.size();
    }
  }
  EntryParts(const char* key, std::size_t key_length, const char* text,
             std::size_t text_length, const char* built_in)
      : EntryParts(key, key_length, text, text_length,
                   built_in != nullptr ? std::string_view(built_in)
                                       : std::string_view()) {}

  // Of the stored entry, its header included.
  std::size_t bytes() const {
    std::size_t bytes = kHeaderBytes + key_length_ + text_length_ + 3;
    return built_in_ ? bytes + built_in_length_ + 1 : bytes;
  }

  // Stores the entry in `storage`, bytes() long; returns the entry.
  char* WriteTo(char* storage) const {
    char* entry = StartEntry(storage, bytes());
    char* at = entry;
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
    return entry;
  }

 private:
  const char* key_;
  std::size_t key_length_;
  const char* text_;
  std::size_t text_length_;
  const char* built_in_ = nullptr;
  std::size_t built_in_length_ = 0;
};

MessageTable::MessageTable() = default;

MessageTable::~MessageTable() = default;

char* MessageTable::MakeEntry(const char* key, std::size_t key_length,
                              const char* text, std::size_t text_length,
                              const char* built_in) {
  EntryParts parts{key, key_length, text, text_length, built_in};
  char* entry = parts.WriteTo(arena_.Allocate(parts.bytes()));
  live_bytes_ += parts.bytes();
  return entry;
}

char* MessageTable::CopyEntry(const char* entry) {
  std::size_t bytes = EntrySize(entry);
  live_bytes_ += bytes;
  return CopyEntryTo(arena_.Allocate(bytes), entry, bytes);
}

std::size_t MessageTable::EntryBytes(const char* entry) {
  return EntrySize(entry);
}

char* MessageTable::CopyEntryTo(char* storage, const char* entry,
                                std::size_t bytes) {
  std::memcpy(storage, entry - kHeaderBytes, bytes);
  return storage + kHeaderBytes;
}

void MessageTable::Retire(const char* entry) {
  std::size_t bytes = EntrySize(entry);
  live_bytes_ -= bytes;
  wasted_bytes_ += bytes;
}

void MessageTable::CompactIfWasteful() {
  if (wasted_bytes_ <= kTolerableWaste || wasted_bytes_ <= live_bytes_) return;
  ForgetLayout();
  EntryArena previous;
  previous.swap(arena_);
  live_bytes_ = wasted_bytes_ = 0;
  for (Slot& slot : slots_) {
    if (slot.entry != nullptr) slot.entry = CopyEntry(slot.entry);
  }
}

MessageTable& MessageTable::operator=(const MessageTable& source) {
  if (this == &source) return *this;
  plurals_.clear();
  ForgetLayout();
  slots_.assign(source.slots_.size(), Slot());
  arena_.Clear();
  live_bytes_ = wasted_bytes_ = 0;
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    const Slot& from = source.slots_[i];
    if (from.entry == nullptr) continue;
    // Plural tags are made anew.
    slots_[i].hash = from.hash & (kHashBits | kAddedFormBit);
    slots_[i].entry = CopyEntry(from.entry);
  }
  size_ = source.size_;
  holds_suffixed_keys_ = source.holds_suffixed_keys_;
  decisions_ = source.decisions_;
  LayOutForReports();
  return *this;
}

// Inline, so that a report's look-up pays no call for its search.
inline std::size_t MessageTable::Probe(std::uint64_t hash, const char* key,
                                       std::size_t key_length) const {
  if (slots_.empty()) return kNoSlot;
  std::size_t mask = slots_.size() - 1;
  for (std::size_t i = static_cast<std::size_t>(hash) & mask;;
       i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.entry == nullptr) return kNoSlot;
    if ((slot.hash & kHashBits) == hash &&
        EntryHasKey(slot.entry, key, key_length)) {
      return i;
    }
  }
}

std::size_t MessageTable::FindSlot(const HashedKey& key) const {
  return Probe(key.hash & kHashBits, key.key, key.length);
}

std::size_t MessageTable::FindSlot(const char* key,
                                   std::size_t key_length) const {
  return Probe(HashKey(key, key_length) & kHashBits, key, key_length);
}

void MessageTable::Prefetch(const HashedKey& key) const {
  if (slots_.empty()) return;
  PrefetchForReading(&slots_[static_cast<std::size_t>(key.hash & kHashBits) &
                             (slots_.size() - 1)]);
}

const char* MessageTable::TextAt(std::size_t slot) const {
  return TextOf(slots_[slot].entry);
}

const char* MessageTable::BuiltInTextAt(std::size_t slot) const {
  return BuiltInTextOf(slots_[slot].entry);
}

MessageTable::EntryView MessageTable::ViewAt(std::size_t slot) const {
  return ViewOf(slots_[slot].entry);
}

void MessageTable::Rehash(std::size_t slot_count) {
  ForgetLayout();
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
  AddMessage(HashedKey(key), text);
}

void MessageTable::AddMessage(const HashedKey& hashed, const char* text) {
  const char* key = hashed.key;
  std::size_t key_length = hashed.length;
  std::uint64_t hash = hashed.hash & kHashBits;
  if (std::size_t slot = Probe(hash, key, key_length); slot != kNoSlot) {
    // A later set-up may give the program a form that a file added.
    slots_[slot].hash &= ~kAddedFormBit;
    return;
  }
  DropPluralIndex();
  ForgetLayout();
  holds_suffixed_keys_ |= HasSuffix(key, key_length);
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
  DropPluralIndex();
  ForgetLayout();
  EraseSlot(slot);
  CompactIfWasteful();
}

const char* MessageTable::FindMessage(const char* key) const {
  std::size_t key_length = std::strlen(key);
  std::size_t slot = FindSlot(key, key_length);
  return slot == kNoSlot ? nullptr : slots_[slot].entry + key_length + 1;
}

MessageTable::Found MessageTable::FindForReport(const char* key) const {
  return FindForReport(HashedKey(key));
}

MessageTable::Found MessageTable::FindForReport(const HashedKey& key) const {
  PrefetchEntry(key.hash);
  std::size_t slot = Probe(key.hash & kHashBits, key.key, key.length);
  if (slot == kNoSlot || (slots_[slot].hash & kAddedFormBit) != 0) return {};
  return {slots_[slot].entry + key.length + 1, PluralAt(slot)};
}

const PluralMessage* MessageTable::PluralAt(std::size_t slot) const {
  auto tag = static_cast<std::size_t>(slots_[slot].hash >> kPluralTagShift);
  return tag == 0 ? nullptr : &plurals_[tag - 1];
}

void MessageTable::ReplaceMessage(const char* key, std::size_t key_length,
                                  const char* text, std::size_t text_length,
                                  const char* built_in) {
  DropPluralIndex();
  ForgetLayout();
  CompactIfWasteful();
  std::uint64_t hash = HashKey(key, key_length) & kHashBits;
  std::size_t slot = Probe(hash, key, key_length);
  if (slot == kNoSlot) {
    holds_suffixed_keys_ |= HasSuffix(key, key_length);
    Insert(hash, MakeEntry(key, key_length, text, text_length, built_in));
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

void MessageTable::Stage(std::size_t slot, const EntryView& entry,
                         std::string_view text, Staged& staged) const {
  EntryParts parts{entry.key.data(), entry.key.size(), text.data(), text.size(),
                   entry.built_in};
  staged.Add({slot, nullptr}, parts, *this, entry.bytes);
}

void MessageTable::StageOtherForm(std::size_t slot, Staged& staged) const {
  staged.given_[slot] |= 1U << static_cast<int>(PluralCategory::kOther);
}

void MessageTable::StageForm(std::size_t base_slot, PluralCategory category,
                             std::string_view form_key, std::string_view text,
                             Staged& staged) const {
  staged.given_[base_slot] |= 1U << static_cast<int>(category);
  // Every form is checked against the "other" text's built-in one, whose
  // arguments the program passes, and formatted with them.
  const char* built_in = BuiltInTextOf(slots_[base_slot].entry);
  EntryParts parts{form_key.data(), form_key.size(), text.data(), text.size(),
                   built_in};
  Staged::Form form{base_slot,
                    HashKey(form_key.data(), form_key.size()) & kHashBits,
                    category};
  std::size_t slot = FindSlot(form_key.data(), form_key.size());
  staged.Add({slot, nullptr}, parts, *this,
             slot == kNoSlot ? 0 : EntrySize(slots_[slot].entry), &form);
}

void MessageTable::Staged::NameLanguage(std::string_view language) {
  language_named_ = true;
  rule_ = PluralRuleFor(language);
}

void MessageTable::Staged::Add(Put put, const EntryParts& parts,
                               const MessageTable& table,
                               std::size_t replaced_bytes, const Form* form) {
  // A file stages each key once at most, and most files name every key:
  // room for them all at once spares copying what is staged as it grows.
  if (puts_.empty()) puts_.reserve(table.size());
  put.entry = parts.WriteTo(arena_.Allocate(parts.bytes()));
  live_bytes_ += parts.bytes();
  Put* earlier = nullptr;
  if (put.slot != kNoSlot) {
    earlier = Earlier(put.slot, table.slots_.size());
  } else if (form != nullptr) {
    earlier = EarlierForm(*form);
  }
  if (earlier != nullptr) {
    std::size_t bytes = EntrySize(earlier->entry);
    live_bytes_ -= bytes;
    wasted_bytes_ += bytes;
    earlier->entry = put.entry;
    CompactIfWasteful();
    return;
  }
  if (put.slot != kNoSlot) {
    replaced_bytes_ += replaced_bytes;
    if (!index_by_slot_.empty()) index_by_slot_[put.slot] = puts_.size();
  }
  if (form != nullptr) {
    put.form = forms_.size();
    forms_.push_back(*form);
  }
  puts_.push_back(put);
}

bool MessageTable::Staged::Keeps(const Put& put) const {
  if (put.form == kNoForm) return true;
  auto given = given_.find(forms_[put.form].family);
  return given != given_.end() &&
         (given->second & (1U << static_cast<int>(PluralCategory::kOther)));
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
      if (puts_[i].slot != kNoSlot) index_by_slot_[puts_[i].slot] = i;
    }
  }
  return &puts_[index_by_slot_[slot]];
}

// A form the table lacks has no slot to tell a repeat by, yet a file may
// repeat it on every line: it is told by its message and category, of
// which there are as few as the table's plural messages.
MessageTable::Staged::Put* MessageTable::Staged::EarlierForm(const Form& form) {
  std::size_t index = form.family * kPluralCategoryCount +
                      static_cast<std::size_t>(form.category);
  auto [at, first] = index_by_form_.try_emplace(index, puts_.size());
  return first ? nullptr : &puts_[at->second];
}

void MessageTable::Staged::CompactIfWasteful() {
  if (wasted_bytes_ <= kTolerableWaste || wasted_bytes_ <= live_bytes_) return;
  EntryArena previous;
  previous.swap(arena_);
  for (Put& put : puts_) {
    std::size_t bytes = EntrySize(put.entry);
    put.entry = CopyEntryTo(arena_.Allocate(bytes), put.entry, bytes);
  }
  wasted_bytes_ = 0;
}

void MessageTable::PutStaged(Staged&& staged) {
  DropPluralIndex();
  ForgetLayout();
  Decide(*this, staged);
  // The staged storage is the table's before any slot points into it, so
  // that an insertion below that fails to grow the slots leaves no entry
  // in storage released with the staged puts.
  wasted_bytes_ += arena_.Adopt(std::move(staged.arena_));
  std::size_t kept_bytes = staged.live_bytes_;
  std::size_t replaced_bytes = staged.replaced_bytes_;
  for (const Staged::Put& put : staged.puts_) {
    if (!staged.Keeps(put)) {
      std::size_t bytes = EntrySize(put.entry);
      kept_bytes -= bytes;
      wasted_bytes_ += bytes;
      if (put.slot != kNoSlot) {
        replaced_bytes -= EntrySize(slots_[put.slot].entry);
      }
    } else if (put.slot != kNoSlot) {
      slots_[put.slot].entry = put.entry;
    }
  }
  live_bytes_ += kept_bytes;
  live_bytes_ -= replaced_bytes;
  wasted_bytes_ += replaced_bytes;
  // Forms the table lacked come last, since inserting moves slots.
  for (const Staged::Put& put : staged.puts_) {
    if (put.slot != kNoSlot || !staged.Keeps(put)) continue;
    std::uint64_t hash = staged.forms_[put.form].hash;
    std::size_t slot = Probe(hash, put.entry, std::strlen(put.entry));
    if (slot == kNoSlot) {
      holds_suffixed_keys_ = true;
      Insert(hash | kAddedFormBit, put.entry);
    } else {
      Retire(slots_[slot].entry);
      slots_[slot].entry = put.entry;
    }
  }
  staged.puts_.clear();
  CompactIfWasteful();
  LayOutForReports();
}

void MessageTable::ReplaceWithStaged(const MessageTable& judged,
                                     const Staged& staged) {
  Decide(judged, staged);
  for (const Staged::Put& put : staged.puts_) {
    if (!staged.Keeps(put)) continue;
    const char* text = TextOf(put.entry);
    std::size_t key_length = std::strlen(put.entry);
    bool added = put.form != Staged::kNoForm &&
                 FindSlot(put.entry, key_length) == kNoSlot;
    ReplaceMessage(put.entry, key_length, text, std::strlen(text),
                   BuiltInTextOf(put.entry));
    if (added) slots_[FindSlot(put.entry, key_length)].hash |= kAddedFormBit;
  }
  LayOutForReports();
}

}  // namespace msgreport
