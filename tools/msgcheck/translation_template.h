// A translation's starting point: a message file that lists every key of a
// program's catalogue with its built-in text, and so changes nothing until
// a translator replaces the texts. Above each entry a comment records the
// built-in text it was made from, which is how a later merge tells that
// the program's text has changed since.

#ifndef MSGREPORT_TOOLS_MSGCHECK_TRANSLATION_TEMPLATE_H_
#define MSGREPORT_TOOLS_MSGCHECK_TRANSLATION_TEMPLATE_H_

#include <optional>
#include <string>
#include <string_view>

#include "tools/msgcheck/master_catalogue.h"

namespace msgcheck {

// `// built-in: "text"`, the comment that records a built-in text.
std::string RecordedTextComment(std::string_view text);
// The text such a comment records, if `line` is one.
std::optional<std::string_view> RecordedText(std::string_view line);

// The key that `line` says has no entry, if it is such a template line.
std::optional<std::string_view> KeyWithoutEntry(std::string_view line);
// Whether `line` is the second line of that template comment.
bool ContinuesNoEntryNote(std::string_view line);

// The lines for one key, each ended by a line feed: the recorded text, then
// an entry that holds the built-in text, or, when no message-file line can
// carry the key and text as they stand, a comment saying so.
std::string TemplateEntry(std::string_view key, std::string_view text);

// The whole template: a header with the rules a translator needs, then
// every key in catalogue order.
std::string TranslationTemplate(const MasterCatalogue& catalogue);

}  // namespace msgcheck

#endif  // MSGREPORT_TOOLS_MSGCHECK_TRANSLATION_TEMPLATE_H_
