// Writing what msgcheck makes: a file appears whole or not at all, since a
// half-written translation or header is worse than the old one.

#ifndef MSGREPORT_TOOLS_MSGCHECK_OUTPUT_FILE_H_
#define MSGREPORT_TOOLS_MSGCHECK_OUTPUT_FILE_H_

#include <string>

namespace msgcheck {

// Writes `text` to `path`, "-" meaning standard output, through a file
// beside it that then takes its place. Returns an empty string, or why the
// file could not be written.
std::string WriteOutput(const std::string& path, const std::string& text);

}  // namespace msgcheck

#endif  // MSGREPORT_TOOLS_MSGCHECK_OUTPUT_FILE_H_
