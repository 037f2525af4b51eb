#include "catalogue/line_reader.h"

#include <sys/stat.h>

#include <cstring>

namespace msgreport {
namespace {

constexpr std::size_t kBlockSize = std::size_t{64} * 1024;

bool IsDirectory(std::FILE* file) {
  struct stat status {};
  return fstat(fileno(file), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string_view WithoutCarriageReturn(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

}  // namespace

LineReader::LineReader(const char* path) {
  file_.reset(std::fopen(path, "r"));
  if (file_ && IsDirectory(file_.get())) file_.reset();
  if (file_) block_ = std::make_unique<char[]>(kBlockSize);
}

bool LineReader::Refill() {
  if (exhausted_) return false;
  begin_ = 0;
  end_ = std::fread(block_.get(), 1, kBlockSize, file_.get());
  if (end_ == 0) exhausted_ = true;
  return end_ != 0;
}

bool LineReader::NextLine(std::string_view& line) {
  if (!file_) return false;
  pending_.clear();
  bool spans_blocks = false;
  for (;;) {
    if (begin_ == end_ && !Refill()) {
      if (!spans_blocks) return false;
      line = WithoutCarriageReturn(pending_);
      return true;
    }
    const char* start = block_.get() + begin_;
    std::size_t available = end_ - begin_;
    const void* newline = std::memchr(start, '\n', available);
    if (newline != nullptr) {
      std::size_t length =
          static_cast<std::size_t>(static_cast<const char*>(newline) - start);
      begin_ += length + 1;
      if (!spans_blocks) {
        line = WithoutCarriageReturn(std::string_view(start, length));
      } else {
        pending_.append(start, length);
        line = WithoutCarriageReturn(pending_);
      }
      return true;
    }
    pending_.append(start, available);
    spans_blocks = true;
    begin_ = end_;
  }
}

}  // namespace msgreport
