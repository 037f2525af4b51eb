// Reads a text file line by line, NUL bytes included, so that a file reads
// the same on every platform:
//  - only a regular file is read: a FIFO, a device or a directory could
//    block set-up or feed it without end, and opening one does not wait;
//  - a file larger than kMaxFileBytes fails as a read error does, since a
//    "regular" file in /proc can be as endless as a device;
//  - a line longer than kMaxLineBytes is skipped unread, so that what the
//    reader holds stays bounded whatever the file;
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

#include "catalogue/message_limits.h"

namespace msgreport {

class LineReader {
 public:
  // kReadError and kTooLarge come once reading has failed: the file was
  // not read to its end, and what was read of it must not count.
  enum class Status { kOpen, kCannotOpen, kNotAFile, kReadError, kTooLarge };

  // `most_bytes` is the file's bound; tests lower it to fail mid-file.
  explicit LineReader(const char* path,
                      unsigned long long most_bytes = kMaxFileBytes);

  Status status() const { return status_; }
  bool is_open() const { return status_ == Status::kOpen; }

  // The next line without its line end, valid until the next call. None at
  // the end of the file or once reading failed.
  std::optional<std::string_view> NextLine();

  // What is read ahead of the line NextLine returned last, and where in the
  // file it starts: a caller may look ahead at the lines it holds, valid
  // until the next call, to prepare for them.
  std::string_view buffered() const {
    return {block_.get() + begin_, end_ - begin_};
  }
  unsigned long long buffered_offset() const { return block_start_ + begin_; }

  // The number of the line NextLine returned last, counted from 1.
  std::size_t line_number() const { return line_number_; }
  // Whether that line was longer than kMaxLineBytes; it was then returned
  // empty.
  bool line_too_long() const { return line_too_long_; }
  // How that line ended: the CRs dropped before its LF, and whether it had
  // an LF at all, for a tool that writes the line back as it was.
  std::size_t dropped_crs() const { return dropped_crs_; }
  bool ended_by_newline() const { return ended_by_newline_; }
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
  // `end`: where in the file the line ends, before its line end.
  std::string_view Deliver(std::string_view text, bool newline,
                           unsigned long long end);
  void FindCtrlZ();
  // Takes more of a line that spans blocks, up to the line bound.
  void Keep(const char* start, std::size_t length);

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
  static constexpr unsigned long long kNoCtrlZ = ~0ULL;
  // Where in the file the first Ctrl-Z not yet in a returned line stands.
  unsigned long long ctrl_z_at_ = kNoCtrlZ;
  unsigned long long most_bytes_;
  unsigned long long bytes_read_ = 0;
  unsigned long long block_start_ = 0;  // where in the file block_ starts
  bool line_too_long_ = false;
  std::size_t dropped_crs_ = 0;
  bool ended_by_newline_ = false;
  // Holds a line that spans blocks, never more than kMaxLineBytes; reused
  // from line to line.
  std::string pending_;
};

}  // namespace msgreport

#endif  // MSGREPORT_CATALOGUE_LINE_READER_H_
