// restore: the passages of a backup file written back into a controller, verified by reading
// them back. Success is only ever what the read-back shows: an acknowledgement alone proves
// nothing (it may be a late one), and a missing one leaves the outcome unknown.
#include <memory>

#include "app/orvuq46-cli/backup_files.h"
#include "app/orvuq46-cli/cli_commands.h"
#include "app/orvuq46-cli/cli_text.h"
#include "backup/restore_plan.h"
#include "commands/verified_write.h"
#include "comm/identity.h"

namespace orvu {
namespace {

// "What the file says -> what the controller holds", per slot and field.
void PutHeld(const CtrlConfig& planned, const CtrlConfig& held, uint32_t id, std::ostream& out) {
  const std::vector<Difference> differences =
      ComparePassages(BackupOf(planned, id, "", OperatingMode::kBlokada, ""),
                      BackupOf(held, id, "", OperatingMode::kBlokada, ""));
  out << "  (the file's -> the controller's)\n";
  for (const Difference& d : differences) out << "  " << DifferenceLine(d) << '\n';
}

}  // namespace

int RunRestore(const CliRequest& request, CliLan& lan, std::ostream& out, std::ostream& err) {
  int status = kExitOk;
  const std::optional<Backup> file = LoadBackup(request.file, err, status);
  if (!file) return status;
  UdpDev* found = ChooseAndRead(request, lan, err, status);
  if (!found) return status;
  UdpDev& dev = *found;
  const std::string name = Utf8(DevName(dev.id)) + " (" + dev.IpText() + ")";

  const RestorePlan plan = PlanRestore(*file, lan.Cfg(), dev.id);
  if (!plan.problems.empty()) {
    err << "orvuq46-cli: " << request.file << " cannot be restored into " << name << "; nothing was written:\n";
    for (const RestoreProblem& p : plan.problems) err << "  " << p.pointer << ": " << p.reason << '\n';
    return kExitRefused;
  }
  if (plan.otherController)
    out << "The file was taken from " << DevName(file->controllerId) << "; " << DevName(dev.id)
        << " takes its place (its own outputs, inputs and readers stand for the old one's).\n";
  if (plan.changes.empty()) {
    out << name << " already holds the passages of " << request.file << "; nothing to write.\n";
    return kExitOk;
  }
  out << "Changes to " << name << " (old -> new):\n";
  for (const Difference& change : plan.changes) out << "  " << DifferenceLine(change) << '\n';
  if (request.dryRun) {
    out << "Dry run: nothing written.\n";
    return kExitOk;
  }

  const CtrlConfig& planned = *plan.planned;
  const VerifiedWrite written = WriteAndReadBack(dev, planned, NotesTo(err));
  if (written.Verified()) {
    out << "Verified: " << name << " holds the passages of " << request.file << ".\n";
    return kExitOk;
  }
  if (written.writeError) {
    err << Utf8(written.writeError->text)
        << "orvuq46-cli: the write was not acknowledged: its outcome is unknown.\n";
  }
  switch (written.readBack) {
    case VerifiedWrite::ReadBack::kHoldsSent:
      err << "orvuq46-cli: read back, " << name << " holds the passages of the file; run the restore "
          << "again to confirm.\n";
      break;
    case VerifiedWrite::ReadBack::kHoldsOther:
      err << "orvuq46-cli: read back, " << name << " does not hold the passages of the file:\n";
      PutHeld(planned, *written.held, dev.id, err);
      break;
    case VerifiedWrite::ReadBack::kFailed:
      err << Utf8(written.readError->text) << "orvuq46-cli: reading back failed: the outcome is unknown. "
          << "Last read, before the write, " << name << " held:\n";
      PutHeld(planned, lan.Cfg(), dev.id, err);
      break;
  }
  if (written.writeError) return ExitStatusOf(written.writeError->code);
  return written.readBack == VerifiedWrite::ReadBack::kFailed ? ExitStatusOf(written.readError->code)
                                                             : kExitUnverified;
}

}  // namespace orvu
