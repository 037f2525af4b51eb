// Reads a text file line by line, whatever the length of a line, NUL bytes
// included. The file is opened in text mode, so on Windows the C library
// turns CRLF into LF and a Ctrl-Z ends the file, as for any text file there;
// elsewhere a CR before the LF is stripped here, so that a file written on
// Windows reads the same everywhere.

#ifndef MSGREPORT_CATALOGUE_LINE_READER_H_
#define MSGREPORT_CATALOGUE_LINE_READER_H_

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace msgreport {

class LineReader {
 public:
  // Opens `path`; a directory or a path that does not open leaves the reader
  // closed.
  explicit LineReader(const char* path);

  bool is_open() const { return file_ != nullptr; }

  // The next line without its line end, valid until the next call. False at
  // the end of the file or at a read error, which also ends the file.
  bool NextLine(std::string_view& line);

 private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  bool Refill();

  std::unique_ptr<std::FILE, FileCloser> file_;
  std::unique_ptr<char[]> block_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool exhausted_ = false;
  // Holds a line that spans blocks; reused from line to line.
  std::string pending_;
};

}  // namespace msgreport

#endif  // MSGREPORT_CATALOGUE_LINE_READER_H_
