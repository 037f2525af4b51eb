// Writing what msgcheck makes: a file appears whole or not at all, since a
// half-written translation or header is worse than the old one, and the
// file it replaces keeps what is not msgcheck's to change: its mode, its
// owner where the process may keep it, and any link that leads to it.

#ifndef MSGREPORT_TOOLS_MSGCHECK_OUTPUT_FILE_H_
#define MSGREPORT_TOOLS_MSGCHECK_OUTPUT_FILE_H_

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace msgcheck {

// A file written through a temporary beside it, made afresh under a name
// no other file has, that takes the target's place on Commit. Until then
// the target is untouched, and a file never committed leaves no trace.
class OutputFile {
 public:
  // "-" is standard output, written as it comes.
  explicit OutputFile(const std::string& path);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Why the file cannot be written; empty while all is well.
  const std::string& error() const { return error_; }

  void Write(std::string_view bytes);
  // Puts the written file in the target's place. Returns error().
  const std::string& Commit();

 private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  void Open(const std::string& path);
  void Fail(const std::string& why);
  void Discard();

  std::string target_;  // the file a link leads to, not the link
  std::string temporary_;
  std::unique_ptr<std::FILE, FileCloser> file_;
  std::FILE* stream_ = nullptr;
  std::string error_;
};

// Writes `text` to `path` through an OutputFile. Returns an empty string,
// or why the file could not be written.
std::string WriteOutput(const std::string& path, const std::string& text);

// Whether two paths name the same file, links followed; false when either
// does not exist.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace msgcheck

#endif  // MSGREPORT_TOOLS_MSGCHECK_OUTPUT_FILE_H_
