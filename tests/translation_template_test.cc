#include "tools/msgcheck/translation_template.h"

#include <gtest/gtest.h>

#include <string>

#include "catalogue/message_file_reader.h"
#include "test_support.h"
#include "tools/msgcheck/annotation.h"
#include "tools/msgcheck/coverage.h"

namespace {

using msgcheck::Untranslated;

std::string Replaced(std::string text, const std::string& from,
                     const std::string& to) {
  std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(TranslationTemplateTest, ChangesNothingUntilTranslatedAndCountsSo) {
  msgreport_test::TempDir dir;
  std::string catalogue_path = dir.Write("catalogue.txt",
                                         "// The catalogue's own comment\n"
                                         "\n"
                                         "// Translators: %d counts files\n"
                                         "//\n"
                                         "PLAIN : \"Copying %d files\"\n"
                                         "QUOTES : \"Say \"cheese\"\"\n"
                                         "BLANKS : \"  padded\t text  \"\n"
                                         "UTF8 : \"Gr\xc3\xbc\xc3\x9f"
                                         "e, 100%%\"\n"
                                         "EMPTY : \"\"\n"
                                         "URL : \"See http://example.org\"\n");
  msgcheck::MasterCatalogue catalogue;
  msgcheck::LoadMasterCatalogue(
      catalogue_path, catalogue,
      [](const std::string& line) { FAIL() << line; });
  ASSERT_EQ(catalogue.keys.size(), 6u);
  std::string text = msgcheck::TranslationTemplate(catalogue);
  std::string path = dir.Write("new.txt", text);
  EXPECT_EQ(text.find("catalogue's own"), std::string::npos);
  EXPECT_NE(text.find("\n\n// developers: Translators: %d counts files\n"
                      "// developers:\n"
                      "// built-in: \"Copying %d files\"\n"),
            std::string::npos)
      << text;

  msgreport::MessageTable program;
  program = catalogue.texts;
  msgreport::ReadMessageLines(
      path.c_str(), program, program, [](const msgreport::LineOutcome& o) {
        EXPECT_TRUE(o.fate == msgreport::LineFate::kSkipped ||
                    o.fate == msgreport::LineFate::kUnchanged)
            << o.line;
      });
  msgcheck::Coverage coverage = msgcheck::MeasureCoverage(path, catalogue);
  EXPECT_EQ(coverage.translated, 0u);
  ASSERT_EQ(coverage.untranslated.size(), 5u);
  EXPECT_EQ(coverage.untranslated[0].why, Untranslated::Why::kSameAsBuiltIn);
  ASSERT_EQ(coverage.cannot_be_given.size(), 1u);
  EXPECT_EQ(coverage.cannot_be_given[0].key, "URL");

  // One text translated, one whose conversions do not fit.
  text = Replaced(text, "PLAIN : \"Copying %d files\"",
                  "PLAIN : \"Kopiere %d Dateien\"");
  text = Replaced(text, "EMPTY : \"\"", "EMPTY : \"%s\"");
  coverage = msgcheck::MeasureCoverage(dir.Write("de.txt", text), catalogue);
  EXPECT_EQ(coverage.translated, 1u);
  ASSERT_EQ(coverage.untranslated.size(), 4u);
  EXPECT_EQ(coverage.untranslated[3].key, "EMPTY");
  EXPECT_EQ(coverage.untranslated[3].why, Untranslated::Why::kRejected);
  EXPECT_EQ(msgcheck::CoverageLine("de.txt", coverage),
            "de.txt: 1 of 6 keys translated; 4 untranslated: 0 missing, 3 "
            "same as the built-in text, 1 rejected; 1 cannot be given in a "
            "message file");
  // A text without the URL can still be given, and then counts.
  coverage = msgcheck::MeasureCoverage(
      dir.Write("de.txt", text + "URL : \"Siehe die Webseite\"\n"), catalogue);
  EXPECT_EQ(coverage.translated, 2u);
  EXPECT_TRUE(coverage.cannot_be_given.empty());
}

// An entry is written only where a file's line reads back as that key and
// text, and the record of a text, even an empty one, reads back as it.
TEST(TranslationTemplateTest, WritesWhatReadsBackAsWritten) {
  const struct {
    const char* key;
    const char* text;
    bool has_entry;
  } cases[] = {{"PLAIN", "Copying %d files", true},
               {"EMPTY", "", true},
               {"QUOTES", "Say \"cheese\"", true},
               {"SAY\"HI", "x", false},
               {"URL", "See http://example.org", false},
               {"A//B", "x", false},
               {"A:B", "x", true},
               {"K ", "x", false}};
  for (const auto& c : cases) {
    EXPECT_EQ(msgcheck::WhyNoEntry(c.key, c.text).empty(), c.has_entry)
        << c.key;
    std::string record = msgcheck::RecordLine(c.text);
    msgcheck::Annotation read = msgcheck::ParseAnnotation(record);
    EXPECT_EQ(read.kind, msgcheck::AnnotationKind::kRecord) << record;
    EXPECT_EQ(read.value, c.text);
  }
}

}  // namespace
