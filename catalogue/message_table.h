// The message table behind MessageMap: an open-addressing hash table with
// linear probing, whose entries are carved from large chunks.

#ifndef MSGREPORT_CATALOGUE_MESSAGE_TABLE_H_
#define MSGREPORT_CATALOGUE_MESSAGE_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalogue/entry_arena.h"
#include "catalogue/filter_index.h"
#include "catalogue/key_hash.h"
#include "catalogue/plural_message.h"

namespace msgreport {

class EntryParts;  // how an entry is laid out

// What a MessageMap holds: the catalogue of message texts by key, a hash
// table whose entries each hold a copy of their key and their text side by
// side, in storage the table owns. An entry whose text was replaced also
// keeps its first, built-in text, which every later replacement is checked
// against.
class MessageTable {
 public:
  MessageTable();
  // Releases every entry; no string of the caller's is touched.
  ~MessageTable();

  MessageTable(const MessageTable&) = delete;
  // Makes this table hold the same keys and equal texts as `source`. The two
  // stay independent: changing one never changes the other.
  MessageTable& operator=(const MessageTable& source);

  // Stores a copy of `text` under `key` unless the key is present already, in
  // which case nothing changes: the first text added under a key wins.
  void AddMessage(const char* key, const char* text);
  void AddMessage(const HashedKey& key, const char* text);

  // Hands out a new buffer, allocated with calloc, that the caller releases
  // with free. Found: a copy of the key's text, exactly its length plus one
  // bytes, and the result is true. Not found: a zero-filled 4,096-byte buffer
  // that starts with "Unregistered message", and the result is false.
  bool LookupMessage(const char* key, char*& text) const;

  // Removes the key's entry, if any.
  void RemoveMessage(const char* key);

  // The key's text without a copy, or null when absent. The pointer stays
  // valid until the table is next changed by AddMessage, RemoveMessage,
  // ReplaceMessage or assignment, or destroyed.
  const char* FindMessage(const char* key) const;

  // The built-in text of the entry whose text FindMessage handed out: the
  // text it replaced, or the text itself.
  static const char* BuiltInTextBehind(const char* text);

  // A report's look-up: the key's text, or null when absent or a plural
  // form that a message file added, and for a plural message what
  // choosing its form takes. Valid as FindMessage's.
  struct Found {
    const char* text = nullptr;
    const PluralMessage* plural = nullptr;
  };
  Found FindForReport(const char* key) const;
  Found FindForReport(const HashedKey& key) const;

  // The filter keys of the handler this table serves: the handler's own
  // members are fixed by the public header, its catalogue's are not.
  // Assignment leaves them as they are.
  FilterIndex& filter_index() { return filter_index_; }
  const FilterIndex& filter_index() const { return filter_index_; }

  // Resolves every plural message for reports and for judging a message
  // file: call it once the table is changed, before either. Any change
  // drops what it resolved until it is called again.
  void IndexPluralMessages();

  // Copies every entry into one block, in the order of their slots, so that
  // a report can ask for its entry's lines before its slot says where the
  // entry is, then resolves the plural messages, whose texts moved. Call it
  // once a table is set up for reports; any change undoes it, and it does
  // nothing to a table laid out and unchanged since. It moves every entry,
  // so no text that FindMessage handed out before stays valid.
  void LayOutForReports();

  // Stores `text` under `key`, replacing any text the key had; a new key's
  // built-in text is `text`. Lengths are in bytes; neither string needs a
  // terminator, and the key holds no NUL.
  // A new key's built-in text may be given apart, for a plural form.
  void ReplaceMessage(const char* key, std::size_t key_length, const char* text,
                      std::size_t text_length, const char* built_in = nullptr);

  std::size_t size() const { return size_; }
  // Bytes of entry storage held, by live entries and by replaced ones not
  // yet compacted away.
  std::size_t storage_bytes() const { return live_bytes_ + wasted_bytes_; }

  // Makes room for `entries` more keys at once, for a large built-in table.
  void Reserve(std::size_t entries);

