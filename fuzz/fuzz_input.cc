#include "fuzz_input.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace msgreport_fuzz {

std::string WriteScratchFile(const std::string& contents, int slot) {
  static const std::string prefix = [] {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir != nullptr ? dir : "/tmp") + "/msgreport-fuzz-" +
           std::to_string(getpid()) + "-";
  }();
  std::string path = prefix + std::to_string(slot) + ".txt";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  std::fwrite(contents.data(), 1, contents.size(), file);
  std::fclose(file);
  return path;
}

}  // namespace msgreport_fuzz
