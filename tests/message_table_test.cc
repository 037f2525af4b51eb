#include "catalogue/message_table.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "catalogue/entry_arena.h"
#include "catalogue/entry_key.h"
#include "catalogue/key_hash.h"
#include "catalogue/slot_count.h"

namespace {

using msgreport::MessageTable;

// Looks a key up through the allocating interface and releases the buffer.
std::string Lookup(const MessageTable& map, const char* key, bool* found) {
  char* text = nullptr;
  *found = map.LookupMessage(key, text);
  std::string copy = text;
  std::free(text);
  return copy;
}

TEST(MessageTableTest, UnregisteredLookupGivesZeroFilledFallbackBuffer) {
  MessageTable map;
  char* text = reinterpret_cast<char*>(0x1);  // overwritten, never read
  EXPECT_FALSE(map.LookupMessage("DISK_FULL", text));
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "Unregistered message");
  for (std::size_t i = 21; i < 4096; ++i) {
    ASSERT_EQ(text[i], '\0') << "byte " << i;
  }
  std::free(text);
}

TEST(MessageTableTest, LookupHandsOutIndependentCopies) {
  MessageTable map;
  map.AddMessage("DISK_FULL", "Disk full");
  char* first = nullptr;
  char* second = nullptr;
  EXPECT_TRUE(map.LookupMessage("DISK_FULL", first));
  EXPECT_TRUE(map.LookupMessage("DISK_FULL", second));
  EXPECT_NE(first, second);
  EXPECT_STREQ(first, "Disk full");
  first[0] = 'X';
  std::free(first);
  std::free(second);
  bool found = false;
  EXPECT_EQ(Lookup(map, "DISK_FULL", &found), "Disk full");
  // An empty text is stored as a one-byte copy.
  map.AddMessage("EMPTY", "");
  EXPECT_EQ(Lookup(map, "EMPTY", &found), "");
  EXPECT_TRUE(found);
}

// The text stored is a copy of the caller's buffer.
TEST(MessageTableTest, FirstTextWinsAsACopyAndKeysCompareByContent) {
  MessageTable map;
  char key_a[] = "DISK_FULL";
  char key_b[] = "DISK_FULL";
  char first[] = "first";
  map.AddMessage(key_a, first);
  std::strcpy(first, "later");
  map.AddMessage(key_b, "second");
  map.AddMessage("DISK_FULL:", "with colon");
  map.AddMessage("disk_full", "lower case");
  bool found = false;
  EXPECT_EQ(Lookup(map, "DISK_FULL", &found), "first");
  EXPECT_EQ(Lookup(map, "DISK_FULL:", &found), "with colon");
  EXPECT_EQ(Lookup(map, "disk_full", &found), "lower case");
  EXPECT_EQ(map.size(), 3u);
}

TEST(MessageTableTest, RemoveThenAddReplacesAndMissingRemoveIsHarmless) {
  MessageTable map;
  map.AddMessage("DISK_FULL", "Disk full");
  map.RemoveMessage("NEVER_ADDED");
  EXPECT_EQ(map.size(), 1u);
  map.RemoveMessage("DISK_FULL");
  EXPECT_EQ(map.FindMessage("DISK_FULL"), nullptr);
  map.AddMessage("DISK_FULL", "No space left");
  EXPECT_STREQ(map.FindMessage("DISK_FULL"), "No space left");
}

TEST(MessageTableTest, CopiesAreIndependentInBothDirections) {
  MessageTable source;
  source.AddMessage("A", "alpha");
  source.AddMessage("B", "beta");
  {
    MessageTable copy;
    copy.AddMessage("OLD", "dropped by the assignment");
    copy = source;
    EXPECT_EQ(copy.FindMessage("OLD"), nullptr);
    EXPECT_EQ(copy.size(), 2u);
    source.RemoveMessage("A");
    EXPECT_STREQ(copy.FindMessage("A"), "alpha");
    copy.RemoveMessage("B");
    EXPECT_STREQ(source.FindMessage("B"), "beta");
  }
  // The copy is gone; the source's texts must still be readable.
  EXPECT_STREQ(source.FindMessage("B"), "beta");
  const MessageTable& same = source;
  source = same;
  EXPECT_STREQ(source.FindMessage("B"), "beta");
  EXPECT_EQ(source.size(), 1u);
}

TEST(MessageTableTest, ReplacedEntryOwnsItsKey) {
  MessageTable map;
  map.AddMessage("DISK_FULL", "Disk full");
  {
    std::string transient = "DISK_FULL and more";
    map.ReplaceMessage(transient.data(), 9, "No space left", 13);
    transient.assign(transient.size(), 'x');
  }
  EXPECT_STREQ(map.FindMessage("DISK_FULL"), "No space left");
  EXPECT_EQ(map.size(), 1u);
  // A copy shares the owned key; it must outlive the original map.
  MessageTable copy;
  {
    MessageTable holder;
    holder.ReplaceMessage("KEY", 3, "text", 4);
    copy = holder;
  }
  EXPECT_STREQ(copy.FindMessage("KEY"), "text");
}

