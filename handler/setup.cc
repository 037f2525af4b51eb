// Set-up: the built-in pairs, the filter keys, then the message file.

#include <array>
#include <optional>

#include "catalogue/internals.h"
#include "catalogue/key_hash.h"
#include "catalogue/message_file_reader.h"
#include "catalogue/prefetch.h"
#include "msgreport.h"

namespace {

using msgreport::MessageTable;

// How many pairs ahead a key's slot is fetched: far enough for the fetch
// to arrive before its key is stored. The pair's strings are asked for
// twice as far ahead, so that hashing the key to find its slot does not
// wait for the key.
constexpr std::size_t kPairsAhead = 16;

// Tables that end in a pair of nulls, counted in npairs, stay valid: a
// pair with a null is passed over.
bool IsPair(const char** pairs, std::size_t pair) {
  return pairs[2 * pair] != nullptr && pairs[2 * pair + 1] != nullptr;
}

// A large table's slots are fetched ahead of their keys. Each key is
// hashed once, when its slot is asked for, and kept until it is stored.
void LoadMessagePairsAhead(MessageTable& catalogue, const char** pairs,
                           std::size_t npairs) {
  std::array<std::optional<msgreport::HashedKey>, kPairsAhead> ahead;
  auto hash_ahead = [&](std::size_t pair) {
    std::optional<msgreport::HashedKey>& key = ahead[pair % kPairsAhead];
    key.reset();
    if (pair >= npairs || !IsPair(pairs, pair)) return;
    key.emplace(pairs[2 * pair]);
    catalogue.Prefetch(*key);
  };
  for (std::size_t pair = 0; pair < kPairsAhead; ++pair) hash_ahead(pair);
  for (std::size_t pair = 0; pair < npairs; ++pair) {
    if (std::size_t further = pair + 2 * kPairsAhead; further < npairs) {
      msgreport::PrefetchForReading(pairs[2 * further]);
      msgreport::PrefetchForReading(pairs[2 * further + 1]);
    }
    std::optional<msgreport::HashedKey> key = ahead[pair % kPairsAhead];
    hash_ahead(pair + kPairsAhead);
    if (key) catalogue.AddMessage(*key, pairs[2 * pair + 1]);
  }
}

void LoadMessagePairs(MessageTable& catalogue, const char** pairs, int npairs) {
  if (npairs <= 0) return;
  auto count = static_cast<std::size_t>(npairs);
  catalogue.Reserve(count);
  if (catalogue.outgrows_cache()) {
    LoadMessagePairsAhead(catalogue, pairs, count);
    return;
  }
  for (std::size_t pair = 0; pair < count; ++pair) {
    if (IsPair(pairs, pair)) {
      catalogue.AddMessage(pairs[2 * pair], pairs[2 * pair + 1]);
    }
  }
}

// The list keeps every key given, in order; the index is what reports
// search.
void AppendFilterKeys(std::vector<const char*>& filter_keys,
                      msgreport::FilterIndex& index, const char** filters,
                      int nfilters) {
  for (int i = 0; i < nfilters; ++i) {
    if (filters[i] == nullptr) continue;
    filter_keys.push_back(filters[i]);
    index.Add(filters[i]);
  }
}

}  // namespace

MessageHandler::MessageHandler() = default;

MessageHandler::MessageHandler(const char** pairs, int npairs,
                               const char** filters, int nfilters,
                               const char* messageFile) {
  PopulateMessageHandler(pairs, npairs, filters, nfilters, messageFile);
}

MessageHandler::~MessageHandler() = default;

void MessageHandler::PopulateMessageHandler(const char** pairs, int npairs,
                                            const char** filters, int nfilters,
                                            const char* messageFile) {
  MessageTable& catalogue = msgreport::Internals::Table(messageMap);
  LoadMessagePairs(catalogue, pairs, npairs);
  AppendFilterKeys(filterArray, catalogue.filter_index(), filters, nfilters);
  // The file's plural forms are judged against the plural messages of the
  // pairs just added.
  catalogue.IndexPluralMessages();
  // Each file entry is judged against the catalogue as it stands now, so a
  // key the file names twice is judged against the same text both times,
  // not against the file's first text; and a file that cannot be read to
  // its end changes nothing.
  msgreport::ReadMessageLines(messageFile, catalogue, catalogue, {});
  catalogue.LayOutForReports();
}
