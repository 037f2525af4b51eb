// The translator's tools on an arbitrary catalogue and message file, which
// the input carries as two fields split at byte 0x01. A template must change
// no text; a merge must change no text the program reads, unless the file
// records a built-in text other than the catalogue's; merging a template or
// a merged file again must change nothing.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "catalogue/message_file_reader.h"
#include "fuzz_input.h"
#include "tools/msgcheck/coverage.h"
#include "tools/msgcheck/merge.h"
#include "tools/msgcheck/plural_forms.h"
#include "tools/msgcheck/translation_template.h"

namespace {

using msgcheck::MasterCatalogue;

// Every text a report can show once the program has read the file at
// `path`: each key's, and each plural form's as a report chooses it.
std::string TextsAsRead(const MasterCatalogue& catalogue,
                        const std::string& path) {
  msgreport::MessageTable program;
  program = catalogue.texts;
  msgreport::ReadMessageLines(path.c_str(), program, program, {});
  std::string texts;
  for (const std::string& key : catalogue.keys) {
    // A form's own entry may stand unused; what a report shows counts.
    if (msgcheck::PartsOf(catalogue, key).role == msgcheck::KeyRole::kForm) {
      continue;
    }
    msgreport::MessageTable::Found found = program.FindForReport(key.c_str());
    texts += found.text;
    texts += '\0';
    if (found.plural == nullptr) continue;
    // The text each count shows, whatever language chooses it.
    const msgreport::PluralMessage& plural = *found.plural;
    for (unsigned count : {0U, 1U, 2U, 3U, 5U, 7U, 11U, 12U, 21U, 22U, 25U,
                           101U, 102U, 111U, 1000U, 1000000U}) {
      const char* form = plural.texts[static_cast<std::size_t>(
          msgreport::PluralCategoryOf(plural.rule, count))];
      texts += form != nullptr ? form : plural.texts.back();
      texts += '\0';
    }
  }
  return texts;
}

// Merges the file at `path` and checks that merging the result changes
// nothing more; returns the merged text.
std::string MergeTwice(const MasterCatalogue& catalogue,
                       const std::string& path) {
  std::string merged = msgcheck::MergeTranslation(path, catalogue).text;
  std::string merged_path = msgreport_fuzz::WriteScratchFile(merged, 3);
  if (msgcheck::MergeTranslation(merged_path, catalogue).text != merged) {
    std::abort();
  }
  return merged;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  std::vector<std::string> fields = msgreport_fuzz::SplitFields(data, size, 1);
  fields.resize(2);
  MasterCatalogue catalogue;
  msgcheck::LoadMasterCatalogue(msgreport_fuzz::WriteScratchFile(fields[0], 0),
                                catalogue, [](const std::string&) {});

  std::string template_text = msgcheck::TranslationTemplate(catalogue);
  std::string template_path =
      msgreport_fuzz::WriteScratchFile(template_text, 1);
  msgreport::MessageTable program;
  program = catalogue.texts;
  msgreport::ReadMessageLines(
      template_path.c_str(), program, program,
      [](const msgreport::LineOutcome& outcome) {
        if (outcome.fate != msgreport::LineFate::kSkipped &&
            outcome.fate != msgreport::LineFate::kUnchanged &&
            outcome.fate != msgreport::LineFate::kLanguage) {
          std::abort();
        }
      });
  msgcheck::Coverage coverage =
      msgcheck::MeasureCoverage(template_path, catalogue);
  if (coverage.translated != 0 || !coverage.to_review.empty() ||
      coverage.untranslated.size() + coverage.cannot_be_given.size() !=
          coverage.keys) {
    std::abort();
  }
  if (MergeTwice(catalogue, template_path) != template_text) std::abort();

  std::string path = msgreport_fuzz::WriteScratchFile(fields[1], 2);
  std::string before = TextsAsRead(catalogue, path);
  std::string merged = MergeTwice(catalogue, path);
  if (fields[1].find("// built-in: ") == std::string::npos &&
      TextsAsRead(catalogue, msgreport_fuzz::WriteScratchFile(merged, 4)) !=
          before) {
    std::abort();
  }
  return 0;
}
