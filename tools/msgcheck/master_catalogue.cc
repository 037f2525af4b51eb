#include "tools/msgcheck/master_catalogue.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "catalogue/format_check.h"
#include "catalogue/message_line.h"
#include "tools/msgcheck/annotation.h"

namespace msgcheck {
namespace {

using msgreport::LineShape;

// A typo, not another word: at most a quarter of the key, between 2 and 8.
constexpr std::size_t kLeastDistance = 2;
constexpr std::size_t kMostDistance = 8;

// Why a catalogue line is not read as an entry; empty for blank lines and
// comments, which are meant not to be.
std::string WhyNotRead(const msgreport::ParsedLine& parsed,
                       std::string_view line) {
  switch (parsed.shape) {
    case LineShape::kBlank:
    case LineShape::kComment:
      return {};
    case LineShape::kNoColon:
      if (line.find_first_not_of(" \t") == std::string_view::npos) return {};
      return "no ':' on the line, so it is not read as an entry (write KEY : "
             "\"text\")";
    default:
      return MalformedEntryText(parsed);
  }
}

// A line that msgcheck writes into message files and a catalogue's author
// would not: review marks are left out, since a developer may well write
// "// review:" above a text.
bool IsMessageFileLine(std::string_view line) {
  switch (ParseAnnotation(line).kind) {
    case AnnotationKind::kNote:
    case AnnotationKind::kRecord:
    case AnnotationKind::kNoEntry:
      return true;
    default:
      return false;
  }
}

}  // namespace

msgreport::LineReader::Status LoadMasterCatalogue(const std::string& path,
                                                  MasterCatalogue& catalogue,
                                                  const DiagnosticSink& sink) {
  msgreport::LineReader reader(path.c_str());
  if (!reader.is_open()) return reader.status();
  std::unordered_map<std::string, std::size_t> line_of_key;
  // The comment lines since the last line of another kind.
  std::vector<std::string> notes;
  while (std::optional<std::string_view> line = reader.NextLine()) {
    std::size_t number = reader.line_number();
    if (number == 1 && reader.skipped_byte_order_mark()) {
      Say(sink, path, 1, "note", "byte-order mark skipped");
    }
    if (reader.line_too_long()) {
      Say(sink, path, number, "error", TooLongText());
      ++catalogue.errors;
      notes.clear();
      continue;
    }
    msgreport::ParsedLine parsed = msgreport::ParseCatalogueLine(*line);
    if (parsed.shape == LineShape::kComment) {
      if (IsMessageFileLine(*line) && catalogue.message_file_line == 0) {
        catalogue.message_file_line = number;
      }
      notes.emplace_back(CatalogueNote(*line));
      continue;
    }
    std::vector<std::string> notes_above = std::move(notes);
    notes.clear();
    if (parsed.shape != LineShape::kEntry) {
      std::string why = WhyNotRead(parsed, *line);
      if (!why.empty()) {
        Say(sink, path, number, "error", why);
        ++catalogue.errors;
      }
      continue;
    }
    std::string key(parsed.key);
    auto [first, is_new] = line_of_key.try_emplace(key, number);
    if (!is_new) {
      Say(sink, path, number, "error",
          "key " + Quoted(key) + " stood on line " +
              std::to_string(first->second) +
              " already; the first text counts");
      ++catalogue.errors;
      continue;
    }
    if (msgreport::ParseFormat(parsed.text.data(), parsed.text.size())
            .problem == msgreport::FormatProblem::kPositional) {
      Say(sink, path, number, "error",
          "text for " + Quoted(key) +
              " names an argument's position (%1$s): a built-in text reads "
              "its arguments in order; only a translation may reorder them");
      ++catalogue.errors;
    }
    catalogue.texts.ReplaceMessage(key.data(), key.size(), parsed.text.data(),
                                   parsed.text.size());
    if (!notes_above.empty()) catalogue.notes[key] = std::move(notes_above);
    catalogue.keys.push_back(std::move(key));
    catalogue.key_lines.push_back(number);
  }
  catalogue.texts.IndexPluralMessages();
  return reader.status();
}

const std::vector<std::string>& MasterCatalogue::NotesOf(
    const std::string& key) const {
  static const std::vector<std::string> kNone;
  auto found = notes.find(key);
  return found == notes.end() ? kNone : found->second;
}

std::string SwappedArguments(const std::string& path,
                             const MasterCatalogue& catalogue) {
  if (catalogue.message_file_line == 0) return {};
  return Quoted(path) +
         " is a message file made by msgcheck, not a "
         "catalogue (see its line " +
         std::to_string(catalogue.message_file_line) +
         "): are CATALOGUE and MESSAGEFILE the wrong way round?";
}

KeySuggester::KeySuggester(const std::vector<std::string>& keys,
                           std::size_t work_cap)
    : work_cap_(work_cap) {
  by_length_.reserve(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) {
    by_length_.push_back({keys[i], i});
  }
  std::stable_sort(by_length_.begin(), by_length_.end(),
                   [](const Known& a, const Known& b) {
                     return a.key.size() < b.key.size();
                   });
}

// The edit distance of `a` and `b` if at most `bound`, else bound + 1. Only
// the band of cells within `bound` of the diagonal can stay within it, and
// a row whose every cell is past `bound` ends the comparison.
std::size_t KeySuggester::Distance(std::string_view a, std::string_view b,
                                   std::size_t bound) {
  const std::size_t beyond = bound + 1;
  std::vector<std::size_t>& previous = previous_row_;
  std::vector<std::size_t>& current = current_row_;
  previous.assign(b.size() + 1, beyond);
  current.assign(b.size() + 1, beyond);
  for (std::size_t j = 0; j <= std::min(b.size(), bound); ++j) previous[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t low = i > bound ? i - bound : 1;
    std::size_t high = std::min(b.size(), i + bound);
    current[low - 1] = low == 1 && i <= bound ? i : beyond;
    std::size_t row_best = current[low - 1];
    work_ += high - low + 1;
    for (std::size_t j = low; j <= high; ++j) {
      std::size_t substitution = previous[j - 1] + (a[i - 1] != b[j - 1]);
      std::size_t cell =
          std::min({previous[j] + 1, current[j - 1] + 1, substitution});
      current[j] = std::min(cell, beyond);
      row_best = std::min(row_best, current[j]);
    }
    if (high < b.size()) current[high + 1] = beyond;
    if (row_best > bound) return beyond;
    previous.swap(current);
  }
  return std::min(previous[b.size()], beyond);
}

std::string KeySuggester::Nearest(std::string_view key) {
  if (answered_ && key == last_question_) return last_answer_;
  std::size_t limit = std::clamp(key.size() / 4, kLeastDistance, kMostDistance);
  std::size_t shortest = key.size() > limit ? key.size() - limit : 0;
  auto first = std::lower_bound(by_length_.begin(), by_length_.end(), shortest,
                                [](const Known& known, std::size_t size) {
                                  return known.key.size() < size;
                                });
  const Known* best = nullptr;
  std::size_t best_distance = limit + 1;
  for (auto it = first; it != by_length_.end() && !capped(); ++it) {
    if (it->key.size() > key.size() + limit) break;
    // A tie can still win by standing earlier in the catalogue.
    std::size_t bound = best == nullptr ? limit : best_distance;
    std::size_t distance = Distance(key, it->key, bound);
    if (distance < best_distance ||
        (distance == best_distance && best != nullptr &&
         it->order < best->order)) {
      best_distance = distance;
      best = &*it;
    }
  }
  last_question_.assign(key);
  last_answer_ = best == nullptr ? std::string() : std::string(best->key);
  answered_ = true;
  return last_answer_;
}

}  // namespace msgcheck
