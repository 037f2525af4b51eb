#include <gtest/gtest.h>
#if defined(_WIN32)
#define popen _popen
#define pclose _pclose
#else
#include <sys/stat.h>
#include <sys/wait.h>
#endif

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/message_limits.h"
#include "test_support.h"
#include "tools/msgcheck/catalogue_header.h"
#include "tools/msgcheck/coverage.h"
#include "tools/msgcheck/file_check.h"
#include "tools/msgcheck/master_catalogue.h"

namespace {

using msgreport_test::TempDir;

const char kCatalogue[] =
    "// master list\n"
    "FILE_NOT_FOUND : \"Cannot open %s (error %d)\"\n"
    "DISK_FULL : \"Disk full\"\n"
    "NET_TIMEOUT : \"No answer from %s after %d s\"\n";

struct ToolRun {
  int status;
  std::string output;
};

ToolRun RunTool(const std::string& arguments) {
  std::string command = std::string(MSGCHECK_PATH) + " " + arguments + " 2>&1";
  std::FILE* pipe = popen(command.c_str(), "r");
  std::string output;
  char chunk[4096];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
    output.append(chunk, got);
  }
  int status = pclose(pipe);
#if defined(_WIN32)
  return {status, output};
#else
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
#endif
}

// Runs msgcheck, which must end with `status` and say `says`.
void ExpectRun(const std::string& arguments, int status,
               const std::string& says) {
  ToolRun run = RunTool(arguments);
  EXPECT_EQ(run.status, status) << arguments;
  EXPECT_NE(run.output.find(says), std::string::npos) << run.output;
}

msgcheck::DiagnosticSink Collect(std::vector<std::string>& lines) {
  return [&lines](const std::string& line) { lines.push_back(line); };
}

class MsgcheckTest : public ::testing::Test {
 protected:
  MsgcheckTest() : catalogue_path_(dir_.Write("catalogue.txt", kCatalogue)) {
    EXPECT_EQ(msgcheck::LoadMasterCatalogue(catalogue_path_, catalogue_,
                                            Collect(catalogue_notes_)),
              msgreport::LineReader::Status::kOpen);
  }

  std::vector<std::string> Check(const std::string& contents,
                                 msgcheck::FileSummary* summary = nullptr) {
    std::string path = dir_.Write("fr.txt", contents);
    std::vector<std::string> diagnostics;
    msgcheck::FileSummary result =
        msgcheck::CheckMessageFile(path, catalogue_, Collect(diagnostics));
    if (summary != nullptr) *summary = result;
    for (std::string& line : diagnostics) line.erase(0, path.size() + 1);
    return diagnostics;
  }

  TempDir dir_;
  std::vector<std::string> catalogue_notes_;
  std::string catalogue_path_;
  msgcheck::MasterCatalogue catalogue_;
};

