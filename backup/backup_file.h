// The backup file: JSON (UTF-8), versioned, described in docs/backup.md. Reading is strict: a
// damaged or inconsistently edited file is refused as a whole, with the JSON pointer of the
// first place found wrong and the reason, so that nothing of it is ever half applied.
#pragma once
#include <stdexcept>
#include <string>
#include <string_view>

#include "backup/backup.h"

namespace orvu {

inline constexpr int kBackupVersion = 1;
inline constexpr const char* kBackupFormat = "orvuq46-backup";

class BackupFileError : public std::runtime_error {
 public:
  BackupFileError(const std::string& pointer, const std::string& reason)
      : std::runtime_error((pointer.empty() ? std::string("(document)") : pointer) + ": " + reason),
        pointer(pointer),
        reason(reason) {}
  std::string pointer;  // RFC 6901; empty: the document as a whole
  std::string reason;
};

// The file's text, ending in a newline.
std::string BackupFileText(const Backup& backup);
// Throws BackupFileError.
Backup ParseBackupFile(std::string_view text);

// JSON pointer escaping of one reference token ('~' -> "~0", '/' -> "~1").
std::string PointerToken(std::string_view key);

}  // namespace orvu