TEST(MessageTableTest, ManyKeysSurviveGrowthAndRemovals) {
  std::vector<std::string> keys;
  for (int i = 0; i < 5000; ++i) keys.push_back("KEY_" + std::to_string(i));
  MessageTable map;
  for (const std::string& key : keys) map.AddMessage(key.c_str(), key.c_str());
  for (std::size_t i = 0; i < keys.size(); i += 3) {
    map.RemoveMessage(keys[i].c_str());
  }
  EXPECT_EQ(map.size(), keys.size() - (keys.size() + 2) / 3);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const char* text = map.FindMessage(keys[i].c_str());
    if (i % 3 == 0) {
      ASSERT_EQ(text, nullptr) << keys[i];
    } else {
      ASSERT_NE(text, nullptr) << keys[i];
      ASSERT_EQ(keys[i], text);
    }
  }
  // Keys are the map's own copies: the caller's strings may go.
  keys.clear();
  EXPECT_STREQ(map.FindMessage("KEY_4999"), "KEY_4999");
}

TEST(MessageTableTest, ReplacingAgainAndAgainKeepsEveryText) {
  MessageTable map;
  map.AddMessage("STABLE", "stays");
  const std::string big(5000, 'b');
  for (int i = 0; i < 2000; ++i) {
    std::string text = big + std::to_string(i);
    map.ReplaceMessage("CHANGING", 8, text.data(), text.size());
    map.AddMessage(("K" + std::to_string(i)).c_str(), "k");
    if (i % 2 == 0) map.RemoveMessage(("K" + std::to_string(i)).c_str());
  }
  EXPECT_EQ(std::string(map.FindMessage("CHANGING")), big + "1999");
  EXPECT_STREQ(map.FindMessage("STABLE"), "stays");
  EXPECT_STREQ(map.FindMessage("K1999"), "k");
  EXPECT_EQ(map.FindMessage("K1998"), nullptr);
  EXPECT_EQ(map.size(), 2u + 1000u);
}

// Laying a table out for reports moves every entry: what reports and
// judging read afterwards must be the moved entries, whole, and every
// change after a layout must leave the table as right as before it.
TEST(MessageTableTest, LayingOutKeepsEveryEntryThroughLaterChanges) {
  using msgreport::PluralCategory;
  MessageTable map;
  map.AddMessage("SYNCED", "%d files");
  map.AddMessage("SYNCED[one]", "%d file");
  map.AddMessage("TRANSLATED", "Disk %s full");
  map.ReplaceMessage("TRANSLATED", 10, "Disque %s plein", 15);
  std::vector<std::string> keys;
  for (int i = 0; i < 3000; ++i) keys.push_back("KEY_" + std::to_string(i));
  // Any change drops the plural index until the next layout makes it anew.
  auto check = [&](const char* when, std::size_t from) {
    SCOPED_TRACE(when);
    MessageTable::Found synced = map.FindForReport("SYNCED");
    if (synced.plural != nullptr) {
      EXPECT_STREQ(synced.plural->texts[static_cast<int>(PluralCategory::kOne)],
                   "%d file");
    }
    EXPECT_STREQ(synced.text, "%d files");
    const char* translated = map.FindForReport("TRANSLATED").text;
    ASSERT_NE(translated, nullptr);
    EXPECT_STREQ(translated, "Disque %s plein");
    EXPECT_STREQ(MessageTable::BuiltInTextBehind(translated), "Disk %s full");
    for (std::size_t i = from; i < keys.size(); ++i) {
      ASSERT_STREQ(map.FindForReport(keys[i].c_str()).text, keys[i].c_str());
    }
    EXPECT_EQ(map.FindForReport("KEY_absent").text, nullptr);
  };
  map.LayOutForReports();
  ASSERT_NE(map.FindForReport("SYNCED").plural, nullptr);
  check("laid out, no keys yet", keys.size());
  // Growth, removal (which shifts slots) and replacement (which compacts)
  // each after a layout, checked before and after the next one.
  for (const std::string& key : keys) map.AddMessage(key.c_str(), key.c_str());
  check("grown after a layout", 0);
  map.LayOutForReports();
  check("laid out again", 0);
  for (std::size_t i = 0; i < 1000; ++i) map.RemoveMessage(keys[i].c_str());
  check("removals after a layout", 1000);
  map.LayOutForReports();
  // Larger than the size an entry records for itself can say.
  const std::string big(70000, 'x');
  for (std::size_t i = 1000; i < 1100; ++i) {
    map.ReplaceMessage(keys[i].c_str(), keys[i].size(), big.data(), big.size());
    map.ReplaceMessage(keys[i].c_str(), keys[i].size(), keys[i].data(),
                       keys[i].size());
  }
  check("replacements after a layout", 1000);
  // Entries of 0xFFFE to 0x10000 bytes: the key, its text and three bytes
  // more, after a header of two.
  std::vector<std::string> large;
  for (std::size_t bytes = 0xFFFE; bytes <= 0x10000; ++bytes) {
    large.push_back(std::string(bytes - 5 - 6, 'y'));
    std::string key = "LARGE" + std::to_string(large.size());
    map.ReplaceMessage(key.c_str(), 6, large.back().data(),
                       large.back().size());
  }
  map.ReplaceMessage("LARGE", 5, big.data(), big.size());
  MessageTable copy;
  copy = map;
  EXPECT_NE(copy.FindForReport("SYNCED").plural, nullptr);
  map = MessageTable();
  map = copy;
  check("assigned", 1000);
  EXPECT_EQ(map.FindForReport("LARGE").text, big);
  for (std::size_t i = 0; i < large.size(); ++i) {
    std::string key = "LARGE" + std::to_string(i + 1);
    EXPECT_EQ(map.FindForReport(key.c_str()).text, large[i]);
  }
  EXPECT_NE(map.FindForReport("SYNCED").plural, nullptr);
}