// What msgcheck says of each file, line by line, and what it counts.
TEST_F(MsgcheckTest, ExplainsEveryLineThatDoesNotTakeEffect) {
  const struct {
    std::string contents;
    std::vector<std::string> diagnostics;
    // Lines, replaced, unchanged, unknown keys, rejected, plural errors.
    std::vector<std::size_t> counts;
  } cases[] = {
      {"// comment\n"
       "\n"
       "NET_TIMOUT : \"Pas de réponse\"\n"
       "FILE_NOT_FOUND : \"Erreur %d pour %s\"\n"
       "FILE_NOT_FOUND : \"%s %d %s\"\n"
       "FILE_NOT_FOUND : \"voir http://exemple\"\n"
       "FILE_NOT_FOUND \"Impossible\"\n"
       "FILE_NOT_FOUND : \"Impossible\" (fr)\n"
       "DISK_FULL : \"unclosed\n"
       "DISK_FULL : \"Disk full\"\n"
       "FILE_NOT_FOUND : \"%n\"\n"
       "just some words\n",
       {
           "3: error: unknown key 'NET_TIMOUT'; did you mean "
           "'NET_TIMEOUT'?",
           "4: error: text for 'FILE_NOT_FOUND' does not fit the "
           "catalogue's conversions: argument 1 is %s in the catalogue, "
           "%d here",
           "5: error: text for 'FILE_NOT_FOUND' uses argument 3 (%s), "
           "which the program does not pass: the catalogue's text takes 2",
           "6: error: \"//\" on the line makes it a comment, so its text "
           "never takes effect",
           "7: error: no ':' on the line, so it is not read as an entry "
           "(write KEY : \"text\")",
           "8: error: malformed entry for 'FILE_NOT_FOUND': characters "
           "after the closing double quote",
           "9: error: malformed entry for 'DISK_FULL': the text has no "
           "closing double quote",
           "10: note: text for 'DISK_FULL' equals the catalogue's; the "
           "line changes nothing",
           "11: error: text for 'FILE_NOT_FOUND' holds %n, which a "
           "message file may never use",
           "12: warning: neither an entry nor a comment; skipped",
       },
       {12, 0, 1, 1, 7, 0}},
      // Which of several lines wins, and values a text drops.
      {"DISK_FULL : \"Plein\"\n"
       "FILE_NOT_FOUND : \"Impossible d'ouvrir %s\"\n"
       "DISK_FULL : \"Disque plein\"\n"
       "DISK_FULL : \"Disk full\"\n",
       {
           "2: warning: text for 'FILE_NOT_FOUND' uses fewer conversions "
           "than the catalogue's: argument 2 (%d) and any after it are "
           "passed but not shown",
           "3: warning: key 'DISK_FULL' stood on line 1 already; this "
           "line's text wins over that one",
           "4: note: text for 'DISK_FULL' equals the catalogue's; the "
           "line changes nothing, and does not undo line 3",
       },
       {4, 3, 1, 0, 0, 0}},
      // Control bytes in keys are spelt out.
      {"\x01"
       "DISK_FULL : \"Plein\"\nDISK\tFULL: \"x\"\n"
       "DISK_FULL\x7f : \"x\"\n",
       {
           "1: error: unknown key '\\x01DISK_FULL'; did you mean "
           "'DISK_FULL'?",
           "2: error: unknown key 'DISK\\x09FULL:'; did you mean "
           "'DISK_FULL'?",
           "3: error: unknown key 'DISK_FULL\\x7f'; did you mean "
           "'DISK_FULL'?",
       },
       {3, 0, 0, 3, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.diagnostics.front());
    msgcheck::FileSummary s;
    EXPECT_EQ(Check(c.contents, &s), c.diagnostics);
    EXPECT_EQ(
        (std::vector<std::size_t>{s.lines, s.replaced, s.unchanged,
                                  s.unknown_keys, s.rejected, s.plural_errors}),
        c.counts);
  }
}

TEST_F(MsgcheckTest, WarnsOfTheByteAtWhichWindowsEndsTheFile) {
  // Windows stops reading at the Ctrl-Z, other platforms read on and judge
  // what follows; the warning comes first, and alike, on both.
  const std::string warning =
      ": warning: a Ctrl-Z byte, at which Windows ends the file: there, "
      "nothing after it is read";
  const std::string comment = "// " + std::string(40000, 'x') + "\n";
  const std::pair<std::string, std::string> cases[] = {
      {"DISK_FULL : \"Plein\"\n\x1aNET_TIMOUT : \"x\"\n", "2"},
      {"// notes\nDISK_FULL : \"Plein\"\x1a\nDISK_FULL : \"Vide\"\n", "2"},
      // The file's last byte, with no line end after it.
      {"DISK_FULL : \"Plein\"\n\x1a", "2"},
      // Past the first 64 KiB that the file is read in.
      {comment + comment + "DISK_FULL : \"P\"\n\x1a\n", "4"},
      // In a line read from two blocks, before their border and after it.
      {comment + "// \x1a" + std::string(30000, 'y') + "\n", "2"},
      {comment + "// " + std::string(30000, 'y') + "\x1a\n", "2"},
      // In a line too long to be judged.
      {"// " + std::string(70000, 'x') + "\x1a\n\x1a\n", "1"}};
  for (const auto& [contents, line] : cases) {
    std::vector<std::string> said = Check(contents);
    ASSERT_FALSE(said.empty()) << line;
    EXPECT_EQ(said.front(), line + warning);
  }
}

TEST_F(MsgcheckTest, RefusesWhatIsNotARegularFile) {
#if defined(_WIN32)
  const std::string device = "NUL";
#else
  const std::string device = "/dev/zero";
  std::string fifo = dir_.path() + "/fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ExpectRun(catalogue_path_ + " " + fifo, 2, "not a regular file");
#endif
  ToolRun from_device = RunTool(catalogue_path_ + " " + device);
  EXPECT_EQ(from_device.status, 2);
  EXPECT_EQ(from_device.output, "msgcheck: cannot read message file '" +
                                    device + "': not a regular file\n");
  EXPECT_EQ(RunTool(device + " " + catalogue_path_).status, 2);
}

TEST_F(MsgcheckTest, FilesNotReadToTheirEndFailEveryCommand) {
  std::string huge = dir_.Write("huge.txt", "DISK_FULL : \"Plein\"\n");
  std::filesystem::resize_file(huge, msgreport::kMaxFileBytes + 1);
  std::vector<std::pair<std::string, std::string>> unreadable = {
      {huge, "larger than 64 MiB"}};
#if defined(__linux__)
  // Reading it fails with EIO: address 0 is never mapped.
  unreadable.push_back({"/proc/self/mem", "a read error stopped it"});
#endif
  std::string out = dir_.path() + "/out.txt";
  for (const auto& [path, why] : unreadable) {
    for (const std::string& command :
         {"check " + catalogue_path_ + " " + path,
          "coverage " + catalogue_path_ + " " + path,
          "merge -o " + out + " " + catalogue_path_ + " " + path,
          "check " + path + " " + catalogue_path_}) {
      ExpectRun(command, 2, why);
    }
  }
  EXPECT_FALSE(std::filesystem::exists(out));

  std::string long_line = "DISK_FULL : \"" + std::string(70000, 'x') + "\"";
  EXPECT_EQ(Check("// notes\n" + long_line + "\n"),
            std::vector<std::string>{
                "2: error: line longer than 65536 bytes; skipped unread"});
  ExpectRun(
      "merge " + catalogue_path_ + " " + dir_.Write("long.txt", long_line), 2,
      "long.txt':1: line longer");
}

TEST_F(MsgcheckTest, NeverWritesOverTheCatalogueOrThroughAnotherFile) {
  std::string translation = dir_.Write(
      "de.txt", "// built-in: \"Disk full\"\nDISK_FULL : \"Voll\"\n");
  std::string link = dir_.path() + "/link.txt";
  std::filesystem::create_hard_link(catalogue_path_, link);
  std::string out = " -o " + catalogue_path_ + " ";
  for (const std::string& command :
       {"merge " + catalogue_path_ + " " + catalogue_path_,
        "merge" + out + catalogue_path_ + " " + translation,
        "merge " + link + " " + catalogue_path_,
        "header " + catalogue_path_ + " " + link,
        "template" + out + catalogue_path_}) {
    ExpectRun(command, 2, "is the catalogue; refusing");
  }
  ExpectRun("merge " + translation + " " + catalogue_path_, 2,
            "the wrong way round?");
  EXPECT_EQ(msgreport_test::FileContents(catalogue_path_), kCatalogue);
#if defined(_WIN32)
  GTEST_SKIP() << "modes and links as POSIX has them";
#else
  // The temporary's old, fixed name, as a link to another file.
  std::string victim = dir_.Write("victim.txt", "untouched");
  std::filesystem::create_symlink(victim, translation + ".msgcheck-new");
  std::filesystem::rename(translation, dir_.path() + "/real.txt");
  std::filesystem::create_symlink(dir_.path() + "/real.txt", translation);
  chmod(translation.c_str(), 0640);
  EXPECT_EQ(RunTool("merge " + catalogue_path_ + " " + translation).status, 0);
  EXPECT_TRUE(std::filesystem::is_symlink(translation));
  EXPECT_NE(msgreport_test::FileContents(translation).find("NET_TIMEOUT"),
            std::string::npos);
  EXPECT_EQ(std::filesystem::status(translation).permissions(),
            std::filesystem::perms(0640));
  EXPECT_EQ(msgreport_test::FileContents(victim), "untouched");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()),
                          std::filesystem::directory_iterator()),
            6);
  // Merged already: merging again leaves the very file as it was.
  struct stat merged {};
  struct stat again {};
  stat(translation.c_str(), &merged);
  EXPECT_EQ(RunTool("merge " + catalogue_path_ + " " + translation).status, 0);
  stat(translation.c_str(), &again);
  EXPECT_EQ(merged.st_ino, again.st_ino);
  chmod(translation.c_str(), 0444);
  std::string before = msgreport_test::FileContents(translation);
  ExpectRun("merge " + catalogue_path_ + " " + translation, 2, "read-only");
  EXPECT_EQ(msgreport_test::FileContents(translation), before);
