#include "tools/msgcheck/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

namespace msgcheck {
namespace {

namespace fs = std::filesystem;

constexpr int kNameAttempts = 100;

std::string Why() { return std::strerror(errno); }

// Creates a file that did not exist, so that neither a link nor another
// file of the chosen name is ever written through. -1 on failure.
int CreateAfresh(const std::string& path) {
#if defined(_WIN32)
  return _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
               _S_IREAD | _S_IWRITE);
#else
  return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
#endif
}

// Gives the new file the target's mode and owner, or, for a new target,
// the mode a newly created file would have. Keeping the owner needs
// privileges the process may lack; the mode it can always keep.
std::string TakeOverAttributes(int descriptor, const std::string& target) {
#if defined(_WIN32)
  (void)descriptor;
  (void)target;
  return {};
#else
  struct stat status {};
  if (stat(target.c_str(), &status) != 0) {
    mode_t mask = umask(0);
    umask(mask);
    status.st_mode = static_cast<mode_t>(0666 & ~mask);
  } else if (fchown(descriptor, status.st_uid, status.st_gid) != 0 &&
             errno != EPERM) {
    return Why();
  }
  if (fchmod(descriptor, status.st_mode & 07777) != 0) return Why();
  return {};
#endif
}

bool ReadOnly(const std::string& path) {
#if defined(_WIN32)
  return _access(path.c_str(), 0) == 0 && _access(path.c_str(), 2) != 0;
#else
  // Mode bits as well: for root, access() finds every file writable.
  struct stat status {};
  return stat(path.c_str(), &status) == 0 &&
         ((status.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0);
#endif
}

}  // namespace

OutputFile::OutputFile(const std::string& path) : target_(path) {
  if (path == "-") {
    stream_ = stdout;
  } else {
    Open(path);
  }
}

void OutputFile::Open(const std::string& path) {
  std::error_code failure;
  // Writing to a link updates the file it leads to, and leaves the link.
  if (fs::exists(path, failure))
    target_ = fs::canonical(path, failure).string();
  if (failure) return Fail(failure.message());
  if (ReadOnly(target_)) return Fail("the file is read-only");
  fs::path beside = fs::path(target_).parent_path();
  std::string stem = "." + fs::path(target_).filename().string() + ".";
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    temporary_ =
        (beside / (stem + std::to_string(random() % 1000000000) + ".tmp"))
            .string();
    int descriptor = CreateAfresh(temporary_);
    if (descriptor < 0 && errno == EEXIST) continue;
    if (descriptor < 0) break;
    file_.reset(fdopen(descriptor, "wb"));
    if (!file_) {
      Fail(Why());
#if defined(_WIN32)
      _close(descriptor);
#else
      close(descriptor);
#endif
      return Discard();
    }
    stream_ = file_.get();
    return;
  }
  std::string why = Why();
  temporary_.clear();
  Fail(why);
}

OutputFile::~OutputFile() { Discard(); }

void OutputFile::Fail(const std::string& why) {
  if (error_.empty()) error_ = why;
}

void OutputFile::Discard() {
  file_.reset();
  if (temporary_.empty()) return;
  std::error_code ignored;
  fs::remove(temporary_, ignored);
  temporary_.clear();
}

void OutputFile::Write(std::string_view bytes) {
  if (!error_.empty() || stream_ == nullptr) return;
  if (std::fwrite(bytes.data(), 1, bytes.size(), stream_) != bytes.size()) {
    Fail(Why());
  }
}

const std::string& OutputFile::Commit() {
  if (!error_.empty() || stream_ == nullptr) return error_;
  if (std::fflush(stream_) != 0) Fail(Why());
  if (!file_) return error_;
  if (error_.empty()) Fail(TakeOverAttributes(fileno(file_.get()), target_));
#if !defined(_WIN32)
  // On disk before it takes the old file's place, so that a crash leaves
  // the one or the other.
  if (error_.empty() && fsync(fileno(file_.get())) != 0) Fail(Why());
#endif
  if (std::fclose(file_.release()) != 0) Fail(Why());
  if (error_.empty()) {
    std::error_code failure;
    fs::rename(temporary_, target_, failure);
    if (failure)
      Fail(failure.message());
    else
      temporary_.clear();
  }
  Discard();
  return error_;
}

std::string WriteOutput(const std::string& path, const std::string& text) {
  OutputFile file(path);
  file.Write(text);
  return file.Commit();
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return a != "-" && b != "-" && fs::equivalent(a, b, error) && !error;
}

}  // namespace msgcheck
