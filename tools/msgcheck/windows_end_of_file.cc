#include "tools/msgcheck/windows_end_of_file.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace msgcheck {

std::size_t LineOfWindowsEndOfFile(const std::string& path) {
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  // Binary mode: on Windows, text mode would stop at the very byte sought.
  std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
  if (!file) return 0;
  constexpr char kCtrlZ = '\x1a';
  char block[64 * 1024];
  std::size_t line = 1;
  std::size_t got = 0;
  while ((got = std::fread(block, 1, sizeof block, file.get())) > 0) {
    const char* end = block + got;
    const char* ctrl_z =
        static_cast<const char*>(std::memchr(block, kCtrlZ, got));
    const char* stop = ctrl_z != nullptr ? ctrl_z : end;
    for (const char* c = block; c < stop; ++c) line += *c == '\n';
    if (ctrl_z != nullptr) return line;
  }
  return 0;
}

}  // namespace msgcheck
