#include "app/orvuq46-cli/backup_files.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>

#include "app/orvuq46-cli/cli.h"
#include "backup/backup_file.h"

namespace orvu {
namespace {

constexpr off_t kMaxReadBytes = 16 << 20;  // far above any backup; the parser refuses beyond 1 MiB

// Local time as ISO 8601 with its offset from UTC: 2024-05-07T14:03:12+0200.
std::string NowText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[40];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
  return text;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path, std::ostream& err) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    err << "orvuq46-cli: cannot read " << path << ": " << std::strerror(errno) << '\n';
    return std::nullopt;
  }
  if (!S_ISREG(st.st_mode) || st.st_size > kMaxReadBytes) {
    err << "orvuq46-cli: cannot read " << path << ": " << (S_ISREG(st.st_mode) ? "too large" : "not a file") << '\n';
    return std::nullopt;
  }
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad() || !in.is_open()) {
    err << "orvuq46-cli: cannot read " << path << '\n';
    return std::nullopt;
  }
  return bytes;
}

std::optional<Backup> LoadBackup(const std::string& path, std::ostream& err, int& status) {
  const std::optional<std::string> text = ReadWholeFile(path, err);
  if (!text) {
    status = kExitFile;
    return std::nullopt;
  }
  try {
    return ParseBackupFile(*text);
  } catch (const BackupFileError& e) {
    err << "orvuq46-cli: " << path << " is refused: " << e.what() << '\n';
    status = kExitRefused;
    return std::nullopt;
  }
}

Backup BackupNow(const UdpDev& dev, const CtrlConfig& cfg) {
  return BackupOf(cfg, dev.id, dev.IpText(), ModeOf(dev.mode), NowText());
}

}  // namespace orvu
