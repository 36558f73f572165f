#include "model/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace orvu {
namespace {

constexpr int kNameAttempts = 100;

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The regular file that path names through any symbolic links, or path itself.
std::string ResolvedTarget(const std::string& path) {
  struct stat link {};
  if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
  char* real = realpath(path.c_str(), nullptr);
  if (!real) return path;
  std::string resolved = real;
  std::free(real);
  return resolved;
}

// The target opened for writing without truncating it, or -1 with errno set. Opened without
// waiting, so that a pipe nobody reads fails (ENXIO) instead of hanging; the writes then wait.
int OpenInPlace(const std::string& target) {
  const int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return -1;
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    const int error = errno;
    close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

}  // namespace

ReplacingFile::~ReplacingFile() { Discard(); }

void ReplacingFile::Discard() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!temp_.empty()) unlink(temp_.c_str());
  temp_.clear();
}

void ReplacingFile::Fail(int error) {
  Discard();
  throw std::system_error(error, std::generic_category(), "cannot write " + path_);
}

void ReplacingFile::Open(const std::string& path) {
  Discard();
  path_ = path;
  target_ = path;
  regular_ = true;
  if (path.empty()) Fail(ENOENT);
  if (path.back() == '/') Fail(EISDIR);

  struct stat existing {};
  const bool exists = stat(path.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) Fail(EISDIR);
  if (exists && !S_ISREG(existing.st_mode)) {
    regular_ = false;
    fd_ = OpenInPlace(path);
    if (fd_ < 0) Fail(errno);
    return;
  }
  if (exists) {
    target_ = ResolvedTarget(path);
    // A file its owner made read-only is not replaced behind their back: truncating it would
    // fail too.
    if (faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) Fail(errno);
  }

  const std::string stem =
      DirectoryOf(target_) + "/." + BaseOf(target_) + ".tmp-" + std::to_string(getpid()) + "-";
  int createError = EEXIST;
  for (int attempt = 0; attempt < kNameAttempts && createError == EEXIST; ++attempt) {
    const std::string candidate = stem + std::to_string(attempt);
    // 0666 under the umask: the mode a plainly created file would get.
    fd_ = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
      temp_ = candidate;
      // A replaced file keeps the permissions its owner gave it.
      if (exists) fchmod(fd_, existing.st_mode & 07777);
      return;
    }
    createError = errno;
  }
  // The folder refuses a new file; the file already there may still take the bytes.
  if (exists && (createError == EACCES || createError == EPERM)) {
    fd_ = OpenInPlace(target_);
    if (fd_ >= 0) return;
  }
  Fail(createError);
}

void ReplacingFile::Commit(const std::string& bytes) {
  if (fd_ < 0) Fail(EBADF);
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail(errno);
    if (n == 0) Fail(EIO);
    done += static_cast<size_t>(n);
  }
  if (regular_) {
    // Written in place, an older and longer file leaves its tail behind the new bytes.
    if (WritesInPlace() && ftruncate(fd_, static_cast<off_t>(bytes.size())) != 0) Fail(errno);
    // The file must survive a power cut right after the rename: data first, then the name.
    if (fsync(fd_) != 0) Fail(errno);
  }
  const int closed = close(fd_);
  const int closeError = errno;
  fd_ = -1;
  if (closed != 0) Fail(closeError);
  if (temp_.empty()) return;
  if (rename(temp_.c_str(), target_.c_str()) != 0) Fail(errno);
  temp_.clear();
}

void WriteFileReplacing(const std::string& path, const std::string& bytes) {
  ReplacingFile file;
  file.Open(path);
  file.Commit(bytes);
}

}  // namespace orvu
