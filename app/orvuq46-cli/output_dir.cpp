#include "app/orvuq46-cli/output_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace orvu {

std::string PrepareOutputDir(const std::string& dir) {
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  // A path that exists as something else is reported below as "Not a directory".
  if (error && error != std::errc::file_exists && error != std::errc::not_a_directory) return error.message();
  struct stat st {};
  if (stat(dir.c_str(), &st) != 0) return std::strerror(errno);
  if (!S_ISDIR(st.st_mode)) return std::strerror(ENOTDIR);
  if (access(dir.c_str(), W_OK | X_OK) != 0) return std::strerror(errno);
  return {};
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  return dir.back() == '/' ? dir + name : dir + "/" + name;
}

}  // namespace orvu
