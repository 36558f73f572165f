// backup: a controller's configuration into a backup file, or every controller's into a
// directory.
#include <system_error>

#include "app/orvuq46-cli/backup_files.h"
#include "app/orvuq46-cli/cli_commands.h"
#include "app/orvuq46-cli/cli_text.h"
#include "app/orvuq46-cli/every_controller.h"
#include "backup/backup_file.h"
#include "comm/identity.h"
#include "model/replacing_file.h"

namespace orvu {

int RunBackup(const CliRequest& request, CliLan& lan, std::ostream&, std::ostream& err) {
  // The file first: a path that cannot be written fails before any controller is bothered.
  ReplacingFile file;
  try {
    file.Open(request.output);
  } catch (const std::system_error& e) {
    err << "orvuq46-cli: " << e.what() << '\n';
    return kExitFile;
  }
  int status = kExitOk;
  UdpDev* dev = ChooseAndRead(request, lan, err, status);
  if (!dev) return status;
  try {
    file.Commit(BackupFileText(BackupNow(*dev, lan.Cfg())));
  } catch (const std::system_error& e) {
    err << "orvuq46-cli: " << e.what() << '\n';
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
