// backup: a controller's configuration into a backup file, or every controller's into a
// directory.
#include "app/orvuq46-cli/cli_commands.h"
#include "app/orvuq46-cli/cli_text.h"
#include "app/orvuq46-cli/every_controller.h"
#include "backup/backup_file.h"
#include "backup/backup_io.h"
#include "comm/identity.h"

namespace orvu {

int RunBackup(const CliRequest& request, CliLan& lan, std::ostream&, std::ostream& err) {
  return WriteForOneController(request, lan, err, [](UdpDev& dev, const CtrlConfig& cfg) {
    return BackupFileText(BackupNow(dev, cfg));
  });
}

int RunBackupAll(const CliRequest& request, CliLan& lan, std::ostream&, std::ostream& err) {
  return WriteForEveryController(request, lan, err, "backups", [](UdpDev& dev, const CtrlConfig& cfg) {
    return ControllerFile{Utf8(DevName(dev.id)), ".json", [backup = BackupNow(dev, cfg)](const std::string& path) {
                            WriteBackupFile(path, backup);
                          }};
  });
}

}  // namespace orvu