  // Slot-level access for judging a message file against the table, which
  // judging only reads, and then storing what it won at once, so that one
  // search serves a line from look-up to replacement. Slots stay where they
  // are until the table is next changed.
  static constexpr std::size_t kNoSlot = static_cast<std::size_t>(-1);
  std::size_t FindSlot(const char* key, std::size_t key_length) const;
  std::size_t FindSlot(const HashedKey& key) const;
  // Starts bringing the slot where the key's search begins into the cache:
  // in a large table nearly every search misses it, so set-up asks for the
  // slots of keys a few lines ahead while it judges the current one.
  void Prefetch(const HashedKey& key) const;
  // Whether the slots outgrow what a core's cache holds, so that asking
  // for them ahead pays.
  bool outgrows_cache() const {
    return slots_.size() * sizeof(Slot) > kCacheBytes;
  }
  const char* TextAt(std::size_t slot) const;
  // The first text stored under the slot's key, before any replacement.
  const char* BuiltInTextAt(std::size_t slot) const;
  // The slot's entry taken apart at once, for a step that needs several of
  // its parts: each is measured once, not at each use.
  struct EntryView {
    std::string_view key;
    std::string_view text;
    std::string_view built_in;  // the text itself while never replaced
    std::size_t bytes = 0;      // of the whole entry
  };
  EntryView ViewAt(std::size_t slot) const;
  // The plural message whose "other" text the slot holds, if it is one, as
  // IndexPluralMessages last resolved it.
  const PluralMessage* PluralAt(std::size_t slot) const;
  // Whether any key has a bracketed suffix, as plural forms do.
  bool holds_suffixed_keys() const { return holds_suffixed_keys_; }

  // Entries composed while a file is judged against a table, each to take
  // its slot's place once the file is read whole. A slot staged again keeps
  // only its last entry, so what is staged grows with the table, not the
  // file.
  //
  // A file that gives a plural message's "other" text decides all of its
  // forms: those it gives, in its own language, and its "other" text for
  // the rest. Forms of a message whose "other" text the file does not
  // give are dropped, so that no report mixes two languages.
  class Staged {
   public:
    // The file's `@language`: its plural forms are chosen by that
    // language's rule, by none when it is unknown (the "other" text serves
    // every count), and by the catalogue's when the file names none.
    void NameLanguage(std::string_view language);

   private:
    friend class MessageTable;
    // What a form adds to its put; most puts are of no form.
    struct Form {
      std::size_t family;  // the slot of its plural message
      std::uint64_t hash;  // of its key, for a form the table lacks
      PluralCategory category;
    };
    static constexpr std::size_t kNoForm = static_cast<std::size_t>(-1);
    // Kept small, since a file that translates a large catalogue stages
    // as many puts as the catalogue has keys.
    struct Put {
      std::size_t slot;  // kNoSlot for a form the table lacks
      char* entry;
      std::size_t form = kNoForm;  // into forms_
    };
    // The put staged for the slot already, if any.
    Put* Earlier(std::size_t slot, std::size_t slot_count);
    // The same for a form the table lacks, which has no slot.
    Put* EarlierForm(const Form& form);
    // `replaced_bytes`: of the table's entry in the put's slot, if any.
    void Add(Put put, const EntryParts& parts, const MessageTable& table,
             std::size_t replaced_bytes, const Form* form = nullptr);
    // Whether the put survives: any but a form of a plural message whose
    // "other" text the file does not give.
    bool Keeps(const Put& put) const;
    void CompactIfWasteful();

    EntryArena arena_;
    std::vector<Put> puts_;
    std::vector<Form> forms_;
    std::vector<bool> seen_;                  // by slot
    std::vector<std::size_t> index_by_slot_;  // into puts_; empty until used
    // Into puts_, by plural message and category, for forms the table
    // lacks.
    std::unordered_map<std::size_t, std::size_t> index_by_form_;
    std::size_t live_bytes_ = 0;  // of the entries staged last for each put
    std::size_t wasted_bytes_ = 0;
    // Of the table's entries that the puts with a slot replace.
    std::size_t replaced_bytes_ = 0;
    // Plural messages whose "other" text the file gives, by slot, with
    // the categories of the forms it gives.
    std::unordered_map<std::size_t, unsigned> given_;
    std::optional<PluralRule> rule_;  // the file's language, when named
    bool language_named_ = false;
  };
  // Composes in `staged` the entry that would hold `text` in the slot's
  // place, built-in text kept, while the slot's entry, `entry` as ViewAt
  // gave it, is at hand; the table is only read.
  void Stage(std::size_t slot, const EntryView& entry, std::string_view text,
             Staged& staged) const;
  // Records that the file gives the "other" text of the plural message in
  // `slot`, staged or equal to the table's.
  void StageOtherForm(std::size_t slot, Staged& staged) const;
  // Composes the entry of the form of `category` of the plural message in
  // `base_slot`, under `form_key`, whether or not the table holds one.
  void StageForm(std::size_t base_slot, PluralCategory category,
                 std::string_view form_key, std::string_view text,
                 Staged& staged) const;
  // Puts entries staged against this very table in their slots' places. The
  // table takes their storage over, so each costs no more than a pointer.
  void PutStaged(Staged&& staged);
  // Stores each text staged against `judged`, another table, under its key.
  void ReplaceWithStaged(const MessageTable& judged, const Staged& staged);