// Keys of every length around the word sizes a look-up reads, against an
// entry that ends its chunk and has the shortest text there is, so that a
// read past the slack the chunk keeps, or past the caller's key, which
// has no terminator here, is caught by the address sanitizer.
TEST(MessageTableTest, KeyComparisonMatchesOnlyTheSameKeyAndStaysInBounds) {
  const std::string letters =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  for (std::size_t stored = 0; stored <= 44; ++stored) {
    msgreport::EntryArena arena;
    char* entry = arena.AllocateBlock(stored + 3);
    std::memcpy(entry, letters.data(), stored);
    std::memset(entry + stored, '\0', 3);  // the key's NUL, text, mark
    for (std::size_t length = 0; length <= 44; ++length) {
      std::vector<char> key(
          letters.begin(),
          letters.begin() + static_cast<std::ptrdiff_t>(length));
      ASSERT_EQ(msgreport::EntryHasKey(entry, key.data(), length),
                length == stored)
          << stored << " against " << length;
      if (length != stored) continue;
      for (std::size_t i = 0; i < length; ++i) {
        key[i] ^= 0x20;
        ASSERT_FALSE(msgreport::EntryHasKey(entry, key.data(), length))
            << "byte " << i << " of " << length;
        key[i] ^= 0x20;
      }
    }
  }
}

// Every byte of a key, and its length, reach its hash, at every length
// around the words the hash reads.
TEST(MessageTableTest, EveryByteOfAKeyChangesItsHash) {
  std::uint64_t shorter = 0;
  for (std::size_t length = 0; length <= 80; ++length) {
    std::vector<char> key(length);  // exactly as long as the key
    for (std::size_t i = 0; i < length; ++i) {
      key[i] = static_cast<char>('A' + i % 26);
    }
    // An empty vector may hold no storage; a key is never null.
    const char* data = length == 0 ? "" : key.data();
    std::uint64_t hash = msgreport::HashKey(data, length);
    if (length > 0) {
      EXPECT_NE(hash, shorter) << length;
    }
    for (std::size_t i = 0; i < length; ++i) {
      key[i] ^= 0x20;
      EXPECT_NE(msgreport::HashKey(key.data(), length), hash)
          << "byte " << i << " of " << length;
      key[i] ^= 0x20;
    }
    shorter = hash;
  }
}

TEST(MessageTableTest, TableSizesDoubleWithoutOverflowing) {
  using msgreport::LargestPowerOfTwoAtMost;
  using msgreport::SlotCountFor;
  constexpr std::size_t kHuge = LargestPowerOfTwoAtMost(SIZE_MAX);
  EXPECT_EQ(LargestPowerOfTwoAtMost(1), 1u);
  EXPECT_EQ(LargestPowerOfTwoAtMost(1023), 512u);
  EXPECT_EQ(kHuge, SIZE_MAX / 2 + 1);

  EXPECT_EQ(SlotCountFor(16, 0, kHuge), 16u);
  EXPECT_EQ(SlotCountFor(16, 8, kHuge), 16u);  // half full is full enough
  EXPECT_EQ(SlotCountFor(16, 9, kHuge), 32u);
  EXPECT_EQ(SlotCountFor(64, 3, kHuge), 64u);  // never shrinks
  // A count beyond any memory: doubling used to wrap to zero and never
  // end. The largest table is asked of the allocator instead.
  EXPECT_EQ(SlotCountFor(16, SIZE_MAX / 2, kHuge), kHuge);
  EXPECT_EQ(SlotCountFor(16, SIZE_MAX, kHuge), kHuge);
  // As on a 32-bit platform, where the largest table has 2^26 slots.
  EXPECT_EQ(SlotCountFor(16, 2147483647u, std::size_t{1} << 26),
            std::size_t{1} << 26);
}

}  // namespace
