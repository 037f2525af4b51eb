#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "callback_recorder.h"
#include "catalogue/internals.h"
#include "catalogue/message_file_reader.h"
#include "msgreport.h"
#include "test_support.h"

namespace {

using msgreport::Internals;
using msgreport::LineFate;
using msgreport::LineShape;
using msgreport::MessageTable;
using msgreport_test::TempDir;

class MessageFileTest : public ::testing::Test {
 protected:
  MessageFileTest() {
    table_.AddMessage("FILE_NOT_FOUND", "File %s not found");
    table_.AddMessage("DISK_FULL", "Disk full");
  }

  // A reader whose snapshot is a copy of the catalogue.
  MessageFile& Reader() {
    Internals::TakeSnapshot(reader_, catalogue_);
    return reader_;
  }

  // Reads `contents` against a snapshot of the catalogue, into it.
  bool Read(const std::string& contents) {
    return Reader().ReadMessageFile(
        dir_.Write("messages.txt", contents).c_str(), catalogue_);
  }

  std::string Text(const char* key) const {
    const char* text = table_.FindMessage(key);
    return text == nullptr ? "<absent>" : text;
  }

  // What became of each line, and its shape.
  std::vector<std::pair<LineFate, LineShape>> Kinds(
      const std::string& contents) {
    std::vector<std::pair<LineFate, LineShape>> kinds;
    MessageTable target;
    msgreport::ReadMessageLines(dir_.Write("kinds.txt", contents).c_str(),
                                table_, target,
                                [&kinds](const msgreport::LineOutcome& o) {
                                  kinds.emplace_back(o.fate, o.parsed.shape);
                                });
    return kinds;
  }

