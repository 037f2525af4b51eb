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

#include <memory>
#include <type_traits>
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

namespace msgreport {
class MessageTable;  // what a MessageMap holds
struct Internals;    // how the library reaches it

// For the handler's overloads that take const tables: true when both tables
// are const char* const*, and not both ones that the exported operations
// take as they are. (Written in C++11, which is all this header needs.)
template <typename Pairs, typename Filters>
struct ConstTables
    : std::integral_constant<
          bool, std::is_convertible<Pairs, const char* const*>::value &&
                    std::is_convertible<Filters, const char* const*>::value &&
                    !(std::is_convertible<Pairs, const char**>::value &&
                      std::is_convertible<Filters, const char**>::value)> {};

// The library only reads the tables it is given.
inline const char** Writable(const char* const* table) {
  return const_cast<const char**>(table);
}
}  // namespace msgreport

// Receives a finished message: a writable, NUL-terminated string that stays
// valid for the duration of the call only. A null callback means "none".
typedef void (*MessageCallback)(char* message);

// The catalogue of message texts by key. An application creates one only to
// hand it to MessageFile::ReadMessageFile; what it holds is the library's.
class MessageMap {
 public:
  MSGREPORT_API MessageMap();
  // Releases every entry; no string of the caller's is touched.
  MSGREPORT_API ~MessageMap();

  MessageMap(const MessageMap&) = delete;
  MessageMap& operator=(const MessageMap&) = delete;

 private:
  friend struct msgreport::Internals;
  std::unique_ptr<msgreport::MessageTable> table_;
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
  MSGREPORT_API ~MessageFile();

  MessageFile(const MessageFile&) = delete;
  MessageFile& operator=(const MessageFile&) = delete;

  // Reads the file at `path` (may be null) and replaces texts in `map`.
  // Returns true when the file was read to its end, and the replacements
  // are then made all at once. Returns false, and leaves `map` as it was,
  // when `path` is null, cannot be opened, is not a regular file, or cannot
  // be read to its end: a read error, or a file over 64 MiB. Lines over
  // 64 KiB are skipped. Neither the path nor the map is kept.
  MSGREPORT_API bool ReadMessageFile(const char* path, MessageMap& map) const;

 private:
  friend struct msgreport::Internals;
  // The keys and texts that file entries are checked against.
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

  // The same for const tables, `static const char* const kPairs[]` say. The
  // library only reads the tables. These are templates so that a call with
  // two null pointers still picks the operation above. (The parameters' long
  // names keep -Wshadow quiet in an application's code.)
  template <typename Pairs, typename Filters,
            typename = typename std::enable_if<
                msgreport::ConstTables<Pairs, Filters>::value>::type>
  MessageHandler(Pairs msgreport_pairs, int msgreport_npairs,
                 Filters msgreport_filters, int msgreport_nfilters,
                 const char* msgreport_file)
      : MessageHandler(msgreport::Writable(msgreport_pairs), msgreport_npairs,
                       msgreport::Writable(msgreport_filters),
                       msgreport_nfilters, msgreport_file) {}

  // Set-up, cumulative over calls:
  //  - `pairs` holds `npairs` key/text pairs, key first (entries 2k, 2k + 1).
  //    Pairs with a null key or text are skipped. The first text stored
  //    under a key wins. Keys and texts are copied.
  //  - `filters` holds `nfilters` keys whose reports are suppressed; null
  //    entries are skipped. The pointers are kept, not the strings, and
  //    each key is indexed by its text as it is added, so that the filter
  //    costs the same for one key or a thousand: a key changed afterwards
  //    no longer matches its old text and is not found by its new one.
  //  - `messageFile` (may be null) replaces texts of keys already held.
  // Neither table nor the path is kept after the call.
  MSGREPORT_API void PopulateMessageHandler(const char** pairs, int npairs,
                                            const char** filters, int nfilters,
                                            const char* messageFile);
  template <typename Pairs, typename Filters,
            typename = typename std::enable_if<
                msgreport::ConstTables<Pairs, Filters>::value>::type>
  void PopulateMessageHandler(Pairs msgreport_pairs, int msgreport_npairs,
                              Filters msgreport_filters, int msgreport_nfilters,
                              const char* msgreport_file) {
    PopulateMessageHandler(msgreport::Writable(msgreport_pairs),
                           msgreport_npairs,
                           msgreport::Writable(msgreport_filters),
                           msgreport_nfilters, msgreport_file);
  }

  // Switch severities on and off by naming them anywhere in `levels`:
  // "error", "warning", "info", "debug" switch one on; "all" switches on
  // error, warning and info; "none", applied last, switches all four off,
  // but leaves debug on when the same text names "debug" ("none debug" is
  // debug only).
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
