// msgreport_locale.h: the message files for the user's locale, read into a
// handler from the most general to the most specific.
//
//   MessageHandler handler(kPairs, kPairCount, nullptr, 0, nullptr);
//   msgreport::ReadMessageFilesForLocale(handler, "/usr/share/app", "app");
//
// For a user whose locale is fr_CA.UTF-8 this reads /usr/share/app/app.fr.txt
// and then /usr/share/app/app.fr_CA.txt, each only if it is there. The
// Canadian file's texts win where it has them; the French file's stand where
// it has none, and the built-in texts where neither has one. An empty base
// name drops the prefix: the files are then fr.txt and fr_CA.txt.
//
// Header-only, over the library's exported operations: it adds nothing to
// the library, and needs C++11, as msgreport.h does. It reads the process's
// environment, so call it during set-up, where PopulateMessageHandler
// belongs anyway, and not while another thread changes the environment.

#ifndef MSGREPORT_LOCALE_H_
#define MSGREPORT_LOCALE_H_

#include <cstddef>
#include <cstdlib>
#include <string>
#include <vector>

#include "msgreport.h"

#if defined(_WIN32)
// Declared here as <windows.h> declares it, so that the two may meet in one
// source file, rather than through <windows.h>, which would bring its macros
// (min, max, ERROR) into every includer, and which declares it only for
// programs that target Vista or later.
extern "C" __declspec(dllimport) int __stdcall GetUserDefaultLocaleName(
    wchar_t* locale_name, int size);
#endif

