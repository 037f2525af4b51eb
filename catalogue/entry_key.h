// Whether a message table's entry holds a key: the comparison that
// confirms every look-up whose hash matched.

#ifndef MSGREPORT_CATALOGUE_ENTRY_KEY_H_
#define MSGREPORT_CATALOGUE_ENTRY_KEY_H_

#include <cstddef>
#include <cstdint>

#include "catalogue/entry_arena.h"
#include "catalogue/key_hash.h"

namespace msgreport {

// `entry` starts with its key and the key's NUL, and lies in an
// EntryArena's chunk; `key` holds `key_length` bytes, none of them NUL, and
// needs no terminator.
//
// Inline, a word at a time: keys are short, and a call to memcmp costs more
// than the comparison. Up to the last 32 bytes, the key is compared word by
// word; those are compared as four words taken from both ends and the
// middle, with the entry's NUL, at once, so that no branch depends on the
// key's length.
//
// Reads of the entry stay in its chunk: an entry holds at least 2 bytes
// after its key's NUL (the text's NUL and a mark), and its chunk has
// kEntryReadSlack (32) bytes to spare past its end, so the 35 bytes from
// any point of an entry's key or its NUL are there to read. A word of the
// entry is read only from a point up to which it matched the key, and the
// last 32 bytes and the NUL after them lie within 33 bytes of such a point.
inline bool EntryHasKey(const char* entry, const char* key,
                        std::size_t key_length) {
  static_assert(EntryArena::kEntryReadSlack >= 32, "reads need the slack");
  std::size_t left = key_length;
  if (left < 8) {
    for (std::size_t i = 0; i < left; ++i) {
      if (entry[i] != key[i]) return false;
    }
    return entry[left] == '\0';
  }
  for (; left > 32; entry += 8, key += 8, left -= 8) {
    if (WordAt(entry) != WordAt(key)) return false;
  }
  std::size_t second = left < 16 ? left - 8 : 8;
  std::size_t third = left < 16 ? 0 : left - 16;
  std::uint64_t differ = (WordAt(entry) ^ WordAt(key)) |
                         (WordAt(entry + second) ^ WordAt(key + second)) |
                         (WordAt(entry + third) ^ WordAt(key + third)) |
                         (WordAt(entry + left - 8) ^ WordAt(key + left - 8)) |
                         static_cast<unsigned char>(entry[left]);
  return differ == 0;
}

}  // namespace msgreport

#endif  // MSGREPORT_CATALOGUE_ENTRY_KEY_H_