  TempDir dir_;
  MessageMap catalogue_;
  MessageTable& table_ = Internals::Table(catalogue_);
  MessageFile reader_;
};

TEST_F(MessageFileTest, ClassifiesEveryKindOfLine) {
  EXPECT_EQ(Kinds("\n"
                  "// comment\n"
                  "DISK_FULL : \"a // b\"\n"
                  "DISK_FULL \"No space left\"\n"
                  "NOPE : \"x\"\n"
                  "DISK_FULL: \"x\"\n"
                  "DISK_FULL : no quote\n"
                  "DISK_FULL : \"unclosed\n"
                  "DISK_FULL : \"closed\" then more\n"
                  "FILE_NOT_FOUND : \"%d files\"\n"
                  "DISK_FULL : \"Disk full\"\n"
                  "DISK_FULL : \"Full\"\n"),
            (std::vector<std::pair<LineFate, LineShape>>{
                {LineFate::kSkipped, LineShape::kBlank},
                {LineFate::kSkipped, LineShape::kComment},
                {LineFate::kSkipped, LineShape::kComment},
                {LineFate::kSkipped, LineShape::kNoColon},
                {LineFate::kUnknownKey, LineShape::kEntry},
                {LineFate::kUnknownKey, LineShape::kEntry},
                {LineFate::kMalformed, LineShape::kNoQuote},
                {LineFate::kMalformed, LineShape::kNoClosingQuote},
                {LineFate::kMalformed, LineShape::kTextAfterQuote},
                {LineFate::kIncompatible, LineShape::kEntry},
                {LineFate::kUnchanged, LineShape::kEntry},
                {LineFate::kReplaced, LineShape::kEntry}}));
  // A file of a byte-order mark alone holds no line.
  EXPECT_TRUE(Kinds("\xEF\xBB\xBF").empty());
}

// Each file read over the built-in texts, or over what the row before left
// (`again`), and the two texts it leaves.
TEST_F(MessageFileTest, ReadsEachFileToTheTextsItGives) {
  const std::string xs(65535 - 14, 'x');
  // A CRLF that straddles two reads of the file: the reader takes 64 KiB
  // at a time, and this line's CR is the last byte of the first read.
  const std::string straddling = "DISK_FULL : \"" + xs + "\"";
  ASSERT_EQ(straddling.size(), 65535u);
  const std::string block = "// " + std::string(65532, 'x') + "\n";
  const std::string bom = "\xEF\xBB\xBF";
#if defined(_WIN32)
  constexpr bool kWindows = true;
#else
  constexpr bool kWindows = false;
#endif
  std::string binary;  // every byte value but Ctrl-Z
  for (int i = 0; i < 4096; ++i) {
    char byte = static_cast<char>((i * 37) & 0xff);
    if (byte != '\x1a') binary += byte;
  }
  const struct {
    const char* what;
    std::string contents;
    std::string disk_full;
    bool again = false;
    std::string file_not_found = "File %s not found";
  } cases[] = {
      // No key but the two is ever added: the table keeps two entries.
      {"the example table, line by line",
       "// texts for the file messages\n"
       "\n"
       "FILE_NOT_FOUND \"Cannot open %s\"\n"
       "DISK_FULL: \"No space left\"\n"
       "NO_SUCH_KEY : \"Anything\"\n"
       "DISK_FULL : \"No room\"\n"
       "DISK_FULL : \"No space left\"\n"
       // A key first met after another came again, then again itself.
       "FILE_NOT_FOUND : \"Missing %s\"\n"
       "FILE_NOT_FOUND : \"Cannot open %s\"\n"
       "DISK_FULL : \"Disk full\"\n",
       "No space left", false, "Cannot open %s"},
      {"the key is the first run of non-spaces",
       "   DISK_FULL : \"No space left\"\n"
       "\tFILE_NOT_FOUND : \"tab makes another key %s\"\n"
       "DISK_FULL \"No:space\"\n",
       "No:space"},
      {"quotes within the text", "DISK_FULL : \"No \"space\" left\"  \t\n",
       "No \"space\" left"},
      {"an empty text", "DISK_FULL : \"\"\n", "", true},
      // No escapes: the backslash before the closing quote stays.
      {"a backslash", "DISK_FULL : \"C:\\new\\\"\n", "C:\\new\\", true},
      {"malformed entries",
       "DISK_FULL : \"unclosed\n"
       "DISK_FULL : \"closed\" trailing\n"
       "DISK_FULL : \"\n"
       "DISK_FULL : no quote at all\n",
       "Disk full"},
      {"CRLF line ends",
       "DISK_FULL : \"No space left\"\r\n\r\n"
       "FILE_NOT_FOUND : \"Cannot open %s\"\r\n",
       "No space left", false, "Cannot open %s"},
      {"a CRLF across two reads",
       straddling + "\r\nFILE_NOT_FOUND : \"%s!\"\r\n", xs, true, "%s!"},
      // The last line keeps its last character without a line end.
      {"no last line end",
       "DISK_FULL : \"Disk ful\"\nDISK_FULL : \"Disk full!\"", "Disk full!",
       true, "%s!"},
      // Windows text mode leaves one CR of these, which must go too.
      {"two CRs", "DISK_FULL : \"Two CRs\"\r\r\n", "Two CRs", true, "%s!"},
      {"a byte-order mark only at the start",
       bom + "DISK_FULL : \"Plein\"\n" + bom +
           "FILE_NOT_FOUND : \"%s absent\"\n",
       "Plein"},
      // Nor where a later 64 KiB read block begins.
      {"a byte-order mark past the first block",
       block + bom + "DISK_FULL : \"Plein\"\n", "Disk full"},
      {"a byte-order mark first", bom + "DISK_FULL : \"Plein\"\n", "Plein"},
      {"incompatible texts",
       "FILE_NOT_FOUND : \"%s: %s\"\n"
       "FILE_NOT_FOUND : \"%d\"\n"
       "FILE_NOT_FOUND : \"%n\"\n"
       "FILE_NOT_FOUND : \"%1$s %s\"\n"
       "FILE_NOT_FOUND : \"100%\"\n"
       "DISK_FULL : \"Disk %s full\"\n",
       "Disk full"},
      {"compatible texts after them",
       "FILE_NOT_FOUND : \"Cannot open the file\"\n"
       "DISK_FULL : \"Disk 100%% full\"\n",
       "Disk 100%% full", true, "Cannot open the file"},
      {"an empty file", "", "Disk full"},
      {"comments alone", "// only\n// comments", "Disk full", true},
      {"a NUL in a text", std::string("DISK_FULL : \"No\0space\"\n", 23),
       "Disk full"},
      {"binary bytes", binary + "\nDISK_FULL : \"after binary\"\n",
       "after binary"},
      // On Windows a Ctrl-Z ends the file, as it ends any text file there.
      {"a Ctrl-Z", "DISK_FULL : \"Plein\"\n\x1a\nDISK_FULL : \"Vide\"\n",
       kWindows ? "Plein" : "Vide"},
      {"a line of colons", std::string(3 * 1024 * 1024, ':'), "Disk full"},
      {"a line of quotes",
       "DISK_FULL : \"" + std::string(1 << 20, '"') + "\"\n", "Disk full"},
  };
  MessageTable built_in;
  built_in = table_;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (!c.again) table_ = built_in;
    EXPECT_TRUE(Read(c.contents));
    EXPECT_EQ(Text("DISK_FULL"), c.disk_full);
    EXPECT_EQ(Text("FILE_NOT_FOUND"), c.file_not_found);
    EXPECT_EQ(table_.size(), 2u);
  }
}

