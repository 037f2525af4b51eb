#include "catalogue/line_reader.h"

#include <sys/stat.h>
#if !defined(_WIN32)
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cstring>

namespace msgreport {
namespace {

constexpr std::size_t kBlockSize = std::size_t{64} * 1024;
constexpr char kCtrlZ = '\x1a';
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsRegularFile(int descriptor) {
  struct stat status {};
  return fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

LineReader::LineReader(const char* path, unsigned long long most_bytes)
    : most_bytes_(most_bytes) {
#if defined(_WIN32)
  // Opening a device or a pipe does not wait here; only reading would.
  file_.reset(std::fopen(path, "rb"));
  if (!file_) return;
  if (!IsRegularFile(fileno(file_.get()))) {
    file_.reset();
    status_ = Status::kNotAFile;
    return;
  }
#else
  // Without O_NONBLOCK, opening a FIFO waits for a writer.
  int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return;
  if (!IsRegularFile(descriptor)) {
    close(descriptor);
    status_ = Status::kNotAFile;
    return;
  }
  fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
  file_.reset(fdopen(descriptor, "rb"));
  if (!file_) {
    close(descriptor);
    return;
  }
#endif
  block_ = std::make_unique<char[]>(kBlockSize);
  status_ = Status::kOpen;
}

bool LineReader::read_to_end() const {
  return is_open() && exhausted_ && !ended_at_ctrl_z_;
}

bool LineReader::Refill() {
  if (exhausted_) return false;
  bool at_start = bytes_read_ == 0;
  begin_ = 0;
  block_start_ = bytes_read_;
  end_ = std::fread(block_.get(), 1, kBlockSize, file_.get());
  bytes_read_ += end_;
  if (std::ferror(file_.get()) != 0 || bytes_read_ > most_bytes_) {
    status_ =
        std::ferror(file_.get()) != 0 ? Status::kReadError : Status::kTooLarge;
    end_ = 0;
  }
  if (end_ == 0) exhausted_ = true;
#if defined(_WIN32)
  if (const void* ctrl_z = std::memchr(block_.get(), kCtrlZ, end_)) {
    end_ = static_cast<std::size_t>(static_cast<const char*>(ctrl_z) -
                                    block_.get());
    exhausted_ = ended_at_ctrl_z_ = true;
  }
#endif
  if (at_start &&
      std::string_view(block_.get(), end_).substr(0, kByteOrderMark.size()) ==
          kByteOrderMark) {
    begin_ = kByteOrderMark.size();
    skipped_byte_order_mark_ = true;
  }
  FindCtrlZ();
  return begin_ < end_;
}

// Once per block rather than once per line: a search of each line would
// cost a call for a byte that almost no file holds.
void LineReader::FindCtrlZ() {
  // Only the first is reported.
  if (ctrl_z_line_ != 0 || ctrl_z_at_ != kNoCtrlZ) return;
  const char* from = block_.get() + begin_;
  if (const void* found = std::memchr(from, kCtrlZ, end_ - begin_)) {
    ctrl_z_at_ =
        block_start_ + begin_ +
        static_cast<std::size_t>(static_cast<const char*>(found) - from);
  }
}

std::string_view LineReader::Deliver(std::string_view text, bool newline,
                                     unsigned long long end) {
  ++line_number_;
  ended_by_newline_ = newline;
  dropped_crs_ = 0;
  // The Ctrl-Z found ahead is the first in the file not in a line before,
  // so this line holds it if it lies before the line's end. A line too
  // long to be returned holds it all the same: Windows stops there.
  if (ctrl_z_at_ < end) {
    ctrl_z_line_ = line_number_;
    ctrl_z_at_ = kNoCtrlZ;
  }
  if (line_too_long_) return {};
  while (!text.empty() && text.back() == '\r') {
    text.remove_suffix(1);
    ++dropped_crs_;
  }
  return text;
}

void LineReader::Keep(const char* start, std::size_t length) {
  if (line_too_long_) return;
  if (length > kMaxLineBytes - pending_.size()) {
    line_too_long_ = true;
    return;
  }
  // At once the most a line may hold, so that growing it never doubles
  // past the bound.
  if (pending_.capacity() < kMaxLineBytes) pending_.reserve(kMaxLineBytes);
  pending_.append(start, length);
}

std::optional<std::string_view> LineReader::NextLine() {
  if (!file_ || !is_open()) return std::nullopt;
  pending_.clear();
  line_too_long_ = false;
  bool spans_blocks = false;
  for (;;) {
    if (begin_ == end_ && !Refill()) {
      // On Windows the Ctrl-Z cut this line short, or began the next one.
      if (ended_at_ctrl_z_ && ctrl_z_line_ == 0) {
        ctrl_z_line_ = line_number_ + 1;
      }
      if (!spans_blocks || !is_open()) return std::nullopt;
      return Deliver(pending_, false, block_start_ + end_);
    }
    const char* start = block_.get() + begin_;
    std::size_t available = end_ - begin_;
    const void* newline = std::memchr(start, '\n', available);
    if (newline != nullptr) {
      std::size_t length =
          static_cast<std::size_t>(static_cast<const char*>(newline) - start);
      begin_ += length + 1;
      unsigned long long end = block_start_ + begin_ - 1;
      if (!spans_blocks) {
        return Deliver(std::string_view(start, length), true, end);
      }
      Keep(start, length);
      return Deliver(pending_, true, end);
    }
    Keep(start, available);
    spans_blocks = true;
    begin_ = end_;
  }
}

}  // namespace msgreport
