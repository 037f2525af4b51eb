// How msgcheck speaks: every finding is one `FILE:LINE: severity: message`
// line, handed to a sink as soon as it is known, and every piece of file
// content in it is spelt out so that no byte of a hostile file reaches the
// terminal raw.

#ifndef MSGREPORT_TOOLS_MSGCHECK_DIAGNOSTIC_H_
#define MSGREPORT_TOOLS_MSGCHECK_DIAGNOSTIC_H_

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "catalogue/message_line.h"

namespace msgcheck {

using DiagnosticSink = std::function<void(const std::string&)>;

// `text` with control bytes and DEL written as \xHH.
std::string Escaped(std::string_view text);
// The same in single quotes.
std::string Quoted(std::string_view text);

// Why an entry line's text cannot be read, for a malformed line.
std::string MalformedEntryText(const msgreport::ParsedLine& parsed);

// Why a line longer than the reader's bound is skipped.
std::string TooLongText();

// Writes `path:line: severity: what` to `sink`.
void Say(const DiagnosticSink& sink, const std::string& path, std::size_t line,
         const char* severity, const std::string& what);

}  // namespace msgcheck

#endif  // MSGREPORT_TOOLS_MSGCHECK_DIAGNOSTIC_H_
