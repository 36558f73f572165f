// diff: two configurations, each a backup file or a controller read now, compared per bus
// device and per passage slot. Exit status as diff's: 0 equal, 1 different, 2 trouble.
#include <sys/stat.h>

#include "app/orvuq46-cli/backup_files.h"
#include "app/orvuq46-cli/cli_commands.h"
#include "app/orvuq46-cli/cli_text.h"
#include "backup/backup_io.h"
#include "backup/compare.h"
#include "comm/identity.h"

namespace orvu {
namespace {

constexpr int kDiffEqual = 0;
constexpr int kDiffDifferent = 1;
constexpr int kDiffTrouble = 2;

struct Side {
  Backup backup;
  std::string description;
};

bool IsFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

// A path that exists is a file (a file named like a controller included); anything else must
// name a controller.
std::optional<Side> Load(const std::string& operand, const CliRequest& request, CliLan& lan, std::ostream& err) {
  int status = kExitOk;
  if (IsFile(operand)) {
    std::optional<Backup> backup = LoadBackup(operand, err, status);
    if (!backup) return std::nullopt;
    const std::string description = operand + " (" + DevName(backup->controllerId) + ", taken " + backup->taken + ")";
    return Side{std::move(*backup), description};
  }
  const std::optional<CliTarget> target = ParseTarget(operand);
  if (!target) {
    err << "orvuq46-cli: '" << operand << "' is neither a file nor a device name such as K46_00125 or an "
        << "IPv4 address\n";
    return std::nullopt;
  }
  CliRequest one = request;
  one.target = target;
  try {
    UdpDev* dev = ChooseAndRead(one, lan, err, status);
    if (!dev) return std::nullopt;
    Backup backup = BackupNow(*dev, lan.Cfg());
    const std::string description = Utf8(DevName(dev->id)) + " at " + dev->IpText() + " (read " + backup.taken + ")";
    return Side{std::move(backup), description};
  } catch (const UErr& e) {
    Put(err, ErrText(e));
    return std::nullopt;
  }
}

}  // namespace

int RunDiff(const CliRequest& request, CliLan& lan, std::ostream& out, std::ostream& err) {
  const std::optional<Side> a = Load(request.compared[0], request, lan, err);
  if (!a) return kDiffTrouble;
  const std::optional<Side> b = Load(request.compared[1], request, lan, err);
  if (!b) return kDiffTrouble;
  const std::vector<Difference> differences = CompareBackups(a->backup, b->backup);
  if (differences.empty()) return kDiffEqual;
  out << "A: " << a->description << "\nB: " << b->description << '\n';
  for (const Difference& d : differences) out << DifferenceLine(d) << '\n';
  return kDiffDifferent;
}

}  // namespace orvu
