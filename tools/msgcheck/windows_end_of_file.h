// Windows ends a file read in text mode at its first Ctrl-Z byte, as the
// library reads message files; other platforms read on. The checker finds
// that byte itself, so that it warns alike wherever it runs.

#ifndef MSGREPORT_TOOLS_MSGCHECK_WINDOWS_END_OF_FILE_H_
#define MSGREPORT_TOOLS_MSGCHECK_WINDOWS_END_OF_FILE_H_

#include <cstddef>
#include <string>

namespace msgcheck {

// The number, counted from 1, of the line that holds the file's first
// Ctrl-Z byte; 0 when it holds none or does not open.
std::size_t LineOfWindowsEndOfFile(const std::string& path);

}  // namespace msgcheck

#endif  // MSGREPORT_TOOLS_MSGCHECK_WINDOWS_END_OF_FILE_H_