 private:
  // A slot's hash keeps the key's hash in its low bits, and in its top
  // bits the plural message of the key, counted from 1 (0 for none), so
  // that a report learns whether its message is plural from the slot its
  // look-up reads anyway.
  static constexpr int kPluralTagShift = 44;
  // Below the tag, a bit marks a plural form that a message file added:
  // the file's, not a key of the program's, so no report finds it by name.
  static constexpr std::uint64_t kAddedFormBit = std::uint64_t{1}
                                                 << (kPluralTagShift - 1);
  static constexpr std::uint64_t kHashBits = kAddedFormBit - 1;
  static constexpr std::size_t kCacheBytes = std::size_t{256} * 1024;
  static constexpr std::size_t kMostPluralMessages =
      (std::size_t{1} << (64 - kPluralTagShift)) - 1;

  // What a message file decided about a plural message: its language's
  // rule (none: the catalogue's) and the forms it gave.
  struct FormsDecision {
    std::optional<PluralRule> rule;
    unsigned categories = 0;
  };

  struct Slot {
    std::uint64_t hash = 0;
    // The key, its NUL, the text and its NUL, then a mark: '\0' when the
    // text is the built-in one, else '\1' and the built-in text with its
    // NUL. Null for an empty slot. The entry's size is stored in the bytes
    // before it (EntryBytes).
    char* entry = nullptr;
  };

  std::size_t Probe(std::uint64_t hash, const char* key,
                    std::size_t key_length) const;
  void Insert(std::uint64_t hash, char* entry);
  void EraseSlot(std::size_t slot);
  void Rehash(std::size_t slot_count);
  char* MakeEntry(const char* key, std::size_t key_length, const char* text,
                  std::size_t text_length, const char* built_in = nullptr);
  char* CopyEntry(const char* entry);
  void Retire(const char* entry);
  // Drops replaced entries once they outweigh the live ones.
  void CompactIfWasteful();
  void DropPluralIndex();
  void ForgetLayout();
  void KeepUnlaidOut(EntryArena&& partly_filled);
  // Asks for the lines where the laid-out entry of a key of `hash` most
  // likely stands, without waiting for them.
  void PrefetchEntry(std::uint64_t hash) const;
  // Of the entry's storage, its header included.
  static std::size_t EntryBytes(const char* entry);
  // Copies the entry's storage, `bytes` long, to `storage`; returns the
  // copy.
  static char* CopyEntryTo(char* storage, const char* entry, std::size_t bytes);
  // Records what the file staged against `judged` decides about plural
  // messages, by key.
  void Decide(const MessageTable& judged, const Staged& staged);
  std::optional<PluralMessage> ResolvePlural(std::size_t slot,
                                             PluralRule catalogue_rule) const;

  std::vector<Slot> slots_;  // a power of two in size, or empty
  // Once laid out, the entries of each line of slots start in laid_out_ at
  // the offset line_starts_ holds for it: where the first entry of the line
  // or of a line after it stands. Empty when not laid out.
  const char* laid_out_ = nullptr;
  std::size_t laid_out_bytes_ = 0;
  std::vector<std::uint32_t> line_starts_;
  std::size_t size_ = 0;
  // Replaced and removed entries are waste until the map compacts itself.
  EntryArena arena_;
  std::size_t live_bytes_ = 0;
  std::size_t wasted_bytes_ = 0;
  bool holds_suffixed_keys_ = false;
  std::vector<PluralMessage> plurals_;  // as IndexPluralMessages resolved
  std::map<std::string, FormsDecision, std::less<>> decisions_;  // by key
  FilterIndex filter_index_;
};

}  // namespace msgreport

#endif  // MSGREPORT_CATALOGUE_MESSAGE_TABLE_H_
