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

// Whether `name` is a namespace the header can use: C++ names joined by
// "::".
bool IsNamespaceName(std::string_view name);

// The report macros' prefix for a namespace when none is given: the
// namespace in capitals, "::" as "_" ("net::io" gives "NET_IO").
std::string DefaultMacroPrefix(std::string_view name_space);

// The names a header declares: its namespace, and the prefix of its report
// macros (PREFIX_REPORT_INFO and so on).
struct HeaderNames {
  std::string name_space;
  std::string macro_prefix;
};

// Tells `sink` of every key that cannot name a message, at its line of
// `path`, and returns how many there are.
std::size_t CheckKeyNames(const std::string& path,
                          const MasterCatalogue& catalogue,
                          const DiagnosticSink& sink);

// The header for `catalogue` under `names`. Every key must pass
// CheckKeyNames. `source` names the catalogue in the header's messages.
//
// Two headers can share neither silently: the include guard maps each
// namespace to a name of its own and carries a fingerprint of the header,
// so another header of the same namespace stops the compiler with an
// #error, as do report macros of the same prefix and any key or namespace
// name that is a macro where the header is included.
std::string CatalogueHeader(const MasterCatalogue& catalogue,
                            const HeaderNames& names, std::string_view source);

}  // namespace msgcheck

#endif  // MSGREPORT_TOOLS_MSGCHECK_CATALOGUE_HEADER_H_
