#include "workload.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>

namespace msgreport_bench {
namespace {

const char* const kPrefixes[] = {"FILE_NOT_FOUND", "NET_TIMEOUT", "DISK_FULL",
                                 "CONFIG_BAD_VALUE", "CACHE_MISS"};
const char* const kTexts[] = {
    "Disk quota reached on volume",  // no conversion
    "Cannot open %s at this time",   // one
    "Cannot open %s: %s right now",  // two
    "Cannot open %s: %s (code %d)",  // three
};

std::string KeyName(std::size_t index) {
  char number[32];
  std::snprintf(number, sizeof number, "_%05zu", index);
  return std::string(kPrefixes[index % 5]) + number;
}

std::vector<std::string>& TemporaryFiles() {
  static std::vector<std::string> files;
  return files;
}

void RemoveTemporaryFiles() {
  for (const std::string& file : TemporaryFiles()) std::remove(file.c_str());
}

}  // namespace

Catalogue MakeCatalogue(std::size_t size) {
  Catalogue catalogue;
  for (std::size_t i = 0; i < size; ++i) {
    catalogue.keys.push_back(KeyName(i));
    catalogue.texts.emplace_back(kTexts[i % 4]);
  }
  for (std::size_t i = 0; i < size; ++i) {
    catalogue.pairs.push_back(catalogue.keys[i].c_str());
    catalogue.pairs.push_back(catalogue.texts[i].c_str());
  }
  return catalogue;
}

std::vector<const char*> ShuffledKeys(const Catalogue& catalogue,
                                      std::size_t length) {
  std::vector<const char*> keys;
  while (keys.size() < length) {
    for (const std::string& key : catalogue.keys) keys.push_back(key.c_str());
  }
  keys.resize(length);
  std::shuffle(keys.begin(), keys.end(), std::mt19937(42));
  return keys;
}

std::vector<const char*> SkewedKeys(const Catalogue& catalogue,
                                    std::size_t length) {
  std::size_t count = catalogue.keys.size();
  std::vector<double> weights(count);
  for (std::size_t i = 0; i < count; ++i) {
    weights[i] = 1.0 / std::pow(static_cast<double>(i + 1), 1.2);
  }
  std::discrete_distribution<std::size_t> pick(weights.begin(), weights.end());
  std::mt19937 random(7);
  // The popular keys are spread over the catalogue, not its first entries.
  std::vector<std::size_t> order(count);
  for (std::size_t i = 0; i < count; ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), random);
  std::vector<const char*> keys(length);
  for (const char*& key : keys) {
    key = catalogue.keys[order[pick(random)]].c_str();
  }
  return keys;
}

std::string MakeMessageFile(const Catalogue& catalogue,
                            double differing_share) {
  std::string file;
  std::size_t every =
      differing_share > 0 ? static_cast<std::size_t>(1.0 / differing_share) : 0;
  for (std::size_t i = 0; i < catalogue.keys.size(); ++i) {
    if (i % 10 == 9) {
      file += (i % 20 == 19) ? "\n"
                             : "// translated texts, section " +
                                   std::to_string(i / 10) + "\n";
      continue;
    }
    bool differs = every != 0 && i % every == 0;
    file += catalogue.keys[i] + " : \"";
    file += differs ? "Traduit : " + catalogue.texts[i] : catalogue.texts[i];
    file += "\"\n";
  }
  return file;
}

std::string WriteTemporaryFile(const std::string& name,
                               const std::string& contents) {
  const char* dir = std::getenv("TMPDIR");
  std::string path = std::string(dir != nullptr ? dir : "/tmp") +
                     "/msgreport-bench-" + std::to_string(getpid()) + "-" +
                     name;
  std::ofstream(path, std::ios::binary) << contents;
  if (TemporaryFiles().empty()) std::atexit(RemoveTemporaryFiles);
  TemporaryFiles().push_back(path);
  return path;
}

}  // namespace msgreport_bench
