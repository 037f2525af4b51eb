#include "tools/msgcheck/translation_template.h"

#include "tools/msgcheck/annotation.h"
#include "tools/msgcheck/plural_forms.h"

namespace msgcheck {
namespace {

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
    "// A message whose words change with a count has an entry for each\n"
    "// plural form of the file's language, KEY[one], KEY[few] and so on,\n"
    "// beside KEY itself for the other counts; set @language to the\n"
    "// file's language (\"pl\", \"pt_BR\"), whose forms \"msgcheck check\"\n"
    "// then names.\n"
    "//\n"
    "// A line holding \"//\" anywhere is a comment, so no text can hold "
    "\"//\".\n"
    "// Above each entry stand lines that msgcheck reads: keep them together\n"
    "// directly above it, and write comments of your own above them.\n"
    "//   // developers: a note from the program's developers, which\n"
    "//      \"msgcheck merge\" keeps up to date.\n"
    "//   // built-in: the text the entry was made from, so that \"msgcheck\n"
    "//      merge\" can tell you when the program's text changes.\n"
    "//   // review: set by \"msgcheck merge\" when that text changed. Check\n"
    "//      the translation against the new text, then delete the line:\n"
    "//      until then the entry counts as one to review.\n"
    "//\n"
    "// Check your work with \"msgcheck check CATALOGUE THIS-FILE\", and "
    "see\n"
    "// what is left with \"msgcheck coverage --list CATALOGUE THIS-FILE\".\n";

}  // namespace

std::string TemplateEntry(std::string_view key, std::string_view text,
                          const std::vector<std::string>& notes) {
  return TemplateEntry(key, text, notes, text);
}

std::string TemplateEntry(std::string_view key, std::string_view text,
                          const std::vector<std::string>& notes,
                          std::string_view entry_text) {
  std::string lines;
  for (const std::string& note : notes) lines += NoteLine(note) + "\n";
  lines += RecordLine(text) + "\n";
  if (!WhyNoEntry(key, entry_text).empty()) return lines + NoEntryLines(key);
  return lines + EntryLine(key, entry_text) + "\n";
}

std::string TranslationTemplate(const MasterCatalogue& catalogue,
                                std::string_view language) {
  std::string out = kTemplateHeader;
  for (const FileEntry& entry : FileEntriesFor(catalogue, language)) {
    out += "\n" + TemplateEntry(entry.key, catalogue.TextOf(entry.source),
                                catalogue.NotesOf(entry.source), entry.text);
  }
  return out;
}

}  // namespace msgcheck
