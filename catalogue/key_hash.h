// The hash of a message key, eight bytes at a time. Keys are short, so the
// speed of the final mixing matters as much as the loop.

#ifndef MSGREPORT_CATALOGUE_KEY_HASH_H_
#define MSGREPORT_CATALOGUE_KEY_HASH_H_

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace msgreport {

inline std::uint64_t MixBits(std::uint64_t x) {
  x ^= x >> 32;
  x *= 0xd6e8feb86659fd93ULL;
  x ^= x >> 32;
  return x;
}

inline std::uint64_t HashKey(const char* key, std::size_t length) {
  std::uint64_t hash = 0x9e3779b97f4a7c15ULL ^ length;
  std::uint64_t word = 0;
  if (length < 8) {
    std::memcpy(&word, key, length);
    return MixBits(hash ^ word);
  }
  // The last word ends with the key, overlapping the one before it, so
  // that no byte is read one at a time.
  const char* last = key + length - 8;
  for (; key < last; key += 8) {
    std::memcpy(&word, key, 8);
    hash = MixBits(hash ^ word) * 0x9e3779b97f4a7c15ULL;
  }
  std::memcpy(&word, last, 8);
  return MixBits(hash ^ word);
}

// A key with its length and hash, worked out once for every look-up a
// report makes: the filter's and the catalogue's.
struct HashedKey {
  explicit HashedKey(const char* text)
      : key(text), length(std::strlen(text)), hash(HashKey(text, length)) {}
  const char* key;
  std::size_t length;
  std::uint64_t hash;
};

}  // namespace msgreport

#endif  // MSGREPORT_CATALOGUE_KEY_HASH_H_
