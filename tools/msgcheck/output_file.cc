#include "tools/msgcheck/output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

namespace msgcheck {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string Written(std::FILE* file, const std::string& text) {
  if (std::fwrite(text.data(), 1, text.size(), file) != text.size() ||
      std::fflush(file) != 0) {
    return std::strerror(errno);
  }
  return {};
}

}  // namespace

std::string WriteOutput(const std::string& path, const std::string& text) {
  if (path == "-") return Written(stdout, text);
  std::string temporary = path + ".msgcheck-new";
  std::string why;
  {
    // Binary, so that the lines end the same on every platform.
    std::unique_ptr<std::FILE, FileCloser> file(
        std::fopen(temporary.c_str(), "wb"));
    if (!file) return std::strerror(errno);
    why = Written(file.get(), text);
    if (why.empty() && std::fclose(file.release()) != 0) {
      why = std::strerror(errno);
    }
  }
  std::error_code error;
  if (why.empty()) {
    std::filesystem::rename(temporary, path, error);
    if (!error) return {};
    why = error.message();
  }
  std::filesystem::remove(temporary, error);
  return why;
}

}  // namespace msgcheck
