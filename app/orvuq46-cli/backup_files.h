// Backup files as the command line reads them: the core's reading (backup/backup_io.h), each
// failure printed.
#pragma once
#include <optional>
#include <ostream>
#include <string>

#include "backup/backup.h"

namespace orvu {

// The file read and checked, or nothing after printing why: status 11 for a file that cannot
// be read, 13 for one that is refused (with its JSON pointer and reason).
std::optional<Backup> LoadBackup(const std::string& path, std::ostream& err, int& status);

}  // namespace orvu
