#include "catalogue/plural_message.h"

#include "catalogue/message_limits.h"

namespace msgreport {

std::optional<SuffixedKey> SplitSuffixedKey(std::string_view key) {
  if (key.size() < 3 || key.back() != ']') return std::nullopt;
  std::size_t open = key.rfind('[');
  if (open == std::string_view::npos || open == 0 || open + 2 == key.size()) {
    return std::nullopt;
  }
  return SuffixedKey{key.substr(0, open),
                     key.substr(open + 1, key.size() - open - 2)};
}

std::string FormKey(std::string_view base, PluralCategory category) {
  std::string key(base);
  key += '[';
  key += PluralCategoryName(category);
  key += ']';
  return key;
}

std::optional<PluralCategory> FormCategoryNamed(std::string_view suffix) {
  std::optional<PluralCategory> category = PluralCategoryNamed(suffix);
  if (category == PluralCategory::kOther) return std::nullopt;
  return category;
}

std::optional<std::size_t> CountPositionNamed(std::string_view text) {
  if (text.empty() || text.size() > 3) return std::nullopt;
  std::size_t position = 0;
  for (char digit : text) {
    if (digit < '0' || digit > '9') return std::nullopt;
    position = 10 * position + static_cast<std::size_t>(digit - '0');
  }
  if (position == 0 || position > kMostArgumentPositions) return std::nullopt;
  return position;
}

}  // namespace msgreport
