// The commands that write a controller's file: one controller into the file named by -o, or
// (--all) every controller found, read in turn, each into a file of its own in one directory;
// one that fails is reported and the others still get theirs.
#pragma once
#include <functional>
#include <ostream>
#include <string>

#include "app/orvuq46-cli/cli_args.h"
#include "app/orvuq46-cli/cli_lan.h"

namespace orvu {

struct ControllerFile {
  std::string name;       // UTF-8, without the extension; twins get their address appended
  std::string extension;  // ".txt"
  // Writes the file at path whole or not at all (WriteFileReplacing, WriteBackupFile); throws
  // std::system_error.
  std::function<void(const std::string& path)> write;
};

// The output file is opened first, so a path that cannot be written fails before any
// controller is bothered; then the controller is read and make's bytes replace the file.
int WriteForOneController(const CliRequest& request, CliLan& lan, std::ostream& err,
                          const std::function<std::string(UdpDev& dev, const CtrlConfig& cfg)>& make);

// noun names the files in the closing line ("reports"). make runs after the controller has
// been read into lan.Cfg(). Returns 0, the first failure's status, or 130 after Ctrl-C.
int WriteForEveryController(const CliRequest& request, CliLan& lan, std::ostream& err,
                            const std::string& noun,
                            const std::function<ControllerFile(UdpDev& dev, const CtrlConfig& cfg)>& make);

}  // namespace orvu
