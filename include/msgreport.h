// msgreport: report messages by key, with texts from a built-in table that a
// plain-text message file may replace.
//
// An application owns every object it creates here. The library starts no
// thread, keeps no global state, and reads no file but the message file
// whose path it is given.
//
// Threads: a MessageMap or MessageFile is used from one thread at a time. A
// MessageHandler is changed by its constructors and destructor,
// PopulateMessageHandler, SetConsoleReporting, SetLogReporting and the four
// Register...Callback operations: call those from one thread at a time, and
// never while a report runs on the same handler. Once they are done, any
// number of threads may call ReportError2, ReportWarning2, ReportInfo2,
// ReportDebug2 and inFilterArray on one handler at the same time, since a
// report changes nothing in the handler. Callbacks then run on the
// reporting threads, possibly at once, and must be safe for that; a message
// without a callback goes to standard output in one write of its own.
//
// Ownership: the catalogue copies the keys and texts it is given. Filter
// keys are stored as the caller's pointers, so the caller keeps those
// strings alive and unchanged for as long as the handler is used.

#ifndef MSGREPORT_H_
#define MSGREPORT_H_

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#if defined(_WIN32)
#if defined(MSGREPORT_STATIC)
#define MSGREPORT_API
#elif defined(MSGREPORT_BUILDING)
#define MSGREPORT_API __declspec(dllexport)
#else
#define MSGREPORT_API __declspec(dllimport)
#endif
#else
#define MSGREPORT_API __attribute__((visibility("default")))
#endif

// Receives a finished message: a writable, NUL-terminated string that stays
// valid for the duration of the call only. A null callback means "none".
typedef void (*MessageCallback)(char* message);

// The catalogue of message texts by key: a hash table whose entries each
// hold a copy of their key and their text side by side, in storage the map
// owns. An entry whose text was replaced also keeps its first, built-in
// text, which every later replacement is checked against.
//
// Only the constructor and destructor are exported; the other operations are
// used by the library itself.
class MessageMap {
 public:
  MSGREPORT_API MessageMap();
  // Releases every entry; no string of the caller's is touched.
  MSGREPORT_API ~MessageMap();

  MessageMap(const MessageMap&) = delete;
  // Makes this map hold the same keys and equal texts as `source`. The two
  // maps stay independent: changing one never changes the other.
  MessageMap& operator=(const MessageMap& source);

  // Stores a copy of `text` under `key` unless the key is present already, in
  // which case nothing changes: the first text added under a key wins.
  void AddMessage(const char* key, const char* text);

  // Hands out a new buffer, allocated with calloc, that the caller releases
  // with free. Found: a copy of the key's text, exactly its length plus one
  // bytes, and the result is true. Not found: a zero-filled 4,096-byte buffer
  // that starts with "Unregistered message", and the result is false.
  bool LookupMessage(const char* key, char*& text) const;

  // Removes the key's entry, if any.
  void RemoveMessage(const char* key);

  // The key's text without a copy, or null when absent. The pointer stays
  // valid until the map is next changed by AddMessage, RemoveMessage,
  // ReplaceMessage or assignment, or destroyed.
  const char* FindMessage(const char* key) const;

  // Stores `text` under `key`, replacing any text the key had; a new key's
  // built-in text is `text`. Lengths are in bytes; neither string needs a
  // terminator, and the key holds no NUL.
  void ReplaceMessage(const char* key, std::size_t key_length, const char* text,
                      std::size_t text_length);

  std::size_t size() const { return size_; }
  // Bytes of entry storage held, by live entries and by replaced ones not
  // yet compacted away.
  std::size_t storage_bytes() const { return live_bytes_ + wasted_bytes_; }

  // Makes room for `entries` more keys at once, for a large built-in table.
  void Reserve(std::size_t entries);

