#include "test_support.h"

#include <fcntl.h>
#if defined(_WIN32)
#include <io.h>
#define MSGREPORT_DUP _dup
#define MSGREPORT_DUP2 _dup2
#define MSGREPORT_CLOSE _close
#define MSGREPORT_OPEN _open
#define MSGREPORT_WRITE_FLAGS (_O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY)
#else
#include <unistd.h>
#define MSGREPORT_DUP dup
#define MSGREPORT_DUP2 dup2
#define MSGREPORT_CLOSE close
#define MSGREPORT_OPEN open
#define MSGREPORT_WRITE_FLAGS (O_WRONLY | O_CREAT | O_TRUNC)
#endif

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace msgreport_test {

TempDir::TempDir() {
  std::random_device seed;
  std::mt19937_64 random(seed());
  std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path candidate =
        base / ("msgreport-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate.string();
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary directory");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Write(const std::string& name,
                           const std::string& contents) const {
  std::string file = path_ + "/" + name;
  std::ofstream out(file, std::ios::binary);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  if (!out) throw std::runtime_error("cannot write " + file);
  return file;
}

StdoutCapture::StdoutCapture() : file_(dir_.path() + "/stdout") {
  std::fflush(stdout);
  saved_fd_ = MSGREPORT_DUP(1);
  int fd = MSGREPORT_OPEN(file_.c_str(), MSGREPORT_WRITE_FLAGS, 0600);
  if (saved_fd_ < 0 || fd < 0 || MSGREPORT_DUP2(fd, 1) < 0) {
    throw std::runtime_error("cannot capture standard output");
  }
  MSGREPORT_CLOSE(fd);
}

StdoutCapture::~StdoutCapture() {
  if (saved_fd_ >= 0) Finish();
}

std::string StdoutCapture::Finish() {
  std::fflush(stdout);
  MSGREPORT_DUP2(saved_fd_, 1);
  MSGREPORT_CLOSE(saved_fd_);
  saved_fd_ = -1;
  return FileContents(file_);
}

std::string FileContents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in),
                     std::istreambuf_iterator<char>());
}

}  // namespace msgreport_test