#endif
}

// The translator's round that the README tells: a template, a
// translation, a changed catalogue, a merge, a review.
TEST_F(MsgcheckTest, AMergedChangeWaitsForReviewUntilItsMarkIsDeleted) {
  std::string de = dir_.path() + "/de.txt";
  auto expect = [&de](const std::string& command, const std::string& catalogue,
                      int status, const std::string& says) {
    ExpectRun(command + " " + catalogue + " " + de, status, says);
  };
  auto catalogue = [this](const char* name, const std::string& note,
                          const std::string& text) {
    return dir_.Write(name, "// Translators: " + note + "\nNET_TIMEOUT : \"" +
                                text +
                                "\"\nHELP : \"See http://example.org\"\n");
  };
  std::string v1 =
      catalogue("v1.txt", "%s is a host name", "No answer from %s");
  ASSERT_EQ(RunTool("template -o " + de + " " + v1).status, 0);
  std::string text = msgreport_test::FileContents(de);
  std::size_t entry = text.find("NET_TIMEOUT : ");
  ASSERT_NE(entry, std::string::npos) << text;
  text.replace(entry, text.find('\n', entry) - entry,
               "NET_TIMEOUT : \"Keine Antwort von %s\"");
  dir_.Write("de.txt", text);
  // The key whose text holds a URL keeps no one from finishing.
  expect("coverage --strict", v1, 0,
         "1 of 2 keys translated; 1 cannot be given in a message file");

  std::string v2 = catalogue("v2.txt", "%s is a host name, %d seconds",
                             "No answer from %s after %d s");
  ASSERT_EQ(RunTool("merge " + v2 + " " + de).status, 0);
  std::string merged = msgreport_test::FileContents(de);
  EXPECT_NE(merged.find("\n// developers: Translators: %s is a host name, %d "
                        "seconds\n// review: "),
            std::string::npos)
      << merged;
  expect("coverage --strict", v2, 1,
         "0 of 2 keys translated; 1 to review; 1 cannot be given");
  expect("check", v2, 0,
         "warning: the built-in text changed from \"No answer from %s\"; "
         "review this translation");

  // Deleting the mark is the whole review, as far as the tools go.
  std::size_t mark = merged.find("\n// review: ") + 1;
  merged.erase(mark, merged.find('\n', mark) + 1 - mark);
  dir_.Write("de.txt", merged);
  expect("coverage --strict", v2, 0, "1 of 2 keys translated");

  // Every command that reads a catalogue and a message file.
  for (const char* command : {"check", "coverage", "merge"}) {
    ExpectRun(std::string(command) + " " + de + " " + v2, 2,
              "the wrong way round?");
  }
}

