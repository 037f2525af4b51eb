// Reads a text file line by line, whatever the length of a line, NUL bytes
// included, so that a file reads the same on every platform:
//  - only a regular file is read: a FIFO, a device or a directory could
//    block set-up or feed it without end, and opening one does not wait;
//  - a UTF-8 byte-order mark at the very start is skipped;
//  - a line ends at LF, and every CR before the LF is dropped, as Windows
//    text mode would drop the one before it and this reader the rest;
//  - on Windows a Ctrl-Z byte ends the file, as it ends any text file
//    there; elsewhere it is an ordinary byte. Either way the line that
//    holds the first one is noted, for tools that warn of it.

#ifndef MSGREPORT_CATALOGUE_LINE_READER_H_
#define MSGREPORT_CATALOGUE_LINE_READER_H_

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace msgreport {

class LineReader {
 public:
  enum class Status { kOpen, kCannotOpen, kNotAFile };

  explicit LineReader(const char* path);

  Status status() const { return status_; }
  bool is_open() const { return status_ == Status::kOpen; }

  // The next line without its line end, valid until the next call. None at
  // the end of the file or at a read error, which also ends the file.
  std::optional<std::string_view> NextLine();

  // The number of the line NextLine returned last, counted from 1.
  std::size_t line_number() const { return line_number_; }
  bool skipped_byte_order_mark() const { return skipped_byte_order_mark_; }
  // The line that holds the first Ctrl-Z read so far; 0 for none.
  std::size_t ctrl_z_line() const { return ctrl_z_line_; }
  // Once NextLine has returned none: whether that was the file's end, not a
  // read error or, on Windows, a Ctrl-Z. A tool that rewrites the file
  // must not write back less than there was.
  bool read_to_end() const;

 private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  bool Refill();
  std::string_view Deliver(std::string_view text);

  std::unique_ptr<std::FILE, FileCloser> file_;
  Status status_ = Status::kCannotOpen;
  std::unique_ptr<char[]> block_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool exhausted_ = false;
  bool ended_at_ctrl_z_ = false;
  bool skipped_byte_order_mark_ = false;
  std::size_t line_number_ = 0;
  std::size_t ctrl_z_line_ = 0;
  // Holds a line that spans blocks; reused from line to line.
  std::string pending_;
};

}  // namespace msgreport

#endif  // MSGREPORT_CATALOGUE_LINE_READER_H_
