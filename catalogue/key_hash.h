// The hash of a message key, eight bytes at a time. Keys are short, and a
// report waits for the hash before it can ask for its slot, so what counts
// is the hash's latency: the words of a key of up to 32 bytes are mixed
// side by side, not one after the other, and their count does not depend
// on the key's length.

#ifndef MSGREPORT_CATALOGUE_KEY_HASH_H_
#define MSGREPORT_CATALOGUE_KEY_HASH_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace msgreport {

inline std::uint64_t MixBits(std::uint64_t x) {
  x ^= x >> 32;
  x *= 0xd6e8feb86659fd93ULL;
  x ^= x >> 32;
  return x;
}

// The high and low halves of the full product, folded: every bit of the
// result depends on every bit of both factors.
inline std::uint64_t FoldedProduct(std::uint64_t a, std::uint64_t b) {
#if defined(__SIZEOF_INT128__)
  __extension__ using Wide = unsigned __int128;
  Wide product = static_cast<Wide>(a) * b;
  return static_cast<std::uint64_t>(product) ^
         static_cast<std::uint64_t>(product >> 64);
#else
  std::uint64_t a_low = a & 0xffffffff, a_high = a >> 32;
  std::uint64_t b_low = b & 0xffffffff, b_high = b >> 32;
  std::uint64_t low = a_low * b_low, mid1 = a_low * b_high;
  std::uint64_t mid2 = a_high * b_low, high = a_high * b_high;
  std::uint64_t carry =
      ((low >> 32) + (mid1 & 0xffffffff) + (mid2 & 0xffffffff)) >> 32;
  return (low + (mid1 << 32) + (mid2 << 32)) ^
         (high + (mid1 >> 32) + (mid2 >> 32) + carry);
#endif
}

inline std::uint64_t WordAt(const char* at) {
  std::uint64_t word;
  std::memcpy(&word, at, 8);
  return word;
}

inline std::uint64_t HashKey(const char* key, std::size_t length) {
  constexpr std::uint64_t kSeed[] = {
      0x9e3779b97f4a7c15ULL, 0xa0761d6478bd642fULL, 0xe7037ed1a0b428dbULL,
      0x8ebc6af09c88c6e3ULL};
  if (length < 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, key, length);
    return MixBits(kSeed[0] ^ length ^ word);
  }
  std::uint64_t hash = length;
  // Words from the front and the back meet in the middle: 16 bytes at a
  // time while more than 32 are left.
  for (; length > 32; key += 16, length -= 16) {
    hash = FoldedProduct(hash ^ WordAt(key) ^ kSeed[0],
                         WordAt(key + 8) ^ kSeed[1]);
  }
  // The first and last words, and two between that close any gap: for 8
  // to 16 bytes they repeat the first and last, which costs less than a
  // branch on the length.
  std::size_t second = length < 16 ? length - 8 : 8;
  std::size_t third = length < 16 ? 0 : length - 16;
  std::uint64_t front =
      FoldedProduct(WordAt(key) ^ kSeed[0], WordAt(key + second) ^ kSeed[1]);
  std::uint64_t back = FoldedProduct(WordAt(key + third) ^ kSeed[2] ^ hash,
                                     WordAt(key + length - 8) ^ kSeed[3]);
  // Each folded product already spreads every bit of its words over the
  // whole result, so no further mixing is spent on the way to the slot.
  return front ^ back;
}

// A key with its length and hash, worked out once for every look-up a
// report makes: the filter's and the catalogue's.
struct HashedKey {
  explicit HashedKey(const char* text)
      : key(text), length(std::strlen(text)), hash(HashKey(text, length)) {}
  // A key hashed before.
  HashedKey(std::string_view text, std::uint64_t text_hash)
      : key(text.data()), length(text.size()), hash(text_hash) {}
  const char* key;
  std::size_t length;
  std::uint64_t hash;
};

}  // namespace msgreport

#endif  // MSGREPORT_CATALOGUE_KEY_HASH_H_
