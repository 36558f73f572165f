#include "app/orvuq46-cli/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace orvu {
namespace {

constexpr int kNameAttempts = 100;

std::string Reason(int error) { return std::strerror(error); }

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

ReplacingFile::~ReplacingFile() { Discard(); }

void ReplacingFile::Discard() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!temp_.empty()) unlink(temp_.c_str());
  temp_.clear();
}

std::string ReplacingFile::Open(const std::string& path) {
  Discard();
  path_ = path;
  if (path.empty() || path.back() == '/') return "not a file name";
  struct stat existing {};
  const bool exists = stat(path.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) return Reason(EISDIR);

  const std::string stem = DirectoryOf(path) + "/." + BaseOf(path) + ".tmp-" + std::to_string(getpid()) + "-";
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string candidate = stem + std::to_string(attempt);
    // 0666 under the umask: the mode a plainly created file would get.
    fd_ = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
      temp_ = candidate;
      // A replaced report keeps the permissions its owner gave it.
      if (exists && S_ISREG(existing.st_mode)) fchmod(fd_, existing.st_mode & 07777);
      return {};
    }
    if (errno != EEXIST) return Reason(errno);
  }
  return Reason(EEXIST);
}

std::string ReplacingFile::Commit(const std::string& bytes) {
  if (fd_ < 0) return "not open";
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const std::string reason = Reason(n < 0 ? errno : EIO);
      Discard();
      return reason;
    }
    done += static_cast<size_t>(n);
  }
  // The archive must survive a power cut right after the rename: data first, then the name.
  const int syncError = fsync(fd_) != 0 ? errno : 0;
  const int closeError = close(fd_) != 0 ? errno : 0;
  fd_ = -1;
  if (syncError || closeError) {
    Discard();
    return Reason(syncError ? syncError : closeError);
  }
  if (rename(temp_.c_str(), path_.c_str()) != 0) {
    const std::string reason = Reason(errno);
    Discard();
    return reason;
  }
  temp_.clear();
  return {};
}

std::string WriteFileReplacing(const std::string& path, const std::string& bytes) {
  ReplacingFile file;
  std::string reason = file.Open(path);
  if (reason.empty()) reason = file.Commit(bytes);
  return reason.empty() ? reason : "cannot write " + path + ": " + reason;
}

}  // namespace orvu
