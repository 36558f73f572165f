#include "backup/backup_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "backup/backup_file.h"
#include "model/replacing_file.h"

namespace orvu {
namespace {

// Far above any backup (the parser refuses beyond 1 MiB), so the parser, not the size, says
// what is wrong with a large file; the bound only keeps a huge file out of memory.
constexpr off_t kMaxReadBytes = 16 << 20;

std::string NowText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[40];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
  return text;
}

// The file's bytes. Looked up before it is opened, so that a pipe is refused rather than waited
// on.
std::string ReadBytes(const std::string& path) {
  using Step = BackupReadError::Step;
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) throw BackupReadError(errno, Step::kLookUp, path);
  if (!S_ISREG(st.st_mode))
    throw BackupReadError(S_ISDIR(st.st_mode) ? EISDIR : EINVAL, Step::kNotAFile, path);
  if (st.st_size > kMaxReadBytes) throw BackupReadError(EFBIG, Step::kTooLarge, path);
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw BackupReadError(errno, Step::kRead, path);
  std::string bytes;
  char chunk[65536];
  for (;;) {
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || bytes.size() + static_cast<size_t>(n) > static_cast<size_t>(kMaxReadBytes)) {
      const int error = n < 0 ? errno : EFBIG;
      close(fd);
      throw BackupReadError(error, n < 0 ? Step::kRead : Step::kTooLarge, path);
    }
    if (n == 0) break;
    bytes.append(chunk, static_cast<size_t>(n));
  }
  close(fd);
  return bytes;
}

}  // namespace

BackupReadError::BackupReadError(int error, Step step, const std::string& path)
    : std::system_error(error, std::generic_category(), "cannot read " + path),
      step(step),
      path(path) {}

Backup BackupNow(const UdpDev& dev, const CtrlConfig& cfg) {
  return BackupOf(cfg, dev.id, dev.IpText(), ModeOf(dev.mode), NowText());
}

Backup ReadBackupFile(const std::string& path) { return ParseBackupFile(ReadBytes(path)); }

void WriteBackupFile(const std::string& path, const Backup& backup) {
  WriteFileReplacing(path, BackupFileText(backup));
}

}  // namespace orvu
