#include "tools/msgcheck/master_catalogue.h"

#include <algorithm>

#include "catalogue/line_reader.h"
#include "catalogue/message_file_reader.h"

namespace msgcheck {

using msgreport::LineKind;

bool LoadMasterCatalogue(const std::string& path, MasterCatalogue& catalogue) {
  msgreport::LineReader reader(path.c_str());
  if (!reader.is_open()) return false;
  std::string_view line;
  for (std::size_t number = 1; reader.NextLine(line); ++number) {
    std::string_view key;
    std::string_view text;
    LineKind kind = msgreport::ClassifyLine(line, key, text);
    std::string where = path;
    where += ':';
    where += std::to_string(number);
    where += ": warning: ";
    if (kind == LineKind::kEntry) {
      std::string owned_key(key);
      if (catalogue.texts.FindMessage(owned_key.c_str()) != nullptr) {
        where += "key '";
        where += owned_key;
        where += "' stands twice; the first text counts";
        catalogue.warnings.push_back(std::move(where));
        continue;
      }
      catalogue.texts.ReplaceMessage(key.data(), key.size(), text.data(),
                                     text.size());
      catalogue.keys.push_back(std::move(owned_key));
    } else if (kind != LineKind::kBlank && kind != LineKind::kComment &&
               kind != LineKind::kNoColon) {
      where += "malformed catalogue entry; ignored";
      catalogue.warnings.push_back(std::move(where));
    }
  }
  return true;
}

namespace {

std::size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::size_t> previous(b.size() + 1);
  std::vector<std::size_t> current(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) previous[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      std::size_t substitution = previous[j - 1] + (a[i - 1] != b[j - 1]);
      current[j] =
          std::min({previous[j] + 1, current[j - 1] + 1, substitution});
    }
    previous.swap(current);
  }
  return previous[b.size()];
}

}  // namespace

std::string NearestKey(const std::vector<std::string>& keys,
                       const std::string& key) {
  // Long keys are compared only with keys of similar length, which keeps
  // the search cheap on large catalogues.
  std::size_t limit = std::max<std::size_t>(2, key.size() / 4);
  std::string best;
  std::size_t best_distance = limit + 1;
  for (const std::string& candidate : keys) {
    std::size_t gap = candidate.size() > key.size()
                          ? candidate.size() - key.size()
                          : key.size() - candidate.size();
    if (gap > limit) continue;
    std::size_t distance = EditDistance(key, candidate);
    if (distance < best_distance) {
      best_distance = distance;
      best = candidate;
    }
  }
  return best;
}

}  // namespace msgcheck
