// Writing a file such as a report so that it is whole or, where at all possible, untouched.
//
// The bytes go to a temporary file beside the target, which is renamed over the target only
// once every write, the flush to disk and the close succeeded: a failure leaves neither a
// truncated file nor a damaged older one.
//
// Two targets are written in place instead:
// - an existing, writable regular file in a folder that forbids creating files (a shared folder
//   with a prepared file): there is no room for a temporary file, but the target takes the
//   bytes as a plain create-or-truncate would;
// - an existing target that is no regular file (a device, a pipe): renaming over it would
//   replace the device node or pipe with a plain file.
// Written in place, a target is touched only by Commit; a failure there may leave it damaged,
// and is reported like any other.
//
// A symbolic link to a regular file stays a link: the file it points to is replaced. A file the
// user may not write is not replaced either, as it could not be truncated.
//
// Every failure raises std::system_error with the errno of the failing call, so that callers
// can tell a missing folder from a full disk; its what() reads "cannot write PATH: reason".
#pragma once
#include <string>

namespace orvu {

class ReplacingFile {
 public:
  ReplacingFile() = default;
  ~ReplacingFile();  // without a Commit: removes the temporary file, leaves the target as it was
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Makes ready to write path: creates the temporary file, or opens the target for writing in
  // place without changing it yet.
  void Open(const std::string& path);
  // Writes all of bytes, flushes them to disk and puts them in place.
  void Commit(const std::string& bytes);

  bool WritesInPlace() const { return fd_ >= 0 && temp_.empty(); }

 private:
  void Discard();
  [[noreturn]] void Fail(int error);

  std::string path_;    // as the caller named it, for messages
  std::string target_;  // the file replaced: path_, or the regular file a link points to
  std::string temp_;    // empty when writing in place
  int fd_ = -1;
  bool regular_ = true;  // the file written is a regular file (flushed, cut to length)
};

// Open and Commit in one.
void WriteFileReplacing(const std::string& path, const std::string& bytes);

}  // namespace orvu
