// Counts heap allocations while reports run: in steady state a report of any
// kind must allocate nothing, so the count over many reports is zero. And
// counts the bytes a catalogue holds while message files replace its texts,
// and fails an allocation midway through a file's change.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "allocation_counter.h"
#include "catalogue/internals.h"
#include "catalogue/message_file_reader.h"
#include "catalogue/message_table.h"
#include "msgreport.h"
#include "test_support.h"

namespace {

void Ignore(char*) {}

int* volatile escaped = nullptr;  // keeps the probe allocation from vanishing

std::uint64_t AllocationsDuring(MessageHandler& handler, int reports) {
  std::uint64_t before = msgreport_test::AllocationCount();
  for (int i = 0; i < reports; ++i) {
    handler.ReportError2("OPEN_FAILED", "config.ini", i);
    handler.ReportWarning2("NOT_REGISTERED", i);
    handler.ReportInfo2("QUIET");
    handler.ReportDebug2("OPEN_FAILED", "switched off", i);
    handler.ReportError2("EMPTY");
  }
  return msgreport_test::AllocationCount() - before;
}

TEST(ReportAllocationTest, ReportsAllocateNothingInSteadyState) {
  {
    // The counter works: operator new is always counted.
    std::uint64_t before = msgreport_test::AllocationCount();
    auto probe = std::make_unique<int>(1);
    escaped = probe.get();
    ASSERT_EQ(msgreport_test::AllocationCount() - before, 1u);
  }
  if (msgreport_test::CountsCAllocator()) {
    // The counter works: a look-up for a caller allocates with calloc.
    msgreport::MessageTable map;
    char* text = nullptr;
    std::uint64_t before = msgreport_test::AllocationCount();
    map.LookupMessage("X", text);
    std::uint64_t after = msgreport_test::AllocationCount();
    std::free(text);
    ASSERT_EQ(after - before, 1u);
  }
  const char* pairs[] = {
      "OPEN_FAILED", "Cannot open %s (code %d)", "QUIET", "quiet", "EMPTY", ""};
  const char* filters[] = {"A", "B", "QUIET"};
  MessageHandler handler(pairs, 3, filters, 3, nullptr);
  handler.SetConsoleReporting("all");
  handler.RegisterErrorCallback(Ignore);
  handler.RegisterWarningCallback(Ignore);
  handler.RegisterInfoCallback(Ignore);

  AllocationsDuring(handler, 10);  // warm-up
  EXPECT_EQ(AllocationsDuring(handler, 100), 0u);
  EXPECT_EQ(AllocationsDuring(handler, 10000), 0u);

  // Standard output allocates its buffer once, at its first use.
  handler.RegisterErrorCallback(nullptr);
  msgreport_test::StdoutCapture out;
  AllocationsDuring(handler, 10);
  std::uint64_t few = AllocationsDuring(handler, 100);
  std::uint64_t many = AllocationsDuring(handler, 1000);
  std::string written = out.Finish();
  EXPECT_EQ(few, 0u);
  EXPECT_EQ(many, 0u);
  EXPECT_NE(written.find("Cannot open config.ini (code 999)\n"),
            std::string::npos);
}

// A look-up hands out exactly its text and NUL, or the 4,096-byte fallback:
// a buffer one byte short shows here, not only under a sanitizer.
TEST(ReportAllocationTest, LookupsAskForTheTextAndItsNulExactly) {
  if (!msgreport_test::CountsCAllocator()) {
    GTEST_SKIP() << "calloc is counted only on glibc without a sanitizer";
  }
  msgreport::MessageTable map;
  map.AddMessage("EMPTY", "");
  map.AddMessage("FULL", "Disk full");
  const struct {
    const char* key;
    std::size_t bytes;
    const char* text;
  } kLookups[] = {{"EMPTY", 1, ""},
                  {"FULL", 10, "Disk full"},
                  {"NONE", 4096, "Unregistered message"}};
  for (const auto& lookup : kLookups) {
    char* text = nullptr;
    map.LookupMessage(lookup.key, text);
    EXPECT_EQ(msgreport_test::LastCallocBytes(), lookup.bytes) << lookup.key;
    EXPECT_STREQ(text, lookup.text);
    std::free(text);
  }
}

// A catalogue of 100,000 keys took 91 bytes a key, its entries and slots,
// before entries were laid out for reports; laying them out may cost at
// most a tenth more, and must not keep the storage it copied them from.
TEST(ReportAllocationTest, LargeCatalogueTakesLittleMoreThanItsEntries) {
  constexpr std::size_t kKeys = 100000;
  const char* const kTexts[] = {"Disk quota reached on volume",
                                "Cannot open %s: %s (code %d)"};
  std::vector<std::string> keys;
  for (std::size_t i = 0; i < kKeys; ++i) {
    keys.push_back((i % 2 ? "FILE_NOT_FOUND_" : "DISK_FULL_") +
                   std::to_string(10000 + i));
  }
  std::vector<const char*> pairs;
  for (std::size_t i = 0; i < kKeys; ++i) {
    pairs.push_back(keys[i].c_str());
    pairs.push_back(kTexts[i % 2]);
  }
  std::size_t before = msgreport_test::LiveNewBytes();
  MessageHandler handler(pairs.data(), static_cast<int>(kKeys), nullptr, 0,
                         nullptr);
  double per_key =
      static_cast<double>(msgreport_test::LiveNewBytes() - before) / kKeys;
  EXPECT_LT(per_key, 91 * 1.1);
}

// Texts replaced again and again, or one key on many lines, must not leave
// old texts behind without bound. The bytes are the allocator's count, so a
// table that forgets to compact shows whatever it says of itself.
TEST(ReportAllocationTest, StorageStaysBoundedByTheLiveTexts) {
  constexpr std::size_t kBound = 512 * 1024;
  msgreport_test::TempDir dir;
  MessageMap catalogue;
  msgreport::MessageTable& table = msgreport::Internals::Table(catalogue);
  table.AddMessage("FILE_NOT_FOUND", "File %s not found");
  table.AddMessage("DISK_FULL", "Disk full");
  MessageFile reader;
  auto read = [&](const std::string& contents) {
    msgreport::Internals::TakeSnapshot(reader, catalogue);
    return reader.ReadMessageFile(dir.Write("m.txt", contents).c_str(),
                                  catalogue);
  };
  // Once laid out, a table holds its live entries and nothing besides: a
  // count of them that drifted shows here, as would a layout that failed.
  auto holds_only = [](const msgreport::MessageTable& t,
                       std::vector<const char*> keys) {
    std::size_t bytes = 0;
    for (const char* key : keys) {
      bytes += t.ViewAt(t.FindSlot(key, std::strlen(key))).bytes;
    }
    return t.storage_bytes() == bytes;
  };
  std::string alternating = dir.Write(
      "a.txt", "FILE_NOT_FOUND : \"Absent\"\nFILE_NOT_FOUND : \"Perdu\"\n");
  std::size_t before = msgreport_test::LiveNewBytes();
  for (int round = 0; round < 20000; ++round) {
    msgreport::ReadMessageLines(alternating.c_str(), table, table, {});
  }
  EXPECT_TRUE(holds_only(table, {"FILE_NOT_FOUND", "DISK_FULL"}));
  EXPECT_LT(msgreport_test::LiveNewBytes(), before + kBound);
  // Compaction kept the built-in text, which "%s" fits and "Perdu" not.
  EXPECT_TRUE(read("FILE_NOT_FOUND : \"%s perdu\"\n"));
  EXPECT_STREQ(table.FindMessage("FILE_NOT_FOUND"), "%s perdu");
  std::string many;
  for (int line = 0; line < 100000; ++line) {
    many += "DISK_FULL : \"Plein " + std::to_string(line) + "\"\n";
  }
  before = msgreport_test::LiveNewBytes();
  EXPECT_TRUE(read(many));
  EXPECT_STREQ(table.FindMessage("DISK_FULL"), "Plein 99999");
  EXPECT_LT(msgreport_test::LiveNewBytes(), before + kBound);
  EXPECT_TRUE(holds_only(table, {"FILE_NOT_FOUND", "DISK_FULL"}));
  // So must a plural form the catalogue lacks, staged on many lines.
  msgreport::MessageTable plural;
  plural.AddMessage("SYNCED", "%d files");
  plural.AddMessage("SYNCED[one]", "%d file");
  plural.IndexPluralMessages();
  std::string forms = "SYNCED : \"%d pliku\"\n";
  for (int line = 0; line < 100000; ++line) {
    forms += "SYNCED[few] : \"%d pliki " + std::to_string(line) + "\"\n";
  }
  msgreport::LineReader lines(dir.Write("forms.txt", forms).c_str());
  msgreport::MessageTable::Staged staged;
  before = msgreport_test::LiveNewBytes();
  msgreport::JudgeMessageLines(lines, plural, {}, &staged);
  EXPECT_LT(msgreport_test::LiveNewBytes(), before + kBound);
  plural.PutStaged(std::move(staged));
  EXPECT_STREQ(plural.FindMessage("SYNCED[few]"), "%d pliki 99999");
  // Forms a file drops, one the table holds among them, and forms it
  // keeps, in turn: what each replaces is counted once, and only when it
  // is replaced.
  std::string drops = dir.Write(
      "drops.txt", "SYNCED[one] : \"%d plik\"\nSYNCED[few] : \"%d pliki\"\n");
  std::string keeps = dir.Write(
      "keeps.txt", "SYNCED : \"%d plikow\"\nSYNCED[one] : \"%d plik\"\n");
  before = msgreport_test::LiveNewBytes();
  for (int round = 0; round < 20000; ++round) {
    const std::string& path = round % 2 == 0 ? drops : keeps;
    msgreport::ReadMessageLines(path.c_str(), plural, plural, {});
    ASSERT_TRUE(holds_only(plural, {"SYNCED", "SYNCED[one]", "SYNCED[few]"}))
        << round;
  }
  EXPECT_LT(msgreport_test::LiveNewBytes(), before + kBound);
  EXPECT_STREQ(plural.FindMessage("SYNCED[one]"), "%d plik");
}

// A file's forms that the table lacks are inserted last, and inserting may
// grow the slots; should that fail, every entry the table already took
// from the file must still be held by the table.
TEST(ReportAllocationTest, FailedGrowthMidFileLeavesNoEntryBehind) {
  msgreport::MessageTable table;
  const char* pairs[][2] = {{"A", "%d files"}, {"A[one]", "one file"},
                            {"F1", "1"},       {"F2", "2"},
                            {"F3", "3"},       {"F4", "4"},
                            {"F5", "5"}};
  for (const auto& pair : pairs) table.AddMessage(pair[0], pair[1]);
  table.IndexPluralMessages();
  msgreport_test::TempDir dir;
  // Seven keys fill 16 slots short of half; the second new form grows them.
  std::string path =
      dir.Write("ar.txt",
                "@language : \"ar\"\nA : \"%d Dateien\"\n"
                "A[zero] : \"%d keine\"\nA[two] : \"%d zwei\"\n");
  // The slots, 32 of them, laid out as a hash and an entry pointer.
  msgreport_test::FailNextNewOf(32 * sizeof(std::pair<std::uint64_t, char*>));
  EXPECT_THROW(msgreport::ReadMessageLines(path.c_str(), table, table, {}),
               std::bad_alloc);
  msgreport_test::FailNextNewOf(0);
  // Takes what the file's storage held, were it released.
  std::vector<char> reuse(msgreport::EntryArena::kChunkSize, 'X');
  ASSERT_NE(table.FindMessage("A"), nullptr);
  EXPECT_STREQ(table.FindMessage("A"), "%d Dateien");
}

}  // namespace
