#include "tools/msgcheck/merge.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/message_file_reader.h"
#include "test_support.h"
#include "tools/msgcheck/annotation.h"
#include "tools/msgcheck/translation_template.h"

namespace {

// de.txt was translated from program_v1.txt; program_v2.txt changes two
// texts and a note, drops GONE, adds NEW and a note for PERCENT.
const std::string kDir = MSGREPORT_GOLDEN_DIR;

// A catalogue msgcheck finds nothing to say of.
void Load(const std::string& path, msgcheck::MasterCatalogue& catalogue) {
  msgcheck::LoadMasterCatalogue(
      path, catalogue, [](const std::string& line) { FAIL() << line; });
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t begin = 0;
  for (std::size_t end; (end = text.find('\n', begin)) != std::string::npos;
       begin = end + 1) {
    lines.push_back(text.substr(begin, end - begin));
  }
  return lines;
}

// The key's text once the program has read `path`, as set-up reads it.
std::string TextAsRead(const msgcheck::MasterCatalogue& catalogue,
                       const std::string& path, const std::string& key) {
  msgreport::MessageTable program;
  program = catalogue.texts;
  msgreport::ReadMessageLines(path.c_str(), program, program, {});
  return program.FindMessage(key.c_str());
}

TEST(MergeTest, KeepsTheTranslatorsWorkAndWhatTheProgramReads) {
  msgcheck::MasterCatalogue before;
  msgcheck::MasterCatalogue after;
  Load(kDir + "/program_v1.txt", before);
  Load(kDir + "/program_v2.txt", after);
  const std::string old_path = kDir + "/de.txt";
  msgcheck::MergeResult merged = msgcheck::MergeTranslation(old_path, after);
  ASSERT_TRUE(merged.read_to_end);
  EXPECT_EQ(merged.added, 2u);  // NEW, and HELP, which de.txt lacked
  EXPECT_EQ(merged.obsolete, 1u);
  EXPECT_EQ(merged.to_review, 1u);
  EXPECT_EQ(merged.refreshed, 1u);
  EXPECT_EQ(merged.notes_updated, 2u);

  // Every old line stays, in order, but for the gone key's entry, which is
  // commented out, the record of the changed text, which the review mark
  // names, the untranslated COPY_DONE, which the tool owns, and the
  // developers' notes, which follow the catalogue's.
  std::vector<std::string> now = Lines(merged.text);
  std::size_t at = 0;
  for (const std::string& line :
       Lines(msgreport_test::FileContents(old_path))) {
    msgcheck::Annotation annotation = msgcheck::ParseAnnotation(line);
    if (line.find("Copied %d files\"") != std::string::npos ||
        annotation.kind == msgcheck::AnnotationKind::kNote) {
      continue;
    }
    std::string expected =
        line.rfind("GONE", 0) == 0 ? "// obsolete: " + line : line;
    if (annotation.value == "Copying %d files to %s") {
      expected = msgcheck::ChangedTextReview(annotation.value);
    }
    while (at < now.size() && now[at] != expected) ++at;
    ASSERT_LT(at, now.size()) << "lost: " << line << "\n" << merged.text;
  }

  msgreport_test::TempDir dir;
  std::string merged_path = dir.Write("de.txt", merged.text);
  for (const std::string& key : after.keys) {
    const char* old_text = before.TextOf(key);
    if (old_text == nullptr || key == "COPY_STARTED" || key == "COPY_DONE") {
      continue;
    }
    ASSERT_STREQ(old_text, after.TextOf(key));
    EXPECT_EQ(TextAsRead(after, merged_path, key),
              TextAsRead(before, old_path, key))
        << key;
  }
  EXPECT_EQ(TextAsRead(after, merged_path, "COPY_STARTED"),
            "Kopiere %d Dateien nach %s");
  EXPECT_EQ(TextAsRead(after, merged_path, "COPY_DONE"),
            "Copied %d files in %d s");

  msgcheck::MergeResult again = msgcheck::MergeTranslation(merged_path, after);
  EXPECT_EQ(again.text, merged.text);
}

TEST(MergeTest, KeepsAByteOrderMarkAndAddsNone) {
  msgcheck::MasterCatalogue catalogue;
  Load(kDir + "/program_v2.txt", catalogue);
  msgreport_test::TempDir dir;
  const std::string de = msgreport_test::FileContents(kDir + "/de.txt");
  for (const std::string mark : {"", "\xEF\xBB\xBF"}) {
    std::string merged =
        msgcheck::MergeTranslation(dir.Write("de.txt", mark + de), catalogue)
            .text;
    EXPECT_EQ(merged.rfind("\xEF\xBB\xBF", 0) == 0, !mark.empty());
  }
  // A last line without its end gets one before the lines merge adds.
  auto merged = [&](const std::string& text) {
    return msgcheck::MergeTranslation(dir.Write("t.txt", text), catalogue).text;
  };
  EXPECT_EQ(merged(de.substr(0, de.size() - 1)), merged(de));
}

TEST(MergeTest, KeepsLineEndsAndGivesAnEntryOnceATextCanHaveOne) {
  msgcheck::MasterCatalogue after;
  Load(kDir + "/program_v2.txt", after);
  msgreport_test::TempDir dir;
  std::string crlf;
  for (const std::string& line :
       Lines(msgreport_test::FileContents(kDir + "/de.txt"))) {
    crlf += line + "\r\n";
  }
  msgcheck::MergeResult merged =
      msgcheck::MergeTranslation(dir.Write("de.txt", crlf), after);
  EXPECT_TRUE(merged.changed);
  EXPECT_EQ(merged.text.find("\n"), merged.text.find("\r\n") + 1);
  for (std::size_t at = 0;
       (at = merged.text.find('\n', at + 1)) != std::string::npos;) {
    ASSERT_EQ(merged.text[at - 1], '\r') << at;
  }
  msgcheck::MergeResult again =
      msgcheck::MergeTranslation(dir.Write("merged.txt", merged.text), after);
  EXPECT_FALSE(again.changed);
  EXPECT_EQ(again.text, merged.text);

  // A template could give URL no entry while its text held "//".
  msgcheck::MasterCatalogue with_url;
  msgcheck::MasterCatalogue without_url;
  Load(dir.Write("a.txt", "URL : \"See http://example.org\"\n"), with_url);
  Load(dir.Write("b.txt", "URL : \"See the web site\"\n"), without_url);
  std::string path =
      dir.Write("t.txt", msgcheck::TranslationTemplate(with_url));
  msgcheck::MergeResult refreshed =
      msgcheck::MergeTranslation(path, without_url);
  EXPECT_EQ(refreshed.refreshed, 1u);
  EXPECT_EQ(refreshed.text.substr(refreshed.text.find("// built-in: \"")),
            "// built-in: \"See the web site\"\nURL : \"See the web site\"\n");
}

// What merge writes above an entry, and what it leaves alone, for one key
// whose catalogue line is K : "new %s" below the notes given.
TEST(MergeTest, KeepsEachEntrysAnnotationsInLineWithTheCatalogue) {
  const std::string mark =
      "// review: the built-in text changed from \"v1 %s\"; delete this line "
      "once reviewed\n";
  struct Case {
    const char* name;
    std::string notes;  // catalogue comment lines above K
    std::string before;
    std::string after;
  } cases[] = {
      {"notes follow the catalogue's, the translator's comment stays",
       "// n1\n//\n",
       "// mine\n// developers: old\n// built-in: \"new %s\"\nK : \"x %s\"\n",
       "// mine\n// developers: n1\n// developers:\n// built-in: \"new %s\"\n"
       "K : \"x %s\"\n"},
      {"notes the catalogue dropped go", "",
       "// developers: old\n// built-in: \"new %s\"\nK : \"x %s\"\n",
       "// built-in: \"new %s\"\nK : \"x %s\"\n"},
      {"a changed text is marked with the old one", "// n\n",
       "// developers: n\n// built-in: \"v1 %s\"\nK : \"x %s\"\n",
       "// developers: n\n" + mark + "// built-in: \"new %s\"\nK : \"x %s\"\n"},
      {"a mark not yet cleared keeps naming the text translated", "",
       mark + "// built-in: \"v2 %s\"\nK : \"x %s\"\n",
       mark + "// built-in: \"new %s\"\nK : \"x %s\"\n"},
      {"a mark an earlier merge wrote stays", "",
       "// built-in: \"v1 %s\"\n// review: the built-in text above changed to "
       "the one below\n// built-in: \"new %s\"\nK : \"x %s\"\n",
       ""},
      {"an untranslated entry is the tool's own", "// n\n",
       mark + "// built-in: \"v2 %s\"\nK : \"v2 %s\"\n",
       "// developers: n\n// built-in: \"new %s\"\nK : \"new %s\"\n"},
  };
  msgreport_test::TempDir dir;
  for (const Case& c : cases) {
    msgcheck::MasterCatalogue catalogue;
    Load(dir.Write("catalogue.txt", c.notes + "K : \"new %s\"\n"), catalogue);
    std::string path = dir.Write("de.txt", c.before);
    msgcheck::MergeResult merged = msgcheck::MergeTranslation(path, catalogue);
    std::string after = c.after.empty() ? c.before : c.after;
    EXPECT_EQ(merged.text, after) << c.name;
    EXPECT_EQ(merged.changed, !c.after.empty()) << c.name;
    EXPECT_FALSE(
        msgcheck::MergeTranslation(dir.Write("again.txt", after), catalogue)
            .changed)
        << c.name;
  }
}

}  // namespace
