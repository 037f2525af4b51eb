// Helpers shared by the tests: a fresh temporary directory per test, files
// written into it, and standard output captured behind file descriptor 1.

#ifndef MSGREPORT_TESTS_TEST_SUPPORT_H_
#define MSGREPORT_TESTS_TEST_SUPPORT_H_

#include <string>

namespace msgreport_test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // Writes `contents` byte for byte to a file in the directory.
  std::string Write(const std::string& name, const std::string& contents) const;

 private:
  std::string path_;
};

// Redirects file descriptor 1 to a temporary file until Finish().
class StdoutCapture {
 public:
  StdoutCapture();
  ~StdoutCapture();
  StdoutCapture(const StdoutCapture&) = delete;
  StdoutCapture& operator=(const StdoutCapture&) = delete;

  // Restores standard output and returns what was written meanwhile.
  std::string Finish();

 private:
  TempDir dir_;
  std::string file_;
  int saved_fd_ = -1;
};

// The file's bytes; empty when it cannot be read.
std::string FileContents(const std::string& path);

}  // namespace msgreport_test

#endif  // MSGREPORT_TESTS_TEST_SUPPORT_H_