TEST_F(MessageFileTest, LinesUpToTheBoundAreReadWholeLongerOnesSkipped) {
  const std::size_t frame = std::string("DISK_FULL : \"\"").size();
  const std::size_t bound = msgreport::kMaxLineBytes - frame;
  for (std::size_t length :
       {std::size_t{1022}, std::size_t{1023}, std::size_t{1024},
        std::size_t{65000}, bound, bound + 1, std::size_t{200000}}) {
    std::string text(length, 'x');
    std::string before = Text("DISK_FULL");
    EXPECT_TRUE(Read("DISK_FULL : \"" + text + "\"\nFILE_NOT_FOUND : \"%s " +
                     std::to_string(length) + "\"\n"));
    EXPECT_EQ(Text("DISK_FULL"), length <= bound ? text : before) << length;
    EXPECT_EQ(Text("FILE_NOT_FOUND"), "%s " + std::to_string(length));
  }
}

// What the reader holds ahead of each line is the file's own bytes from
// where it says, across blocks and past a byte-order mark; a table too
// large for the cache, whose slots are fetched ahead from those bytes,
// takes every line's text.
TEST_F(MessageFileTest, TheBytesReadAheadAreTheFilesFromWhereTheyStart) {
  constexpr int kKeys = 12000;
  msgreport::MessageTable large;
  std::string contents = "\xEF\xBB\xBF";
  for (int key = 0; key < kKeys; ++key) {
    std::string name = "KEY_" + std::to_string(key);
    large.AddMessage(name.c_str(), "Built-in");
    contents += name + " : \"Text " + std::to_string(key) + "\"\r\n";
  }
  ASSERT_TRUE(large.outgrows_cache());
  std::string path = dir_.Write("ahead.txt", contents);
  msgreport::LineReader reader(path.c_str());
  while (std::optional<std::string_view> line = reader.NextLine()) {
    auto offset = static_cast<std::size_t>(reader.buffered_offset());
    ASSERT_LE(offset, contents.size());
    ASSERT_EQ(contents.substr(offset, reader.buffered().size()),
              reader.buffered())
        << "after line " << reader.line_number();
    ASSERT_EQ(contents.compare(offset - 2 - line->size(), line->size() + 2,
                               std::string(*line) + "\r\n"),
              0);
  }
  EXPECT_EQ(reader.line_number(), std::size_t{kKeys});
  ASSERT_EQ(msgreport::ReadMessageLines(path.c_str(), large, large, {}),
            msgreport::ReadResult::kRead);
  for (int key = 0; key < kKeys; ++key) {
    std::string name = "KEY_" + std::to_string(key);
    ASSERT_STREQ(large.FindMessage(name.c_str()),
                 ("Text " + std::to_string(key)).c_str());
  }
}

