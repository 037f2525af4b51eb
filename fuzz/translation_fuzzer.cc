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
#include "tools/msgcheck/translation_template.h"

namespace {

using msgcheck::MasterCatalogue;

// Every key's text once the program has read the file at `path`.
std::string TextsAsRead(const MasterCatalogue& catalogue,
                        const std::string& path) {
  msgreport::MessageTable program;
  program = catalogue.texts;
  msgreport::ReadMessageLines(path.c_str(), program, program, {});
  std::string texts;
  for (const std::string& key : catalogue.keys) {
    texts += program.FindMessage(key.c_str());
    texts += '\0';
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
            outcome.fate != msgreport::LineFate::kUnchanged) {
          std::abort();
        }
      });
  msgcheck::Coverage coverage =
      msgcheck::MeasureCoverage(template_path, catalogue);
  if (coverage.translated != 0 || !coverage.to_review.empty() ||
      coverage.untranslated.size() + coverage.cannot_be_given.size() !=
          catalogue.keys.size()) {
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
