// Plural messages through a handler: built-in forms, files in other
// languages, and the rules that keep one report in one language. The
// expected forms were worked out from CLDR's rules by hand.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "callback_recorder.h"
#include "msgreport.h"
#include "test_support.h"

namespace {

using msgreport_test::Received;

// DRIVE's %c reads an int, yet counts nothing; CUT's '*' reads an int
// before the count.
const char* kPairs[] = {
    "@language",   "en",
    "SYNCED",      "Synchronised %d files",
    "SYNCED[one]", "Synchronised %d file",
    "FROM",        "%s sent %ld files",
    "FROM[one]",   "%s sent one file",
    "SIZE",        "%d copies of %d files",
    "SIZE[count]", "2",
    "SIZE[one]",   "%d copies of %d file",
    "DRIVE",       "Drive %c: %u files",
    "DRIVE[one]",  "Drive %c: %u file",
    "CUT",         "%.*s: %d files",
    "CUT[one]",    "%.*s: %d file",
    "SIGNED",      "%zd and %hhu files",
    "SIGNED[one]", "%zd and %hhu file",
    "BYTE",        "%hhu files",
    "BYTE[one]",   "%hhu file",
};
constexpr int kPairCount = sizeof kPairs / sizeof kPairs[0] / 2;

// Reports each count and returns what arrived.
std::vector<std::string> Synced(MessageHandler& handler,
                                const std::vector<int>& counts) {
  msgreport_test::Recording(handler, "info");
  for (int count : counts) handler.ReportInfo2("SYNCED", count);
  return Received::infos;
}

MessageHandler& Loaded(MessageHandler& handler, const std::string& file) {
  msgreport_test::TempDir dir;
  handler.PopulateMessageHandler(kPairs, kPairCount, nullptr, 0,
                                 dir.Write("file.txt", file).c_str());
  return handler;
}

TEST(PluralMessagesTest, EachLanguageChoosesItsFormByCount) {
  const std::vector<int> counts = {0, 1, 2, 5, 22, 112};
  struct Case {
    const char* language;
    std::string file;
    std::vector<std::string> expected;
  } cases[] = {
      {"English, built in",
       "",
       {"Synchronised 0 files", "Synchronised 1 file", "Synchronised 2 files",
        "Synchronised 5 files", "Synchronised 22 files",
        "Synchronised 112 files"}},
      {"French",
       "@language : \"fr\"\n"
       "SYNCED : \"%d fichiers synchronisés\"\n"
       "SYNCED[one] : \"%d fichier synchronisé\"\n"
       "SYNCED[many] : \"%d de fichiers synchronisés\"\n",
       {"0 fichier synchronisé", "1 fichier synchronisé",
        "2 fichiers synchronisés", "5 fichiers synchronisés",
        "22 fichiers synchronisés", "112 fichiers synchronisés"}},
      {"Polish",
       "@language : \"pl\"\n"
       "SYNCED[one] : \"Zsynchronizowano %d plik\"\n"
       "SYNCED[few] : \"Zsynchronizowano %d pliki\"\n"
       "SYNCED[many] : \"Zsynchronizowano %d plików\"\n"
       "SYNCED : \"Zsynchronizowano %d pliku\"\n",
       {"Zsynchronizowano 0 plików", "Zsynchronizowano 1 plik",
        "Zsynchronizowano 2 pliki", "Zsynchronizowano 5 plików",
        "Zsynchronizowano 22 pliki", "Zsynchronizowano 112 plików"}},
      {"Arabic",
       "@language : \"ar\"\n"
       "SYNCED[zero] : \"لم تتم مزامنة أي ملف\"\n"
       "SYNCED[one] : \"تمت مزامنة ملف واحد\"\n"
       "SYNCED[two] : \"تمت مزامنة ملفين\"\n"
       "SYNCED[few] : \"تمت مزامنة %d ملفات\"\n"
       "SYNCED[many] : \"تمت مزامنة %d ملفًا\"\n"
       "SYNCED : \"تمت مزامنة %d ملف\"\n",
       {"لم تتم مزامنة أي ملف", "تمت مزامنة ملف واحد", "تمت مزامنة ملفين",
        "تمت مزامنة 5 ملفات", "تمت مزامنة 22 ملفًا", "تمت مزامنة 112 ملفًا"}},
      {"Japanese: no English form for 1",
       "@language : \"ja\"\nSYNCED : \"%d 個のファイルを同期しました\"\n",
       {"0 個のファイルを同期しました", "1 個のファイルを同期しました",
        "2 個のファイルを同期しました", "5 個のファイルを同期しました",
        "22 個のファイルを同期しました", "112 個のファイルを同期しました"}},
  };
  for (const Case& c : cases) {
    MessageHandler handler;
    EXPECT_EQ(Synced(Loaded(handler, c.file), counts), c.expected)
        << c.language;
  }
}

TEST(PluralMessagesTest, AFileDecidesEveryFormOfWhatItTranslates) {
  struct Case {
    const char* what;
    std::string file;
    std::vector<int> counts;
    std::vector<std::string> expected;
    std::vector<std::string> earlier = {};  // files read before
  } cases[] = {
      {"a form the file lacks takes its other text, not the built-in form",
       "@language : \"fr\"\nSYNCED : \"%d fichiers\"\n",
       {1, 1000000},
       {"1 fichiers", "1000000 fichiers"}},
      {"forms without their other text are dropped",
       "@language : \"pl\"\nSYNCED[few] : \"%d pliki\"\n",
       {1, 2},
       {"Synchronised 1 file", "Synchronised 2 files"}},
      {"an unknown language shows its other text for every count",
       "@language : \"xx\"\nSYNCED : \"%d xx\"\nSYNCED[one] : \"one xx\"\n",
       {1, 2},
       {"1 xx", "2 xx"}},
      {"no language: the catalogue's, and a form for it",
       "SYNCED[one] : \"Synced %d file\"\nSYNCED : \"Synced %d files\"\n",
       {1, -1, 2},
       {"Synced 1 file", "Synced -1 file", "Synced 2 files"}},
      {"a reordered form, and a count the file may not move",
       "@language : \"pl\"\nSYNCED : \"%1$d pliku\"\n"
       "SYNCED[few] : \"pliki: %1$d\"\nSYNCED[count] : \"1\"\n",
       {3, 7},
       {"pliki: 3", "7 pliku"}},
      {"the built-in text given back after a translation takes its forms",
       "@language : \"en\"\nSYNCED : \"Synchronised %d files\"\n"
       "SYNCED[one] : \"Synchronised %d file\"\n",
       {0, 1},
       {"Synchronised 0 files", "Synchronised 1 file"},
       {"@language : \"fr\"\nSYNCED : \"%d fichiers\"\n"
        "SYNCED[one] : \"%d fichier\"\n"}},
      {"the built-in text given again changes none of those forms",
       "SYNCED : \"Synchronised %d files\"\n",
       {1},
       {"Synchronised 1 file"},
       {"SYNCED : \"%d fichiers\"\nSYNCED[one] : \"%d fichier\"\n",
        "SYNCED : \"Synchronised %d files\"\n"
        "SYNCED[one] : \"Synchronised %d file\"\n"}},
  };
  for (const Case& c : cases) {
    MessageHandler handler;
    for (const std::string& earlier : c.earlier) Loaded(handler, earlier);
    EXPECT_EQ(Synced(Loaded(handler, c.file), c.counts), c.expected) << c.what;
  }
}

// A form the catalogue lacks is the file's, not a key the program has: a
// report of it by name reads no argument, as for any key the program lacks.
TEST(PluralMessagesTest, AFormAFileAddsIsNoKeyToReport) {
  // A later set-up's pair gives the program the form: the file's text if
  // the file translated its message too, else the form was dropped.
  const char* few[] = {"SYNCED[few]", "%d few"};
  const std::vector<std::string> cases[] = {
      {"SYNCED : \"%d plikow\"\nSYNCED[few] : \"%d pliki\"\n", "2 pliki",
       "3 pliki"},
      {"SYNCED[few] : \"%d pliki\"\n", "Synchronised 2 files", "3 few"}};
  for (const std::vector<std::string>& c : cases) {
    MessageHandler handler;
    Synced(Loaded(handler, "@language : \"pl\"\n" + c[0]), {2});
    handler.ReportInfo2("SYNCED[few]", "passed where the form reads an int");
    handler.PopulateMessageHandler(few, 1, nullptr, 0, nullptr);
    handler.ReportInfo2("SYNCED[few]", 3);
    EXPECT_EQ(Received::infos,
              (std::vector<std::string>{c[1], "Unregistered message", c[2]}))
        << c[0];
  }
}

// Forms the catalogue lacks are staged by message and category: each of
// many messages keeps every form a file gives it.
TEST(PluralMessagesTest, FormsAFileAddsStayWithTheirMessage) {
  const char* names[] = {"zero", "one", "two", "few", "many", "other"};
  const int counts[] = {0, 1, 2, 3, 11, 100};  // in Arabic, in that order
  std::vector<std::string> texts, expected;
  std::string file = "@language : \"ar\"\n";
  for (int m = 0; m < 64; ++m) {
    std::string key = "M" + std::to_string(m);
    texts.insert(texts.end(), {key, "%d", key + "[one]", "%d"});
    for (int c = 0; c < 6; ++c) {
      std::string form = c < 5 ? key + "[" + names[c] + "]" : key;
      file += form + " : \"" + key + " " + names[c] + " %d\"\n";
      expected.push_back(key + " " + names[c] + " " +
                         std::to_string(counts[c]));
    }
  }
  std::vector<const char*> pairs;
  for (const std::string& text : texts) pairs.push_back(text.c_str());
  MessageHandler handler;
  handler.PopulateMessageHandler(
      pairs.data(), static_cast<int>(pairs.size() / 2), nullptr, 0,
      msgreport_test::TempDir().Write("ar", file).c_str());
  msgreport_test::Recording(handler, "info");
  for (int m = 0; m < 64; ++m) {
    for (int count : counts) handler.ReportInfo2(texts[4 * m].c_str(), count);
  }
  EXPECT_EQ(Received::infos, expected);
}

TEST(PluralMessagesTest, TheCountIsFoundAmongTheArguments) {
  MessageHandler handler(kPairs, kPairCount, nullptr, 0, nullptr);
  msgreport_test::Recording(handler, "info");
  handler.ReportInfo2("FROM", "host", 1L);
  handler.ReportInfo2("FROM", "host", 4L);
  handler.ReportInfo2("SIZE", 1, 1);  // the second argument counts
  handler.ReportInfo2("SIZE", 1, 3);
  handler.ReportInfo2("DRIVE", 'C', 1);
  handler.ReportInfo2("DRIVE", 'C', -1);  // read as unsigned, so no "one"
  handler.ReportInfo2("CUT", 2, "abc", 1);
  handler.ReportInfo2("SIGNED", std::size_t(0) - 1, 0);  // as printf shows
  handler.ReportInfo2("BYTE", 257);
  EXPECT_EQ(Received::infos, (std::vector<std::string>{
                                 "host sent one file", "host sent 4 files",
                                 "1 copies of 1 file", "1 copies of 3 files",
                                 "Drive C: 1 file", "Drive C: 4294967295 files",
                                 "ab: 1 file", "-1 and 0 file", "1 file"}));
}

}  // namespace
