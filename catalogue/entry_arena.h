// Storage for a message table's entries: carved from large chunks that are
// released together, which makes set-up and destruction of large catalogues
// cheap. Entries are never freed one by one.

#ifndef MSGREPORT_CATALOGUE_ENTRY_ARENA_H_
#define MSGREPORT_CATALOGUE_ENTRY_ARENA_H_

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

namespace msgreport {

class EntryArena {
 public:
  static constexpr std::size_t kChunkSize = 64 * std::size_t{1024};
  // Bytes past the end of every chunk that hold no entry, zeroed, so that
  // a look-up may read an entry's key a word at a time, past the entry's
  // end, without leaving the chunk (entry_key.h says how far).
  static constexpr std::size_t kEntryReadSlack = 32;

  char* Allocate(std::size_t bytes) {
    if (static_cast<std::size_t>(free_end_ - free_begin_) < bytes) {
      // A large entry gets a chunk of its own, which leaves the current
      // chunk in use for the entries after it.
      std::size_t chunk_size = bytes > kChunkSize / 4 ? bytes : kChunkSize;
      chunks_.push_back(NewChunk(chunk_size));
      char* chunk = chunks_.back().get();
      if (chunk_size != kChunkSize) return chunk;
      free_begin_ = chunk;
      free_end_ = chunk + chunk_size;
    }
    char* block = free_begin_;
    free_begin_ += bytes;
    return block;
  }

  // A chunk of exactly `bytes`, for entries copied in at once, which leaves
  // no tail of a chunk unused.
  char* AllocateBlock(std::size_t bytes) {
    chunks_.push_back(NewChunk(bytes));
    return chunks_.back().get();
  }

  // Takes over `other`'s chunks, and with them every entry in them.
  // Returns the bytes of its current chunk that no entry took: they stay
  // held with the chunk, so the adopter must count them as waste.
  std::size_t Adopt(EntryArena&& other) {
    auto unused = static_cast<std::size_t>(other.free_end_ - other.free_begin_);
    std::move(other.chunks_.begin(), other.chunks_.end(),
              std::back_inserter(chunks_));
    other.Clear();
    return unused;
  }

  void Clear() {
    chunks_.clear();
    free_begin_ = free_end_ = nullptr;
  }

  void swap(EntryArena& other) noexcept {
    chunks_.swap(other.chunks_);
    std::swap(free_begin_, other.free_begin_);
    std::swap(free_end_, other.free_end_);
  }

 private:
  struct ChunkRelease {
    std::size_t bytes;
    void operator()(char* chunk) const {
      std::allocator<char>().deallocate(chunk, bytes);
    }
  };
  using Chunk = std::unique_ptr<char, ChunkRelease>;

  // Every byte of a chunk is written before it is read, so a chunk is not
  // cleared first: clearing the chunks of a large catalogue costs as much
  // as writing its entries.
  static Chunk NewChunk(std::size_t bytes) {
    std::size_t held = bytes + kEntryReadSlack;
    Chunk chunk(std::allocator<char>().allocate(held), ChunkRelease{held});
    std::memset(chunk.get() + bytes, 0, kEntryReadSlack);
    return chunk;
  }

  std::vector<Chunk> chunks_;
  char* free_begin_ = nullptr;
  char* free_end_ = nullptr;
};

}  // namespace msgreport

#endif  // MSGREPORT_CATALOGUE_ENTRY_ARENA_H_