  // Slot-level access for reading a message file against the map, so that
  // one search serves a line from look-up to replacement. Slots, and the
  // entries SwapTextAt hands back, stay where they are until the map is
  // next changed by any other operation.
  static constexpr std::size_t kNoSlot = static_cast<std::size_t>(-1);
  std::size_t FindSlot(const char* key, std::size_t key_length) const;
  std::size_t slot_count() const { return slots_.size(); }
  const char* KeyAt(std::size_t slot) const { return slots_[slot].entry; }
  const char* TextAt(std::size_t slot) const;
  // The first text stored under the slot's key, before any replacement.
  const char* BuiltInTextAt(std::size_t slot) const;
  // Puts `text` in the slot's entry, keeping its built-in text, and hands
  // back the entry it had; read that with EntryText and EntryBuiltInText.
  const char* SwapTextAt(std::size_t slot, const char* text,
                         std::size_t text_length);
  static const char* EntryText(const char* entry);
  static const char* EntryBuiltInText(const char* entry);
  // Drops replaced entries once they outweigh the live ones.
  void CompactIfWasteful();

 private:
  struct Slot {
    std::uint64_t hash = 0;
    // The key, its NUL, the text and its NUL, then a mark: '\0' when the
    // text is the built-in one, else '\1' and the built-in text with its
    // NUL. Null for an empty slot.
    char* entry = nullptr;
  };

  std::size_t Probe(std::uint64_t hash, const char* key,
                    std::size_t key_length) const;
  void Insert(std::uint64_t hash, char* entry);
  void EraseSlot(std::size_t slot);
  void Rehash(std::size_t slot_count);
  char* MakeEntry(const char* key, std::size_t key_length, const char* text,
                  std::size_t text_length, const char* built_in = nullptr);
  char* CopyEntry(const char* entry);
  char* Allocate(std::size_t bytes);
  void Retire(const char* entry);

  std::vector<Slot> slots_;  // a power of two in size, or empty
  std::size_t size_ = 0;
  // Entries live in chunks that are released together, which makes set-up
  // and destruction of large catalogues cheap. Replaced and removed entries
  // are waste until the map compacts itself.
  std::vector<std::unique_ptr<char[]>> chunks_;
  char* free_begin_ = nullptr;
  char* free_end_ = nullptr;
  std::size_t live_bytes_ = 0;
  std::size_t wasted_bytes_ = 0;
};

// Reads a message file and replaces, in a catalogue, the texts of keys that
// the reader's snapshot holds.
//
// The file is plain text, one record a line: `KEY : "text"`. Blank lines,
// lines holding "//" and lines without ":" are skipped. A text replaces the
// catalogue's only when its printf conversions are compatible with the
// key's built-in text in the snapshot, so a file can never make a report
// read an argument that the program did not pass, or read it further.
class MessageFile {
 public:
  // A reader with an empty snapshot: it reads files but changes nothing.
  MSGREPORT_API MessageFile();
  // Takes a snapshot of `catalogue`: the keys and texts that file entries
  // are checked against.
  explicit MessageFile(const MessageMap& catalogue);
  MSGREPORT_API ~MessageFile();

  MessageFile(const MessageFile&) = delete;
  MessageFile& operator=(const MessageFile&) = delete;

  // Reads the file at `path` (may be null) and replaces texts in `map`.
  // Returns false when `path` is null, cannot be opened or is not a regular
  // file, true when the file was read to its end; the replacements are made
  // once it is read. Neither the path nor the map is kept.
  MSGREPORT_API bool ReadMessageFile(const char* path, MessageMap& map) const;

  const MessageMap& snapshot() const { return snapshotMap; }

 private:
  MessageMap snapshotMap;
};

// The object through which an application reports messages.
class MessageHandler {
 public:
  // An empty handler: no texts, no filter keys, every severity switched off,
  // no callbacks. Reports go nowhere until a level is switched on.
  MSGREPORT_API MessageHandler();
  // The empty handler, then PopulateMessageHandler with the same arguments.
  MSGREPORT_API MessageHandler(const char** pairs, int npairs,
                               const char** filters, int nfilters,
                               const char* messageFile);
  MSGREPORT_API ~MessageHandler();

