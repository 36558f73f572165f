// The command line of orvuq46-cli as a plain record, and the usage error that stops a run
// before anything is sent.
#pragma once
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/orvuq46-cli/cli_values.h"

namespace orvu {

enum class CliCommand { kNone, kDiscover, kShow, kReport, kBackup, kRestore, kDiff };

struct CliRequest {
  CliCommand command = CliCommand::kNone;
  bool help = false;
  bool json = false;
  bool all = false;
  bool dryRun = false;   // restore --dry-run
  bool interfaces = false;  // discover --interfaces: where a search sends, without searching
  std::optional<CliTarget> target;
  std::string output;    // report/backup TARGET -o FILE
  std::string dir;       // report/backup --all --dir DIR
  std::string file;      // restore TARGET FILE
  std::vector<std::string> compared;  // diff A B: each a backup file or a controller
  std::string location;  // UTF-8 as typed
  std::optional<ReportDate> date;
};

class UsageError : public std::runtime_error {
 public:
  UsageError(const std::string& message, CliCommand command)
      : std::runtime_error(message), command(command) {}
  CliCommand command;  // whose help the error points to
};

// Throws UsageError for anything it does not accept; --help anywhere wins over the rest.
CliRequest ParseCliArgs(const std::vector<std::string>& args);

// The help text of a command (kNone: the whole program), and the one line a usage error
// ends with.
std::string HelpText(CliCommand command);
std::string HelpHint(CliCommand command);

}  // namespace orvu
