// backup: a controller's configuration into a backup file, or every controller's into a
// directory.
#include "app/orvuq46-cli/backup_files.h"
#include "app/orvuq46-cli/cli_commands.h"
#include "app/orvuq46-cli/cli_text.h"
#include "app/orvuq46-cli/every_controller.h"
#include "app/orvuq46-cli/replacing_file.h"
#include "backup/backup_file.h"
#include "comm/identity.h"

namespace orvu {

int RunBackup(const CliRequest& request, CliLan& lan, std::ostream&, std::ostream& err) {
  // The file first: a path that cannot be written fails before any controller is bothered.
  ReplacingFile file;
  if (const std::string reason = file.Open(request.output); !reason.empty()) {
    err << "orvuq46-cli: cannot write " << request.output << ": " << reason << '\n';
    return kExitFile;
  }
  int status = kExitOk;
  UdpDev* dev = ChooseAndRead(request, lan, err, status);
  if (!dev) return status;
  if (const std::string reason = file.Commit(BackupFileText(BackupNow(*dev, lan.Cfg()))); !reason.empty()) {
    err << "orvuq46-cli: cannot write " << request.output << ": " << reason << '\n';
    return kExitFile;
  }
  return kExitOk;
}

int RunBackupAll(const CliRequest& request, CliLan& lan, std::ostream&, std::ostream& err) {
  return WriteForEveryController(request, lan, err, "backups", [](UdpDev& dev, const CtrlConfig& cfg) {
    return ControllerFile{Utf8(DevName(dev.id)), ".json", BackupFileText(BackupNow(dev, cfg))};
  });
}

}  // namespace orvu
