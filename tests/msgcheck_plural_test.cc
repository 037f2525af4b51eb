// msgcheck's findings on plural messages, in a catalogue and in a message
// file, each case a catalogue and a file with the findings they must give.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/message_file_reader.h"
#include "test_support.h"
#include "tools/msgcheck/plural_forms.h"

namespace {

const char kCatalogue[] =
    "@language : \"en\"\n"
    "SYNCED : \"Synchronised %d files\"\n"
    "SYNCED[one] : \"Synchronised one file\"\n"
    "SENT : \"%s sent %lu files\"\n"
    "SENT[count] : \"2\"\n"
    "SENT[one] : \"%s sent one file\"\n";

std::vector<std::string> CatalogueFindings(const std::string& text) {
  msgreport_test::TempDir dir;
  std::string path = dir.Write("catalogue.txt", text);
  msgcheck::MasterCatalogue catalogue;
  std::vector<std::string> findings;
  // Findings without the path, which holds a ':' on Windows.
  auto sink = [&findings, &path](const std::string& line) {
    findings.push_back(line.substr(path.size() + 1));
  };
  msgcheck::LoadMasterCatalogue(path, catalogue, sink);
  msgcheck::CheckCataloguePlurals(path, catalogue, sink);
  return findings;
}

std::vector<std::string> FileFindings(const std::string& text) {
  msgreport_test::TempDir dir;
  msgcheck::MasterCatalogue catalogue;
  msgcheck::LoadMasterCatalogue(dir.Write("catalogue.txt", kCatalogue),
                                catalogue, {});
  msgcheck::PluralFileAudit audit(catalogue);
  msgreport::LineReader reader(dir.Write("file.txt", text).c_str());
  msgreport::JudgeMessageLines(
      reader, catalogue.texts,
      [&audit](const msgreport::LineOutcome& outcome) { audit.See(outcome); });
  std::vector<std::string> findings;
  for (const auto& finding : audit.Findings()) {
    findings.push_back(std::to_string(finding.line) + ": " + finding.severity +
                       ": " + finding.what);
  }
  return findings;
}

TEST(MsgcheckPluralTest, NamesCatalogueFormsTheLibraryCannotUse) {
  EXPECT_EQ(CatalogueFindings(kCatalogue), std::vector<std::string>{});
  struct Case {
    const char* what;
    std::string catalogue;
    std::vector<std::string> findings;
  } cases[] = {
      {"a form that reads another type",
       "N : \"%d files\"\nN[one] : \"%s file\"\n",
       {"2: error: form 'N[one]' does not read the arguments 'N' reads: "
        "argument 1 is %d there, %s here"}},
      {"a category English does not use, and an 'other' form",
       "N : \"%d files\"\nN[few] : \"%d files\"\nN[other] : \"%d files\"\n",
       {"2: error: 'N[few]': the catalogue's language (en) has no 'few' "
        "form; it uses one, other",
        "3: error: write the 'other' form of 'N' as the message itself, 'N' "
        ": \"...\""}},
      {"a count that is not a number, and one that names a string",
       "N : \"%s %d\"\nN[count] : \"x\"\nM : \"%s %d\"\nM[count] : \"1\"\n"
       "M[one] : \"%s one\"\n",
       {"2: error: the text of 'N[count]' must be the number of 'N''s count "
        "argument, counted from 1",
        "4: error: 'M[count]' names argument 1, which 'M' does not read as an "
        "integer"}},
      {"forms of a message without an integer argument",
       "N : \"%s files\"\nN[one] : \"%s file\"\n",
       {"2: error: 'N' has forms but no integer argument to choose them by "
        "(name one with 'N[count]')"}},
      {"an unknown language",
       "@language : \"xx\"\n",
       {"1: error: language 'xx' has no plural rule in the Unicode CLDR: "
        "every plural message shows its other text for every count"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CatalogueFindings(c.catalogue), c.findings) << c.what;
  }
}

TEST(MsgcheckPluralTest, NamesFileFormsThatGoAmissInTheFilesLanguage) {
  struct Case {
    const char* what;
    std::string file;
    std::vector<std::string> findings;
  } cases[] = {
      {"Polish with every form it uses",
       "@language : \"pl\"\nSYNCED : \"a %d\"\nSYNCED[one] : \"b\"\n"
       "SYNCED[few] : \"c %d\"\nSYNCED[many] : \"d %d\"\n",
       {}},
      {"Polish forms left in the built-in words",
       "@language : \"pl\"\nSYNCED : \"a %d\"\n"
       "SYNCED[one] : \"Synchronised one file\"\n"
       "SYNCED[few] : \"Synchronised %d files\"\nSYNCED[many] : \"d %d\"\n",
       {"3: warning: 'SYNCED[one]' repeats the built-in text, which counts "
        "that take it show in place of 'SYNCED''s translation",
        "4: warning: 'SYNCED[few]' repeats the built-in text, which counts "
        "that take it show in place of 'SYNCED''s translation"}},
      {"Polish lacking forms, with one it never uses",
       "SYNCED : \"a %d\"\nSYNCED[two] : \"b %d\"\n@language : \"pl\"\n",
       {"1: warning: 'SYNCED' lacks its one, few, many forms for pl; its "
        "other text serves for those counts",
        "2: warning: 'SYNCED[two]' is never used: counts in pl take one, "
        "few, many, other"}},
      {"forms without their message, in an unknown language",
       "@language : \"xx\"\nSENT[one] : \"%s: one\"\n",
       {"1: error: language 'xx' has no plural rule in the Unicode CLDR: the "
        "file's plural messages show their other text for every count",
        "2: error: 'SENT[one]' is dropped: the file does not give 'SENT' "
        "itself, the message's other form, in words of its own"}},
      {"forms with their message, in an unknown language",
       "@language : \"xx\"\nSENT : \"%s: %lu\"\nSENT[one] : \"%s: one\"\n",
       {"1: error: language 'xx' has no plural rule in the Unicode CLDR: the "
        "file's plural messages show their other text for every count"}},
      {"the message's own line repeating the built-in text decides nothing",
       "SYNCED : \"Synchronised %d files\"\nSYNCED[one] : "
       "\"Zsynchronizowano\"\n",
       {"2: error: 'SYNCED[one]' is dropped: the file does not give 'SYNCED' "
        "itself, the message's other form, in words of its own"}},
      {"an untranslated template's forms lose nothing when dropped",
       "@language : \"pl\"\nSYNCED : \"Synchronised %d files\"\n"
       "SYNCED[one] : \"Synchronised one file\"\n"
       "SYNCED[few] : \"Synchronised %d files\"\n",
       {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileFindings(c.file), c.findings) << c.what;
  }
}

}  // namespace
