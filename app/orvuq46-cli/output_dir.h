// The directory the --all commands write into: created (with its parents) when missing.
#pragma once
#include <string>

namespace orvu {

// Empty when dir exists, or has been created, as a directory this program may write into;
// otherwise the reason.
std::string PrepareOutputDir(const std::string& dir);
// dir + "/" + name, without doubling a trailing slash.
std::string JoinPath(const std::string& dir, const std::string& name);

}  // namespace orvu
