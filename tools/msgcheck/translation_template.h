// A translation's starting point: a message file that lists every key of a
// program's catalogue with its built-in text, and so changes nothing until
// a translator replaces the texts. Above each entry stand the developers'
// notes for it and a record of the built-in text it was made from, which
// is how a later merge tells that the program's text has changed since.

#ifndef MSGREPORT_TOOLS_MSGCHECK_TRANSLATION_TEMPLATE_H_
#define MSGREPORT_TOOLS_MSGCHECK_TRANSLATION_TEMPLATE_H_

#include <string>
#include <string_view>
#include <vector>

#include "tools/msgcheck/master_catalogue.h"

namespace msgcheck {

// The lines for one key, each ended by a line feed: its notes, the recorded
// text, then an entry that holds the built-in text, or, when no
// message-file line can carry the key and text as they stand, a comment
// saying so.
std::string TemplateEntry(std::string_view key, std::string_view text,
                          const std::vector<std::string>& notes);
// The same with an entry that holds `entry_text` below the record of
// `text`, as a form or a language the catalogue does not give has.
std::string TemplateEntry(std::string_view key, std::string_view text,
                          const std::vector<std::string>& notes,
                          std::string_view entry_text);

// The whole template: a header with the rules a translator needs, then
// every key in catalogue order.
// `language` (empty: the catalogue's) decides the plural forms it gives.
std::string TranslationTemplate(const MasterCatalogue& catalogue,
                                std::string_view language = {});

}  // namespace msgcheck

#endif  // MSGREPORT_TOOLS_MSGCHECK_TRANSLATION_TEMPLATE_H_