// A typo, not another word: at most a quarter of the key's length apart,
// but 2 edits always and 8 at most; of keys as close, the catalogue's first.
TEST_F(MsgcheckTest, SuggestsOnlyKeysThatAreClose) {
  const std::string a36(36, 'A');
  const struct {
    std::vector<std::string> keys;
    std::string key;
    std::string nearest;
  } cases[] = {
      {catalogue_.keys, "DISK_FUL", "DISK_FULL"},
      {catalogue_.keys, "SOMETHING_ELSE", ""},
      {{"ABCX", "ABCY"}, "ABCZ", "ABCX"},
      {{"ABCY", "ABCX"}, "ABCZ", "ABCY"},
      {{"ABCDE", "ABC"}, "ABCD", "ABCDE"},
      {{"ABXY", "AXYZ"}, "ABCD", "ABXY"},
      {{"AXYZ"}, "ABCD", ""},
      {{"ABCDEFGHIJ"}, "ABCDEFGH", "ABCDEFGHIJ"},
      {{"ABCDEFGHIJK"}, "ABCDEFGH", ""},
      {{a36.substr(8) + "BBBBBBBB"}, a36, a36.substr(8) + "BBBBBBBB"},
      {{a36.substr(9) + "BBBBBBBBB"}, a36, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(msgcheck::KeySuggester(c.keys).Nearest(c.key), c.nearest)
        << c.key;
  }
}

// Looking for suggestions stops once it took too long, and says so once.
TEST(MsgcheckSuggestionsTest, SaysOnceThatSuggestionsStopped) {
  TempDir dir;
  std::string catalogue_text;
  std::string unknown;
  for (int i = 0; i < 3000; ++i) {
    catalogue_text +=
        "CATALOGUE_KEY_NUMBER_" + std::to_string(100000 + i) + " : \"x\"\n";
    unknown +=
        "zzzzzzzzzzzzzzzzzzzzz" + std::to_string(100000 + i) + " : \"x\"\n";
  }
  msgcheck::MasterCatalogue catalogue;
  msgcheck::LoadMasterCatalogue(dir.Write("c.txt", catalogue_text), catalogue,
                                [](const std::string&) {});
  std::string said;
  msgcheck::CheckMessageFile(dir.Write("f.txt", unknown), catalogue,
                             [&said](const std::string& l) { said += l; });
  std::size_t first = said.find("no more keys are suggested");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(said.find("no more keys are suggested", first + 1),
            std::string::npos);
}

TEST_F(MsgcheckTest, ExitStatusTellsCleanFindingsAndTrouble) {
  std::string clean = dir_.Write("clean.txt", "DISK_FULL : \"Disque plein\"\n");
  std::string dirty = dir_.Write("dirty.txt", "DISK_FULX : \"Disque plein\"\n");
  ExpectRun(catalogue_path_ + " " + clean, 0,
            "1 lines read, 1 texts replaced, 0 unchanged, 0 unknown keys, "
            "0 rejected");
  ExpectRun(catalogue_path_ + " " + clean + " " + dirty, 1,
            dirty + ":1: error: unknown key 'DISK_FULX'");

  ToolRun quiet = RunTool("-q " + catalogue_path_ + " " + dirty);
  EXPECT_EQ(quiet.status, 1);
  EXPECT_EQ(quiet.output.find("error:"), std::string::npos) << quiet.output;

  ToolRun merge_help = RunTool("merge --help");
  EXPECT_EQ(merge_help.status, 0);
  EXPECT_EQ(merge_help.output.rfind("usage: msgcheck merge", 0), 0u);
  EXPECT_EQ(RunTool("--version").output, "msgcheck " MSGREPORT_VERSION "\n");
  // A built-in text reads its arguments in order: a position is an error.
  std::string reordered = dir_.Write("reordered.txt", "R : \"%2$s %1$d\"\n");
  const std::pair<std::string, int> statuses[] = {
      {catalogue_path_, 2},
      {"--bogus " + catalogue_path_ + " " + clean, 2},
      {catalogue_path_ + " " + dir_.path() + "/none", 2},
      {dir_.path() + "/none " + clean, 2},
      {"--help", 0},
      {"template", 2},
      {"header --namespace 9lives " + catalogue_path_ + " -", 2},
      {"header --namespace r " + reordered + " -", 1},
      {"header " + dir_.Write("o.txt", "K : \"%d\"\nK[other] : \"%d\"\n") +
           " -",
       1},
      {"header " + dir_.Write("b.txt", "// built-in: \"k\"\nK : \"k\"\n") +
           " -",
       0}};
  for (const auto& [arguments, status] : statuses) {
    EXPECT_EQ(RunTool(arguments).status, status) << arguments;
  }
}

// The first and last name of each group of reserved names, and the
// alternative tokens, which are keywords too.
TEST(CatalogueHeaderTest, RefusesReservedNamesAsKeys) {
  for (const char* name :
       {"alignas", "xor_eq", "and", "i386", "WINNT", "assert", "SCNu64",
        "E2BIG", "O_APPEND", "min", "wsprintf", "_Zero"}) {
    EXPECT_NE(msgcheck::WhyNotCxxName(name), "") << name;
  }
}

TEST_F(MsgcheckTest, CoverageCountsAMalformedLineOfAKnownKeyAsRejected) {
  msgcheck::Coverage coverage = msgcheck::MeasureCoverage(
      dir_.Write("m.txt", "// x\nDISK_FULL : \"Plein\n"), catalogue_);
  ASSERT_EQ(coverage.untranslated.size(), 3u);
  EXPECT_EQ(coverage.untranslated[1].key, "DISK_FULL");
  EXPECT_EQ(coverage.untranslated[1].why,
            msgcheck::Untranslated::Why::kRejected);
  EXPECT_EQ(coverage.untranslated[1].line, 2u);
}

TEST_F(MsgcheckTest, HeadersSpellOutOddBytesAndKeepNamespacesApart) {
  msgcheck::MasterCatalogue bytes;
  msgcheck::LoadMasterCatalogue(
      dir_.Write("c.txt", "K : \"Gr\xc3\xbc\x7f?\\\"\n"), bytes,
      [](const std::string&) {});
  std::string spelt = msgcheck::CatalogueHeader(
      bytes, msgcheck::HeaderNames{"a::b", "P"}, "c.txt");
  EXPECT_NE(spelt.find("\"Gr\\303\\274\\177\\?\\\\\""), std::string::npos)
      << spelt;
  // No two namespaces share an include guard.
  auto guard = [this](const char* name_space) {
    std::string header = msgcheck::CatalogueHeader(
        catalogue_, msgcheck::HeaderNames{name_space, "P"}, "c.txt");
    std::size_t at = header.find("#ifndef ");
    return header.substr(at, header.find('\n', at) - at);
  };
  EXPECT_NE(guard("a_2b"), guard("a::b"));
  EXPECT_EQ(msgcheck::DefaultMacroPrefix("az::z9"), "AZ_Z9");
}

}  // namespace
