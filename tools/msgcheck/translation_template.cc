#include "tools/msgcheck/translation_template.h"

#include "catalogue/message_line.h"

namespace msgcheck {
namespace {

constexpr std::string_view kRecordedPrefix = "// built-in: \"";
constexpr std::string_view kNoEntry = " has no entry: ";
constexpr std::string_view kNoEntryNote =
    "no message-file line holds this key and text as\n"
    "// they stand (\"//\" makes a line a comment; a text begins at the "
    "first '\"').\n";

constexpr const char kTemplateHeader[] =
    "// Messages of the program, to translate.\n"
    "//\n"
    "// Each entry is one line, KEY : \"text\". Translate the text between "
    "the\n"
    "// outer double quotes and leave the key as it is. Keep every\n"
    "// %-conversion (%s, %d, %.2f, ...) in the same order, and write %% for\n"
    "// a percent sign: the program ignores a text whose conversions do not\n"
    "// fit its own. To change the order, name every conversion's argument\n"
    "// by its place in the built-in text: \"%2$s ... %1$d\" for \"%d ... "
    "%s\".\n"
    "// An entry left as it is changes nothing.\n"
    "//\n"
    "// A line holding \"//\" anywhere is a comment, so no text can hold "
    "\"//\".\n"
    "// Keep the \"// built-in:\" line above each entry: it records the text\n"
    "// the entry was made from, so that \"msgcheck merge\" can tell you when\n"
    "// the program's text changes.\n"
    "//\n"
    "// Check your work with \"msgcheck check CATALOGUE THIS-FILE\".\n";

}  // namespace

std::string RecordedTextComment(std::string_view text) {
  return std::string(kRecordedPrefix) + std::string(text) + "\"";
}

std::optional<std::string_view> RecordedText(std::string_view line) {
  if (line.substr(0, kRecordedPrefix.size()) != kRecordedPrefix) {
    return std::nullopt;
  }
  std::size_t close = line.find_last_not_of(" \t");
  if (close < kRecordedPrefix.size() || line[close] != '"') return std::nullopt;
  return line.substr(kRecordedPrefix.size(), close - kRecordedPrefix.size());
}

std::optional<std::string_view> KeyWithoutEntry(std::string_view line) {
  std::size_t end = line.find(kNoEntry);
  if (line.substr(0, 3) != "// " || end == std::string_view::npos) {
    return std::nullopt;
  }
  return line.substr(3, end - 3);
}

std::string TemplateEntry(std::string_view key, std::string_view text) {
  std::string lines = RecordedTextComment(text) + "\n";
  std::string entry = std::string(key) + " : \"" + std::string(text) + "\"";
  // The grammar itself decides: the entry must read back as it was meant.
  msgreport::ParsedLine parsed = msgreport::ParseLine(entry);
  if (parsed.shape == msgreport::LineShape::kEntry && parsed.key == key &&
      parsed.text == text) {
    return lines + entry + "\n";
  }
  return lines + "// " + std::string(key) + std::string(kNoEntry) +
         std::string(kNoEntryNote);
}

bool ContinuesNoEntryNote(std::string_view line) {
  std::string_view second = kNoEntryNote.substr(kNoEntryNote.find('\n') + 1);
  return line == second.substr(0, second.size() - 1);
}

std::string TranslationTemplate(const MasterCatalogue& catalogue) {
  std::string out = kTemplateHeader;
  for (const std::string& key : catalogue.keys) {
    out += "\n" + TemplateEntry(key, catalogue.TextOf(key));
  }
  return out;
}

}  // namespace msgcheck
