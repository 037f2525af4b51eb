// Plural messages as msgcheck sees them: which catalogue keys are forms of
// a message rather than messages of their own, and what a catalogue's and a
// message file's plural lines must satisfy.

#ifndef MSGREPORT_TOOLS_MSGCHECK_PLURAL_FORMS_H_
#define MSGREPORT_TOOLS_MSGCHECK_PLURAL_FORMS_H_

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/message_file_reader.h"
#include "catalogue/plural_message.h"
#include "tools/msgcheck/diagnostic.h"
#include "tools/msgcheck/master_catalogue.h"

namespace msgcheck {

enum class KeyRole {
  kMessage,   // a message of its own
  kForm,      // KEY[one]: a form of the catalogue's message KEY
  kCount,     // KEY[count]: which argument of KEY is its count
  kLanguage,  // @language
};

struct KeyParts {
  KeyRole role = KeyRole::kMessage;
  std::string_view base;  // for a form or a count: the message
  msgreport::PluralCategory category = msgreport::PluralCategory::kOther;
};

KeyParts PartsOf(const MasterCatalogue& catalogue, std::string_view key);
// Whether `key` is a message with plural forms, as the library sees it.
bool IsPluralMessage(const MasterCatalogue& catalogue, std::string_view key);

// The catalogue's language, named by its `@language` entry or else the
// default one, and the rule its forms are chosen by (none when unknown).
std::string CatalogueLanguage(const MasterCatalogue& catalogue);

// Bit (1 << category) for each category `language` uses; 0 when CLDR does
// not know it.
unsigned CategoriesOf(std::string_view language);
// "one, few, many, other"
std::string CategoryList(unsigned categories);

// An entry a message file in some language holds for the catalogue: its
// key, the text a template gives it, and the catalogue key whose text its
// "// built-in:" record keeps and whose notes stand above it.
struct FileEntry {
  std::string key;
  std::string text;
  std::string source;
};

// The entries of a message file in `language` (empty: the catalogue's),
// in catalogue order: each message; after a plural message, a form for
// each further category the language uses, with the catalogue's text of
// that form or else the message's own; `@language` naming the language.
// A count, `KEY[count]`, is the program's alone and has none.
std::vector<FileEntry> FileEntriesFor(const MasterCatalogue& catalogue,
                                      std::string_view language);

// The catalogue key whose text is the record of a file's entry for `key`:
// the key itself, or a plural message for a form the catalogue lacks;
// empty when there is none.
std::string RecordKeyOf(const MasterCatalogue& catalogue, std::string_view key);

// Tells `sink` of every plural line of the catalogue at `path` that the
// library would not use as written, and returns how many there are.
std::size_t CheckCataloguePlurals(const std::string& path,
                                  const MasterCatalogue& catalogue,
                                  const DiagnosticSink& sink);

// What a message file does with plural messages, gathered as its lines are
// judged and weighed once it is read whole, since its `@language` may come
// after its forms.
class PluralFileAudit {
 public:
  struct Finding {
    std::size_t line;
    const char* severity;
    std::string what;
  };

  explicit PluralFileAudit(const MasterCatalogue& catalogue)
      : catalogue_(catalogue) {}

  void See(const msgreport::LineOutcome& outcome);
  // The file's findings, in line order.
  std::vector<Finding> Findings() const;

  // The file's language: named, or the catalogue's.
  std::string Language() const;
  // The forms each plural message has in the file, the "other" one
  // included, by the message's key.
  const std::map<std::string, unsigned, std::less<>>& given() const {
    return given_;
  }

 private:
  const MasterCatalogue& catalogue_;
  std::size_t language_line_ = 0;
  std::string language_;
  std::map<std::string, unsigned, std::less<>> given_;
  // Of those, the forms whose text differs from the catalogue's.
  std::map<std::string, unsigned, std::less<>> reworded_;
  std::map<std::string, std::size_t, std::less<>> line_of_;  // last, by key
};

}  // namespace msgcheck

#endif  // MSGREPORT_TOOLS_MSGCHECK_PLURAL_FORMS_H_
