// restore: the passages of a backup file written back into a controller, verified by reading
// them back. Success is only ever what the read-back shows: an acknowledgement alone proves
// nothing (it may be a late one), and a missing one leaves the outcome unknown.
#include <memory>

#include "app/orvuq46-cli/backup_files.h"
#include "app/orvuq46-cli/cli_commands.h"
#include "app/orvuq46-cli/cli_text.h"
#include "backup/restore_plan.h"
#include "commands/commands.h"
#include "comm/identity.h"

namespace orvu {
namespace {

// A read-back that differs may be a late reply to the read before the write; a few more reads
// tell a stale reply from a controller that really holds something else.
constexpr int kReadBackAttempts = 3;
constexpr int kWriteAttempts = 3;

struct ReadBack {
  enum class Outcome { kHoldsSent, kHoldsOther, kFailed } outcome = Outcome::kFailed;
  std::unique_ptr<CtrlConfig> last;  // the last configuration read back, if any
  std::string error;                 // kFailed: the error text (UTF-8)
  int status = 0;                    // kFailed: its exit status
};

// Holds what was sent only with the same devices at the same indices: the references sent
// are indices, and mean what the file says only over the list they were mapped onto.
bool HoldsSent(const CtrlConfig& back, const CtrlConfig& planned) {
  if (back.deviceCount != planned.deviceCount) return false;
  for (int i = 0; i < back.deviceCount && i < kMaxDevices; ++i)
    if (back.devices[i].id != planned.devices[i].id) return false;
  return PassagePayload(back) == PassagePayload(planned);
}

ReadBack ReadBackPassages(UdpDev& dev, const CtrlConfig& planned, std::ostream& err) {
  ReadBack result;
  for (int attempt = 0; attempt < kReadBackAttempts; ++attempt) {
    auto back = std::make_unique<CtrlConfig>();
    try {
      ReadControllerPatiently(dev, *back, err);
    } catch (const UErr& e) {
      if (!result.last) {
        result.error = Utf8(ErrText(e));
        result.status = ExitStatusOf(e);
      }
      return result;
    }
    const bool holdsSent = HoldsSent(*back, planned);
    result.outcome = holdsSent ? ReadBack::Outcome::kHoldsSent : ReadBack::Outcome::kHoldsOther;
    result.last = std::move(back);
    if (holdsSent) break;
  }
  return result;
}

// A write that failed before its request went out (no answer to the status query, or a seed
// that did not arrive) changed nothing, so it is tried again; once the request may have gone
// out, the failure is final and only the read-back can tell.
void WritePatiently(UdpDev& dev, const CtrlConfig& planned, std::ostream& err) {
  for (int attempt = 1;; ++attempt) {
    try {
      WriteCfg(dev, planned);
      return;
    } catch (const UErr& e) {
      const bool notSent = e.cmd != kCmdWritePassages && (e.code == ErrCode::kNoAnswer || e.code == ErrCode::kSessionRefused);
      if (attempt == kWriteAttempts || !notSent) throw;
      err << "orvuq46-cli: " << DevName(dev.id) << ", " << dev.IpText() << ": error " << e.code
          << " before the write, trying again\n";
    }
  }
}

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
  std::string writeError;
  int writeStatus = kExitOk;
  try {
    WritePatiently(dev, planned, err);
  } catch (const UErr& e) {
    writeError = Utf8(ErrText(e));
    writeStatus = ExitStatusOf(e);
  }
  const ReadBack back = ReadBackPassages(dev, planned, err);

  if (writeStatus == kExitOk && back.outcome == ReadBack::Outcome::kHoldsSent) {
    out << "Verified: " << name << " holds the passages of " << request.file << ".\n";
    return kExitOk;
  }
  if (writeStatus != kExitOk) {
    err << writeError << "orvuq46-cli: the write was not acknowledged: its outcome is unknown.\n";
  }
  switch (back.outcome) {
    case ReadBack::Outcome::kHoldsSent:
      err << "orvuq46-cli: read back, " << name << " holds the passages of the file; run the restore "
          << "again to confirm.\n";
      break;
    case ReadBack::Outcome::kHoldsOther:
      err << "orvuq46-cli: read back, " << name << " does not hold the passages of the file:\n";
      PutHeld(planned, *back.last, dev.id, err);
      break;
    case ReadBack::Outcome::kFailed:
      err << back.error << "orvuq46-cli: reading back failed: the outcome is unknown. Last read, before "
          << "the write, " << name << " held:\n";
      PutHeld(planned, lan.Cfg(), dev.id, err);
      break;
  }
  if (writeStatus != kExitOk) return writeStatus;
  return back.outcome == ReadBack::Outcome::kFailed ? back.status : kExitUnverified;
}

}  // namespace orvu
