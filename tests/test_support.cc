#include "test_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace msgreport_test {

TempDir::TempDir() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "msgreport-XXXXXX").string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (mkdtemp(name.data()) == nullptr) {
    throw std::runtime_error("cannot make a temporary directory");
  }
  path_ = name.data();
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
  saved_fd_ = dup(1);
  int fd = open(file_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (saved_fd_ < 0 || fd < 0 || dup2(fd, 1) < 0) {
    throw std::runtime_error("cannot capture standard output");
  }
  close(fd);
}

StdoutCapture::~StdoutCapture() {
  if (saved_fd_ >= 0) Finish();
}

std::string StdoutCapture::Finish() {
  std::fflush(stdout);
  dup2(saved_fd_, 1);
  close(saved_fd_);
  saved_fd_ = -1;
  std::ifstream in(file_, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in),
                     std::istreambuf_iterator<char>());
}

}  // namespace msgreport_test
