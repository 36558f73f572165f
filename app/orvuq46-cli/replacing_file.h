// A file that replaces its target only once every byte is on disk: written beside the target
// under a temporary name and renamed into place, so a failure never leaves a truncated report
// nor destroys the previous one.
#pragma once
#include <string>

namespace orvu {

class ReplacingFile {
 public:
  ReplacingFile() = default;
  ~ReplacingFile();  // removes the temporary file unless committed
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Creates the temporary file beside path. Empty on success, else the reason.
  std::string Open(const std::string& path);
  // Writes all of bytes, flushes them to disk and renames over path. Empty or the reason.
  std::string Commit(const std::string& bytes);

 private:
  void Discard();

  std::string path_;
  std::string temp_;
  int fd_ = -1;
};

// Open and Commit in one; empty on success, else "cannot write PATH: reason".
std::string WriteFileReplacing(const std::string& path, const std::string& bytes);

}  // namespace orvu
