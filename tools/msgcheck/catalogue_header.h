// The C++ header made from a program's catalogue: the built-in table ready
// for MessageHandler, a name per key, and report macros through which the
// compiler checks each report's arguments against its key's built-in text.

#ifndef MSGREPORT_TOOLS_MSGCHECK_CATALOGUE_HEADER_H_
#define MSGREPORT_TOOLS_MSGCHECK_CATALOGUE_HEADER_H_

#include <string>
#include <string_view>

#include "tools/msgcheck/diagnostic.h"
#include "tools/msgcheck/master_catalogue.h"

namespace msgcheck {

// Why `key` cannot name a message in C++, or empty when it can: it must be
// an identifier, neither a keyword nor a name reserved to the compiler.
std::string WhyNotCxxName(std::string_view key);

// Whether `name` is a namespace the header can use: identifiers joined
// by "::".
bool IsNamespaceName(std::string_view name);

// Tells `sink` of every key that cannot name a message, at its line of
// `path`, and returns how many there are.
std::size_t CheckKeyNames(const std::string& path,
                          const MasterCatalogue& catalogue,
                          const DiagnosticSink& sink);

// The header for `catalogue`, its names in namespace `name_space` and its
// macros prefixed with the namespace in capitals. Every key must pass
// CheckKeyNames. `source` names the catalogue in the header's first line.
std::string CatalogueHeader(const MasterCatalogue& catalogue,
                            std::string_view name_space,
                            std::string_view source);

}  // namespace msgcheck

#endif  // MSGREPORT_TOOLS_MSGCHECK_CATALOGUE_HEADER_H_
