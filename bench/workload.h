// Catalogues, key sequences and message files shaped like a real
// program's, made the same way on every run.

#ifndef MSGREPORT_BENCH_WORKLOAD_H_
#define MSGREPORT_BENCH_WORKLOAD_H_

#include <cstddef>
#include <string>
#include <vector>

namespace msgreport_bench {

// Every text accepts the arguments (const char*, const char*, int): texts
// use the first zero to three of them.
constexpr const char* kFloorText = "Cannot open %s: %s (code %d)";
constexpr const char* kFirstArgument = "/var/lib/app/state.db";
constexpr const char* kSecondArgument = "permission denied";
constexpr int kThirdArgument = 13;

struct Catalogue {
  std::vector<std::string> keys;   // FILE_NOT_FOUND_00123 and the like
  std::vector<std::string> texts;  // about 30 characters each
  std::vector<const char*> pairs;  // key, text, key, text, ...
};

Catalogue MakeCatalogue(std::size_t size);

// Keys to report, in order: each key equally often, shuffled.
std::vector<const char*> ShuffledKeys(const Catalogue& catalogue,
                                      std::size_t length);
// Keys to report, in order: a few keys most of the time (Zipf-like).
std::vector<const char*> SkewedKeys(const Catalogue& catalogue,
                                    std::size_t length);

// A message file for the catalogue: one line per key, with every tenth line
// a comment or blank. `differing_share` of the entries bring a new text,
// the others repeat the catalogue's.
std::string MakeMessageFile(const Catalogue& catalogue, double differing_share);

// Writes `contents` to a file that is removed when the program ends.
std::string WriteTemporaryFile(const std::string& name,
                               const std::string& contents);

}  // namespace msgreport_bench

#endif  // MSGREPORT_BENCH_WORKLOAD_H_
