// Backup files as the command line reads and names them.
#pragma once
#include <optional>
#include <ostream>
#include <string>

#include "backup/backup.h"
#include "comm/udpdev.h"

namespace orvu {

// The file's bytes, or nothing after printing why they cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path, std::ostream& err);
// The file read and checked, or nothing after printing why: status 11 for a file that cannot
// be read, 13 for one that is refused (with its JSON pointer and reason).
std::optional<Backup> LoadBackup(const std::string& path, std::ostream& err, int& status);

// The controller just read into cfg, as a backup taken now.
Backup BackupNow(const UdpDev& dev, const CtrlConfig& cfg);

}  // namespace orvu
