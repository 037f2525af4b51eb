// msgreport: report messages by key, with texts from a built-in table that a
// plain-text message file may replace.
//
// An application owns every object it creates here and uses each from one
// thread at a time. The library starts no thread, keeps no global state, and
// reads no file but the message file whose path it is given.
//
// Ownership, in one rule: keys are borrowed, texts are copied. Built-in keys
// and filter keys are stored as the caller's pointers, so the caller keeps
// those strings alive and unchanged for as long as the handler is used.

#ifndef MSGREPORT_H_
#define MSGREPORT_H_

#include <cstdarg>
#include <cstddef>
#include <map>
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

// The catalogue of message texts by key.
//
// Only the constructor and destructor are exported; the other operations are
// used by the library itself.
class MessageMap {
 public:
  MSGREPORT_API MessageMap();
  // Releases every text and every key the map owns; borrowed keys are left
  // alone.
  MSGREPORT_API ~MessageMap();

  MessageMap(const MessageMap&) = delete;
  // Makes this map hold the same keys and equal texts as `source`. The two
  // maps stay independent: changing one never changes the other.
  MessageMap& operator=(const MessageMap& source);

  // Stores a copy of `text` under `key` unless the key is present already, in
  // which case nothing changes: the first text added under a key wins.
  // The key is borrowed: the caller keeps it alive while the entry exists.
  void AddMessage(const char* key, const char* text);

  // Hands out a new buffer, allocated with calloc, that the caller releases
  // with free. Found: a copy of the key's text, exactly its length plus one
  // bytes, and the result is true. Not found: a zero-filled 4,096-byte buffer
  // that starts with "Unregistered message", and the result is false.
  bool LookupMessage(const char* key, char*& text) const;

  // Removes the key's entry, if any, with the text and key the map owns.
  void RemoveMessage(const char* key);

  // The key's text without a copy, or null when absent. The pointer stays
  // valid until the entry is removed or replaced, or the map destroyed.
  const char* FindMessage(const char* key) const;

  // Removes `key` if present, then stores `text` under a copy of `key` that
  // the map owns. Lengths are in bytes; neither string needs a terminator.
  void ReplaceMessage(const char* key, std::size_t key_length, const char* text,
                      std::size_t text_length);

  std::size_t size() const { return entries_.size(); }

 private:
  struct KeyLess {
    using is_transparent = void;
    bool operator()(const char* a, const char* b) const;
  };
  struct Entry {
    // Set only when the map made the key itself; the map's key points here.
    std::shared_ptr<const char[]> owned_key;
    // Shared between a map and its copies: a stored text is never changed.
    std::shared_ptr<const char[]> text;
  };
  std::map<const char*, Entry, KeyLess> entries_;
};

// Reads a message file and replaces, in a catalogue, the texts of keys that
// the reader's snapshot holds.
//
// The file is plain text, one record a line: `KEY : "text"`. Blank lines,
// lines holding "//" and lines without ":" are skipped. A text replaces the
// catalogue's only when its printf conversions are compatible with the
// snapshot text's, so a file can never make a report read an argument that
// the program did not pass.
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
  // Returns false when `path` is null or cannot be opened as a file, true
  // when the file was read to its end. Neither the path nor the map is kept.
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
  //    under a key wins. Keys are borrowed, texts copied.
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
  // again. A callback may report through the same handler.
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
  void Report(bool delivered, Route route, const char* key,
              std::va_list args) const;
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
