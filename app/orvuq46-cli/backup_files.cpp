#include "app/orvuq46-cli/backup_files.h"

#include <cstring>

#include "app/orvuq46-cli/cli.h"
#include "backup/backup_file.h"
#include "backup/backup_io.h"

namespace orvu {
namespace {

// The reason after "cannot read PATH"; none when the file was there but would not open or read.
std::string ReadFailureReason(const BackupReadError& e) {
  switch (e.step) {
    case BackupReadError::Step::kLookUp: return std::string(": ") + std::strerror(e.code().value());
    case BackupReadError::Step::kNotAFile: return ": not a file";
    case BackupReadError::Step::kTooLarge: return ": too large";
    case BackupReadError::Step::kRead: break;
  }
  return "";
}

}  // namespace

std::optional<Backup> LoadBackup(const std::string& path, std::ostream& err, int& status) {
  try {
    return ReadBackupFile(path);
  } catch (const BackupReadError& e) {
    err << "orvuq46-cli: cannot read " << path << ReadFailureReason(e) << '\n';
    status = kExitFile;
  } catch (const BackupFileError& e) {
    err << "orvuq46-cli: " << path << " is refused: " << e.what() << '\n';
    status = kExitRefused;
  }
  return std::nullopt;
}

}  // namespace orvu
