// Backups as both front ends take, read and write them: the controller just read, stamped with
// the local time; a backup file read by path and checked; a backup file written whole.
#pragma once
#include <string>
#include <system_error>

#include "backup/backup.h"
#include "comm/udpdev.h"
#include "model/ctrlcfg.h"

namespace orvu {

// The controller just read into cfg, as a backup taken now: its address and mode as dev holds
// them, taken at the local time in ISO 8601 with the offset from UTC (2024-05-07T14:03:12+0200).
Backup BackupNow(const UdpDev& dev, const CtrlConfig& cfg);

// A backup file that could not be read. code() is the errno of the failing call (generic
// category), so FileFailureCause (comm/failure_cause.h) tells a missing file from a permission
// problem; what() reads "cannot read PATH: " and the system's words for it.
class BackupReadError : public std::system_error {
 public:
  // The step that failed: looking the path up (stat: ENOENT, ENOTDIR, EACCES on a folder on
  // the way), what it leads to (EISDIR for a folder, EINVAL for a pipe or a device), the size
  // (EFBIG, far beyond any backup), or opening and reading the file itself.
  enum class Step { kLookUp, kNotAFile, kTooLarge, kRead };

  BackupReadError(int error, Step step, const std::string& path);
  Step step;
  std::string path;
};

// The file read and checked. Throws BackupReadError when it cannot be read, BackupFileError
// (backup/backup_file.h) when it is refused; nothing of a refused file is ever returned.
Backup ReadBackupFile(const std::string& path);

// BackupFileText written to path as WriteFileReplacing (model/replacing_file.h) writes: whole or
// not at all. Throws its std::system_error ("cannot write PATH: reason", with the errno).
void WriteBackupFile(const std::string& path, const Backup& backup);

}  // namespace orvu
