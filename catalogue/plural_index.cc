// Plural messages are resolved once the table is changed, not at each
// report: which texts stand for which categories, in which language, and
// where the count is among the arguments. A report then only reads the
// count and picks a text.

#include <algorithm>
#include <cstring>
#include <string>

#include "catalogue/conversion_scanner.h"
#include "catalogue/message_table.h"

namespace msgreport {
namespace {

constexpr unsigned kOtherBit = 1U << static_cast<int>(PluralCategory::kOther);

PluralRule RuleOrNone(std::optional<PluralRule> rule) {
  // An unknown language has no rule to choose forms by, so its "other"
  // text serves every count, as in a language without plurals.
  return rule ? *rule : *PluralRuleFor("root");
}

// The types of the built-in text's arguments up to its count: the one at
// `position`, counted from 1, or else the first integer one.
std::optional<PluralMessage> CountOf(const char* built_in,
                                     std::optional<std::size_t> position) {
  PluralMessage message;
  ConversionScanner scanner(built_in);
  while (const Conversion* conversion = scanner.Next()) {
    if (conversion->star_width()) message.leading.push_back(ArgumentType::kInt);
    if (conversion->star_precision()) {
      message.leading.push_back(ArgumentType::kInt);
    }
    message.leading.push_back(ArgumentTypeOf(*conversion));
    bool counts =
        conversion->kind == ArgumentKind::kInteger && conversion->letter != 'c';
    bool reached = position ? message.leading.size() >= *position : counts;
    if (!reached) continue;
    if (!counts || (position && message.leading.size() != *position)) break;
    message.count_unsigned = ReadsUnsigned(conversion->letter);
    if (conversion->length == "hh") message.count_bits = 8;
    if (conversion->length == "h") message.count_bits = 16;
    return message;
  }
  return std::nullopt;
}

}  // namespace

void MessageTable::DropPluralIndex() {
  if (plurals_.empty()) return;
  for (Slot& slot : slots_) slot.hash &= kHashBits | kAddedFormBit;
  plurals_.clear();
}

void MessageTable::Decide(const MessageTable& judged, const Staged& staged) {
  for (const auto& [slot, categories] : staged.given_) {
    if ((categories & kOtherBit) == 0) continue;
    FormsDecision& decision = decisions_[judged.slots_[slot].entry];
    decision.rule = staged.language_named_
                        ? std::optional<PluralRule>(RuleOrNone(staged.rule_))
                        : std::nullopt;
    decision.categories = categories & ~kOtherBit;
  }
}

std::optional<PluralMessage> MessageTable::ResolvePlural(
    std::size_t slot, PluralRule catalogue_rule) const {
  std::string key = slots_[slot].entry;
  std::size_t count_slot = FindSlot((key + "[count]").c_str(), key.size() + 7);
  std::optional<std::size_t> position;
  if (count_slot != kNoSlot) {
    position = CountPositionNamed(BuiltInTextAt(count_slot));
    if (!position) return std::nullopt;
  }
  std::optional<PluralMessage> message = CountOf(BuiltInTextAt(slot), position);
  if (!message) return std::nullopt;

  auto decision = decisions_.find(key);
  bool decided = decision != decisions_.end();
  message->rule = decided && decision->second.rule ? *decision->second.rule
                                                   : catalogue_rule;
  auto other = static_cast<std::size_t>(PluralCategory::kOther);
  message->texts[other] = TextAt(slot);
  for (std::size_t category = 0; category < other; ++category) {
    if (decided && (decision->second.categories & (1U << category)) == 0) {
      continue;
    }
    std::string form = FormKey(key, static_cast<PluralCategory>(category));
    std::size_t form_slot = FindSlot(form.data(), form.size());
    if (form_slot != kNoSlot) message->texts[category] = TextAt(form_slot);
  }
  return message;
}

void MessageTable::IndexPluralMessages() {
  DropPluralIndex();
  if (!holds_suffixed_keys_) return;
  std::size_t language = FindSlot(kLanguageKey.data(), kLanguageKey.size());
  PluralRule catalogue_rule = RuleOrNone(PluralRuleFor(
      language == kNoSlot ? kDefaultLanguage : BuiltInTextAt(language)));
  std::vector<std::size_t> bases;
  for (const Slot& slot : slots_) {
    if (slot.entry == nullptr) continue;
    std::optional<SuffixedKey> suffixed = SplitSuffixedKey(slot.entry);
    if (!suffixed || (!FormCategoryNamed(suffixed->suffix) &&
                      suffixed->suffix != kCountSuffix)) {
      continue;
    }
    std::size_t base = FindSlot(suffixed->base.data(), suffixed->base.size());
    if (base != kNoSlot) bases.push_back(base);
  }
  std::sort(bases.begin(), bases.end());
  bases.erase(std::unique(bases.begin(), bases.end()), bases.end());
  // Messages past what a slot's tag can number keep their "other" text.
  for (std::size_t base : bases) {
    if (plurals_.size() == kMostPluralMessages) break;
    std::optional<PluralMessage> message = ResolvePlural(base, catalogue_rule);
    if (!message) continue;
    plurals_.push_back(std::move(*message));
    slots_[base].hash |= std::uint64_t{plurals_.size()} << kPluralTagShift;
  }
}

}  // namespace msgreport