// Judged whole, then applied: what was judged before the failure is
// dropped too.
TEST_F(MessageFileTest, AFileNotReadToItsEndChangesNothing) {
  const std::string entries =
      "DISK_FULL : \"Plein\"\nFILE_NOT_FOUND : \"%s?\"\n";
  std::string padded =
      dir_.Write("padded.txt", entries + std::string(3 * 64 * 1024, '\n'));
  msgreport::LineReader cut_short(padded.c_str(), 2 * 64 * 1024);
  EXPECT_EQ(msgreport::ReadMessageLines(cut_short, table_, table_, {}),
            msgreport::ReadResult::kTooLarge);
  EXPECT_GT(cut_short.line_number(), 2u);
  msgreport::LineReader exact(padded.c_str(),
                              std::filesystem::file_size(padded));
  MessageTable scratch;
  EXPECT_EQ(msgreport::ReadMessageLines(exact, table_, scratch, {}),
            msgreport::ReadResult::kRead);

  // Over the bound: the entries, then zeros without a line end.
  std::string huge = dir_.Write("huge.txt", entries);
  std::filesystem::resize_file(huge, msgreport::kMaxFileBytes + 1);
  EXPECT_FALSE(Reader().ReadMessageFile(huge.c_str(), catalogue_));
  const char* pairs[] = {"DISK_FULL", "Disk full"};
  MessageHandler handler(pairs, 1, nullptr, 0, huge.c_str());
  msgreport_test::Recording(handler, "info").ReportInfo2("DISK_FULL");
  EXPECT_EQ(msgreport_test::Received::infos,
            std::vector<std::string>{"Disk full"});
#if defined(__linux__)
  // Reading fails at once with EIO: address 0 is never mapped.
  EXPECT_FALSE(Reader().ReadMessageFile("/proc/self/mem", catalogue_));
#endif
  EXPECT_EQ(Text("DISK_FULL"), "Disk full");
  EXPECT_EQ(Text("FILE_NOT_FOUND"), "File %s not found");
  EXPECT_TRUE(Read(entries));
  EXPECT_EQ(Text("DISK_FULL"), "Plein");
}

TEST_F(MessageFileTest, ComparesWithTheSnapshotNotTheCatalogue) {
  // A reader that took none knows no key: it reads, but changes nothing.
  MessageFile fresh;
  EXPECT_TRUE(fresh.ReadMessageFile(
      dir_.Write("m.txt", "DISK_FULL : \"No space left\"\n").c_str(),
      catalogue_));
  EXPECT_EQ(Text("DISK_FULL"), "Disk full");
  EXPECT_TRUE(
      Read("DISK_FULL : \"first\"\n"
           "DISK_FULL : \"second\"\n"
           "DISK_FULL : \"Disk full\"\n"));
  EXPECT_EQ(Text("DISK_FULL"), "second");
  // A reader compares with its snapshot even when the target map differs.
  MessageMap other;
  MessageFile& reader = Reader();
  EXPECT_TRUE(reader.ReadMessageFile(
      dir_.Write("m.txt", "DISK_FULL : \"third\"\nNO_KEY : \"x\"\n").c_str(),
      other));
  EXPECT_STREQ(Internals::Table(other).FindMessage("DISK_FULL"), "third");
  EXPECT_EQ(Internals::Table(other).size(), 1u);
  EXPECT_STREQ(Internals::Snapshot(reader).FindMessage("DISK_FULL"), "second");
}

TEST_F(MessageFileTest, PathsThatDoNotOpenGiveFalseAndChangeNothing) {
  MessageFile& reader = Reader();
  EXPECT_FALSE(reader.ReadMessageFile(nullptr, catalogue_));
  EXPECT_FALSE(
      reader.ReadMessageFile((dir_.path() + "/missing").c_str(), catalogue_));
  EXPECT_FALSE(reader.ReadMessageFile(dir_.path().c_str(), catalogue_));
  // Not regular files: each would block set-up or feed it without end.
#if defined(_WIN32)
  EXPECT_FALSE(reader.ReadMessageFile("NUL", catalogue_));
  EXPECT_FALSE(reader.ReadMessageFile("CON", catalogue_));
#else
  std::string fifo = dir_.path() + "/fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(reader.ReadMessageFile(fifo.c_str(), catalogue_));
  EXPECT_FALSE(reader.ReadMessageFile("/dev/zero", catalogue_));
#endif
  EXPECT_EQ(Text("DISK_FULL"), "Disk full");
}

TEST_F(MessageFileTest, ReportsLineNumbersAndViewsOfEachLine) {
  std::vector<msgreport::LineOutcome> seen;
  std::vector<std::string> keys;
  std::vector<std::string> texts;
  MessageTable target;
  msgreport::ReadMessageLines(
      dir_.Write("o.txt", "// c\r\n\r\nDISK_FULL : \"Full\"\r\n").c_str(),
      table_, target, [&](const msgreport::LineOutcome& o) {
        seen.push_back(o);
        keys.emplace_back(o.parsed.key);
        texts.emplace_back(o.parsed.text);
      });
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[2].line_number, 3u);
  EXPECT_EQ(keys[2], "DISK_FULL");
  EXPECT_EQ(texts[2], "Full");
  EXPECT_EQ(seen[1].parsed.shape, LineShape::kBlank);
}

}  // namespace
