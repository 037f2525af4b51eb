// Set-up: the built-in pairs, the filter keys, then the message file.

#include "catalogue/internals.h"
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

void LoadMessagePairs(MessageTable& catalogue, const char** pairs, int npairs) {
  if (npairs > 0) catalogue.Reserve(static_cast<std::size_t>(npairs));
  bool fetch_ahead = catalogue.outgrows_cache();
  const std::size_t end = 2 * static_cast<std::size_t>(npairs);
  for (int pair = 0; pair < npairs; ++pair) {
    std::size_t entry = 2 * static_cast<std::size_t>(pair);
    std::size_t ahead = entry + 2 * kPairsAhead;
    std::size_t further = ahead + 2 * kPairsAhead;
    if (fetch_ahead && further < end) {
      msgreport::PrefetchForReading(pairs[further]);
      msgreport::PrefetchForReading(pairs[further + 1]);
    }
    if (fetch_ahead && ahead < end && pairs[ahead] != nullptr) {
      catalogue.Prefetch(pairs[ahead]);
    }
    const char* key = pairs[entry];
    const char* text = pairs[entry + 1];
    // Tables that end in a pair of nulls, counted in npairs, stay valid.
    if (key == nullptr || text == nullptr) continue;
    catalogue.AddMessage(key, text);
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