  MessageHandler(const MessageHandler&) = delete;
  MessageHandler& operator=(const MessageHandler&) = delete;

  // Set-up, cumulative over calls:
  //  - `pairs` holds `npairs` key/text pairs, key first (entries 2k, 2k + 1).
  //    Pairs with a null key or text are skipped. The first text stored
  //    under a key wins. Keys and texts are copied.
  //  - `filters` holds `nfilters` keys whose reports are suppressed; null
  //    entries are skipped. The pointers are kept, not the strings.
  //  - `messageFile` (may be null) replaces texts of keys already held.
  // Neither table nor the path is kept after the call.
  MSGREPORT_API void PopulateMessageHandler(const char** pairs, int npairs,
                                            const char** filters, int nfilters,
                                            const char* messageFile);

  // Switch severities on and off by naming them anywhere in `levels`:
  // "error", "warning", "info", "debug" switch one on; "all" switches on
  // error, warning and info; "none", applied last, switches all four off.
  // The console and the log switches lead to the same delivery; a message
  // is delivered when either switch of its severity is on. Null changes
  // nothing; `levels` is not kept.
  MSGREPORT_API void SetConsoleReporting(const char* levels);
  MSGREPORT_API void SetLogReporting(const char* levels);

  // One callback per severity; null sends that severity to standard output
  // again. A callback may report through the same handler, and may throw:
  // the exception leaves the report, and the handler is unchanged. (A MinGW
  // DLL passes exceptions on only when built with its runtime shared.)
  MSGREPORT_API void RegisterErrorCallback(MessageCallback callback);
  MSGREPORT_API void RegisterWarningCallback(MessageCallback callback);
  MSGREPORT_API void RegisterInfoCallback(MessageCallback callback);
  MSGREPORT_API void RegisterDebugCallback(MessageCallback callback);

  // Formats the key's text with the further arguments, printf-style, and
  // delivers it: to the severity's callback, or else to standard output with
  // a line feed. Filtered keys and switched-off severities deliver nothing;
  // an unregistered key delivers "Unregistered message", an empty text the
  // key itself. Messages are cut to 1,023 characters.
  MSGREPORT_API void ReportError2(const char* key, ...);
  MSGREPORT_API void ReportWarning2(const char* key, ...);
  MSGREPORT_API void ReportInfo2(const char* key, ...);
  MSGREPORT_API void ReportDebug2(const char* key, ...);

  // True when `key` equals one of the filter keys; false for null.
  MSGREPORT_API bool inFilterArray(const char* key) const;

 private:
  void LoadMessagePairs(const char** pairs, int npairs);
  void AppendFilterKeys(const char** filters, int nfilters);

  using Route = void (MessageHandler::*)(char* message) const;
  // The road of a report whose severity is switched on.
  void Report(Route route, const char* key, std::va_list args) const;
  void RouteError(char* message) const;
  void RouteWarning(char* message) const;
  void RouteInfo(char* message) const;
  void RouteDebug(char* message) const;
  MessageCallback GetErrorCallback() const { return errorCallback; }
  MessageCallback GetWarningCallback() const { return warningCallback; }
  MessageCallback GetInfoCallback() const { return infoCallback; }
  MessageCallback GetDebugCallback() const { return debugCallback; }

  std::vector<const char*> filterArray;
  MessageMap messageMap;
  bool consoleError = false;
  bool consoleWarning = false;
  bool consoleInfo = false;
  bool consoleDebug = false;
  bool logError = false;
  bool logWarning = false;
  bool logInfo = false;
  bool logDebug = false;
  MessageCallback errorCallback = nullptr;
  MessageCallback warningCallback = nullptr;
  MessageCallback infoCallback = nullptr;
  MessageCallback debugCallback = nullptr;
};

#endif  // MSGREPORT_H_
