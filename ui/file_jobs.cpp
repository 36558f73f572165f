// The Ethernet list menu's jobs, run by the worker: a controller read for its backup file, a
// restore previewed, then written and read back, a comparison with a file, and the addresses
// every search also asks directly.
#include "backup/backup_file.h"
#include "backup/backup_io.h"
#include "backup/compare.h"
#include "backup/restore_plan.h"
#include "commands/verified_write.h"
#include "ui/job_run.h"

namespace orvu {

UdpDev& JobRun::DeviceById(uint32_t id) {
  for (int i = 0; i < s_.devSet.count; ++i)
    if (s_.devSet.dev[i].id == id) return s_.devSet.dev[i];
  throw StaleChoiceError(StaleChoice::kDeviceGone);
}

CtrlConfig JobRun::ReadDevice(UdpDev& dev) {
  CtrlConfig cfg;
  const int row = static_cast<int>(&dev - s_.devSet.dev);
  ChooseController(dev, cfg, [&] { r_.list.push_back(LineRewritten{row, dev.ListText()}); });
  return cfg;
}

template <class Work>
bool JobRun::OnFile(const std::string& path, FileFailure::Step step, Work work) {
  try {
    work();
    return true;
  } catch (const BackupFileError& e) {
    Add(FailureOrigin::kAction, FileFailure{path, FileFailure::Step::kRefused, FailureCause::kOther, e.what()});
  } catch (const std::system_error& e) {
    Add(FailureOrigin::kAction, FileFailure{path, step, FileFailureCause(e.code().value()), e.code().message()});
  }
  return false;
}

std::optional<orvu::Backup> JobRun::ReadFile(const std::string& path) {
  std::optional<orvu::Backup> file;
  OnFile(path, FileFailure::Step::kRead, [&] { file = ReadBackupFile(path); });
  return file;
}

void JobRun::Backup(uint32_t id, const std::string& path) {
  ErrorFrame(FailureOrigin::kAction, [&] {
    CollectAndRefresh();
    UdpDev& dev = DeviceById(id);
    const CtrlConfig now = ReadDevice(dev);
    OnFile(path, FileFailure::Step::kWrite, [&] { WriteBackupFile(path, BackupNow(dev, now)); });
  });
}

std::optional<RestorePreview> JobRun::PreviewRestore(uint32_t id, const std::string& path) {
  std::optional<RestorePreview> preview;
  ErrorFrame(FailureOrigin::kAction, [&] {
    CollectAndRefresh();
    UdpDev& dev = DeviceById(id);
    std::optional<orvu::Backup> file = ReadFile(path);
    if (!file) return;
    const CtrlConfig now = ReadDevice(dev);
    RestorePlan plan = PlanRestore(*file, now, dev.id);
    RestorePreview shown;
    shown.controllerId = dev.id;
    shown.controller = DevName(dev.id);
    shown.path = path;
    for (const RestoreProblem& p : plan.problems) shown.problems.push_back(p.pointer + ": " + p.reason);
    for (const Difference& d : plan.changes) shown.changes.push_back(DifferenceLine(d));
    shown.otherController = plan.otherController;
    shown.fileControllerId = file->controllerId;
    shown.planned = std::move(plan.planned);
    shown.file = std::make_shared<const orvu::Backup>(std::move(*file));
    preview = std::move(shown);
  });
  return preview;
}

std::optional<std::string> JobRun::Restore(const RestorePreview& preview) {
  std::optional<std::string> verified;
  ErrorFrame(FailureOrigin::kAction, [&] {
    CollectAndRefresh();
    UdpDev& dev = DeviceById(preview.controllerId);
    const CtrlConfig now = ReadDevice(dev);
    // Written only as previewed: a controller changed since (another program, a bus that
    // moved) is shown again first.
    if (!preview.file) throw StaleChoiceError(StaleChoice::kRestoreChanged);
    const RestorePlan plan = PlanRestore(*preview.file, now, dev.id);
    if (!plan.problems.empty() || !plan.planned || !preview.planned ||
        !HoldsSent(*plan.planned, *preview.planned))
      throw StaleChoiceError(StaleChoice::kRestoreChanged);
    const VerifiedWrite written = WriteAndReadBack(dev, *plan.planned, {});
    // The window shows what the controller holds: the restored one becomes the current
    // controller. A read-back that failed leaves nothing to show rather than a guess.
    s_.devSet.sel = static_cast<int32_t>(&dev - s_.devSet.dev);
    if (written.held && written.readBack != VerifiedWrite::ReadBack::kFailed) s_.cfg = *written.held;
    else Clear(s_.cfg);
    Replaced(true);
    if (written.Verified()) {
      verified = DevName(dev.id);
      return;
    }
    RestoreUnverified told;
    told.controller = DevName(dev.id);
    told.path = preview.path;
    if (written.writeError) told.writeError = written.writeError->text;
    if (written.readError) told.readError = written.readError->text;
    told.readBack = written.readBack == VerifiedWrite::ReadBack::kHoldsSent ? RestoreUnverified::ReadBack::kHoldsFile
                    : written.readBack == VerifiedWrite::ReadBack::kHoldsOther ? RestoreUnverified::ReadBack::kHoldsOther
                                                                              : RestoreUnverified::ReadBack::kFailed;
    const CtrlConfig& held = written.held && told.readBack != RestoreUnverified::ReadBack::kFailed ? *written.held : now;
    for (const Difference& d : ComparePassages(BackupOf(*plan.planned, dev.id, "", OperatingMode::kBlokada, ""),
                                               BackupOf(held, dev.id, "", OperatingMode::kBlokada, "")))
      told.held.push_back(DifferenceLine(d));
    Add(FailureOrigin::kAction, std::move(told));
  });
  return verified;
}

std::optional<Comparison> JobRun::Compare(uint32_t id, const std::string& path) {
  std::optional<Comparison> comparison;
  ErrorFrame(FailureOrigin::kAction, [&] {
    CollectAndRefresh();
    UdpDev& dev = DeviceById(id);
    std::optional<orvu::Backup> file = ReadFile(path);
    if (!file) return;
    const orvu::Backup controller = BackupNow(dev, ReadDevice(dev));
    Comparison c;
    c.fileSide = path + " (" + DevName(file->controllerId) + ", " + file->taken + ")";
    c.controllerSide = DevName(dev.id) + ", " + dev.IpText() + " (" + controller.taken + ")";
    for (const Difference& d : CompareBackups(*file, controller)) c.lines.push_back(DifferenceLine(d));
    comparison = std::move(c);
  });
  return comparison;
}

void JobRun::AskDirectly(std::vector<std::pair<std::string, uint16_t>> targets) {
  s_.askedDirectly = std::move(targets);
  if (s_.udp) s_.udp->SetAskedDirectly(s_.askedDirectly);
  Search(FailureOrigin::kAction);
}

LanOutcome BackupJob(CommState& state, uint32_t controllerId, const std::string& path) {
  JobRun run(state);
  run.Backup(controllerId, path);
  return run.Finish();
}

PreviewOutcome PreviewRestoreJob(CommState& state, uint32_t controllerId, const std::string& path) {
  JobRun run(state);
  std::optional<RestorePreview> preview = run.PreviewRestore(controllerId, path);
  return PreviewOutcome{run.Finish(), std::move(preview)};
}

RestoreOutcome RestoreJob(CommState& state, const RestorePreview& preview) {
  JobRun run(state);
  std::optional<std::string> verified = run.Restore(preview);
  return RestoreOutcome{run.Finish(), std::move(verified)};
}

CompareOutcome CompareJob(CommState& state, uint32_t controllerId, const std::string& path) {
  JobRun run(state);
  std::optional<Comparison> comparison = run.Compare(controllerId, path);
  return CompareOutcome{run.Finish(), std::move(comparison)};
}

LanOutcome AskDirectlyJob(CommState& state, std::vector<std::pair<std::string, uint16_t>> targets) {
  JobRun run(state);
  run.AskDirectly(std::move(targets));
  return run.Finish();
}

}  // namespace orvu