namespace msgreport {
namespace locale_detail {

inline bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsSeparator(char c) { return c == '_' || c == '-'; }
// What may follow a field: another field, a codeset, a modifier.
inline bool EndsField(char c) { return IsSeparator(c) || c == '.' || c == '@'; }

// The length of the run of characters of one kind that begins at `at`.
inline std::size_t RunAt(const std::string& name, std::size_t at,
                         bool (*is)(char)) {
  std::size_t end = at;
  while (end < name.size() && is(name[end])) ++end;
  return end - at;
}

// True when a separator at `at` begins a field of exactly `length`
// characters of one kind.
inline bool FieldAt(const std::string& name, std::size_t at, std::size_t length,
                    bool (*is)(char)) {
  if (at >= name.size() || !IsSeparator(name[at])) return false;
  std::size_t end = at + 1 + length;
  return RunAt(name, at + 1, is) == length &&
         (end == name.size() || EndsField(name[end]));
}

inline const char* Environment(const char* variable) {
#if defined(_MSC_VER)
#pragma warning(push)
#pragma warning(disable : 4996)  // getenv: read at once, never kept
#endif
  return std::getenv(variable);
#if defined(_MSC_VER)
#pragma warning(pop)
#endif
}

}  // namespace locale_detail

// The language and territory of a locale name, as the message files are
// named: "fr_CA.UTF-8", "fr-ca" and "fr_CA@euro" give "fr_CA", "de" gives
// "de", "es_419" gives "es_419". A script is dropped ("sr-Latn-RS" gives
// "sr_RS"), as is all that follows the territory: a codeset after '.', a
// modifier after '@', a variant or sort order after '_' or '-'.
//
// Empty, meaning the built-in texts, for "C", "POSIX" and any name that
// does not begin with a language of 2 or 3 ASCII letters, optionally
// followed by a script of 4 letters and by a territory of 2 letters or 3
// digits, each after '_' or '-'. So the result holds only letters, digits
// and '_', and cannot lead a path out of the folder it is joined to.
inline std::string NormalizedMessageLocale(const std::string& name) {
  using locale_detail::FieldAt;
  using locale_detail::IsDigit;
  using locale_detail::IsLetter;
  std::size_t at = locale_detail::RunAt(name, 0, IsLetter);
  if (at < 2 || at > 3 ||
      (at < name.size() && !locale_detail::EndsField(name[at]))) {
    return std::string();
  }
  std::string tag;
  for (std::size_t i = 0; i < at; ++i) {
    tag += static_cast<char>(name[i] | 0x20);  // ASCII lower case
  }
  if (FieldAt(name, at, 4, IsLetter)) at += 5;
  std::size_t territory = FieldAt(name, at, 2, IsLetter)  ? 2
                          : FieldAt(name, at, 3, IsDigit) ? 3
                                                          : 0;
  if (territory == 0) {
    // A field that is neither script nor territory: not a locale name.
    bool field_follows =
        at < name.size() && locale_detail::IsSeparator(name[at]);
    return field_follows ? std::string() : tag;
  }
  tag += '_';
  for (std::size_t i = at + 1; i <= at + territory; ++i) {
    tag += IsLetter(name[i]) ? static_cast<char>(name[i] & ~0x20) : name[i];
  }
  return tag;
}

// The locale whose messages the user wants, normalised as above; empty for
// the built-in texts.
//
// The first of LC_ALL, LC_MESSAGES and LANG that is set and not empty
// decides, as it does for the C library's messages: LC_ALL=C means the
// built-in texts even where LANG names a language. Windows honours the same
// variables first, as the shells and tool chains that set them there
// expect, and without them asks the system for the user's locale
// (GetUserDefaultLocaleName: "fr-CA" gives "fr_CA").
inline std::string UserMessageLocale() {
  static const char* const kVariables[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  for (const char* variable : kVariables) {
    const char* value = locale_detail::Environment(variable);
    if (value != nullptr && *value != '\0') {
      return NormalizedMessageLocale(value);
    }
  }
#if defined(_WIN32)
  wchar_t wide[85];  // LOCALE_NAME_MAX_LENGTH
  int length = GetUserDefaultLocaleName(wide, 85);
  std::string name;
  for (int i = 0; i + 1 < length; ++i) {
    // Locale names are printable ASCII; anything else is not one.
    if (wide[i] < 0x20 || wide[i] > 0x7e) return std::string();
    name += static_cast<char>(wide[i]);
  }
  return NormalizedMessageLocale(name);
#else
  return std::string();
#endif
}

// The message file for one normalised locale: FOLDER/BASE.fr_CA.txt, or
// FOLDER/fr_CA.txt for an empty base name.
inline std::string MessageFileForLocale(const std::string& folder,
                                        const std::string& base_name,
                                        const std::string& locale) {
  std::string path = folder;
  if (!path.empty() && path[path.size() - 1] != '/' &&
      path[path.size() - 1] != '\\') {
    path += '/';
  }
  if (!base_name.empty()) path += base_name + '.';
  return path + locale + ".txt";
}

// Reads into `handler` the message files for `locale` (normalised first, so
// a raw "fr_CA.UTF-8" will do): the language's file, then the territory's,
// so that the most specific text of each message is the one that stays.
// Returns the paths of the files read, in the order read; a file that is
// missing, is not a regular file or cannot be read to its end is skipped,
// as the library skips it, and is not listed. Nothing read leaves the
// texts as they were.
//
// Files only replace texts. A handler that read another language's files
// before keeps that language's text for every message these files leave
// out; to change languages, set up a fresh handler.
inline std::vector<std::string> ReadMessageFilesForLocale(
    MessageHandler& handler, const std::string& folder,
    const std::string& base_name,
    const std::string& locale = UserMessageLocale()) {
  std::vector<std::string> read;
  std::string tag = NormalizedMessageLocale(locale);
  if (tag.empty()) return read;
  std::vector<std::string> tags(1, tag.substr(0, tag.find('_')));
  if (tags[0] != tag) tags.push_back(tag);
  for (const std::string& each : tags) {
    std::string path = MessageFileForLocale(folder, base_name, each);
    // PopulateMessageHandler does not tell whether it read the file. A
    // reader with an empty catalogue reads it as the handler would, and
    // changes nothing: its answer is the handler's. A file of a few
    // megabytes at most, read once more at set-up, is the price.
    MessageFile probe;
    MessageMap unchanged;
    if (!probe.ReadMessageFile(path.c_str(), unchanged)) continue;
    handler.PopulateMessageHandler(nullptr, 0, nullptr, 0, path.c_str());
    read.push_back(path);
  }
  return read;
}

}  // namespace msgreport

#endif  // MSGREPORT_LOCALE_H_
