#include "ui/window_comm.h"

#include <memory>
#include <utility>

namespace orvu {

namespace {

std::unique_ptr<CommState> NewState(EndpointFactory makeEndpoint,
                                    std::vector<std::pair<std::string, uint16_t>> askedDirectly) {
  auto state = std::make_unique<CommState>(std::move(makeEndpoint));
  state->askedDirectly = std::move(askedDirectly);
  return state;
}

}  // namespace

WindowComm::WindowComm(EndpointFactory makeEndpoint, CommWorker::Mode mode,
                       std::vector<std::pair<std::string, uint16_t>> askedDirectly, QObject* parent)
    : QObject(parent),
      worker_(new CommWorker(NewState(std::move(makeEndpoint), std::move(askedDirectly)), mode,
                             this)) {}

WindowComm::~WindowComm() {
  // Every held session is closed before the endpoint goes; a close that fails is given up
  // (the controller ends an idle session by itself), so shutdown always completes.
  worker_->Finish([](CommState& state) { state.devSet.CloseAll(); });
}

template <class Outcome>
void WindowComm::Start(Job job, std::function<Outcome(CommState&)> run) {
  ++PendingCount(job);
  emit busyChanged();
  worker_->Start([this, job, run = std::move(run)](CommState& state) -> CommWorker::Apply {
    return [this, job, outcome = run(state)] {
      --PendingCount(job);
      emit busyChanged();
      Deliver(outcome);
    };
  });
}

// The device set first, then the outcome's own news, then what the job's own step told (a
// tick's end arms the box for the failures that follow it), then the failures.
template <class Between>
void WindowComm::Tell(const LanOutcome& lan, Between between) {
  devices_ = lan.devices;
  emit lanChanged(lan);
  between();
  for (const Failure& failure : lan.failures) emit failed(failure);
}

void WindowComm::Deliver(const LanOutcome& lan) {
  Tell(lan, [] {});
}

void WindowComm::Deliver(const TickOutcome& tick) {
  Tell(tick.lan, [&] {
    if (tick.cleanVisit) emit tickEnded(*tick.cleanVisit);
  });
}

void WindowComm::Deliver(const WriteOutcome& write) {
  Tell(write.lan, [&] { emit writeEnded(write.acknowledged); });
}

void WindowComm::Deliver(const PageOutcome& page) {
  Tell(page.lan, [] {});
  if (!page.url.empty()) emit pageOpened(QString::fromStdString(page.url));
}

void WindowComm::Deliver(const PreviewOutcome& preview) {
  Tell(preview.lan, [] {});
  if (preview.preview) emit restorePreviewed(*preview.preview);
}

void WindowComm::Deliver(const RestoreOutcome& restore) {
  Tell(restore.lan, [] {});
  if (restore.verified) emit restoreVerified(*restore.verified);
}

void WindowComm::Deliver(const CompareOutcome& compare) {
  Tell(compare.lan, [] {});
  if (compare.comparison) emit compared(*compare.comparison);
}

CommBusy WindowComm::Busy() const {
  CommBusy busy;
  busy.searching = Pending(Job::kSearch);
  busy.opening = Pending(Job::kWww);
  busy.rereading = Pending(Job::kSelect) || Pending(Job::kReread);
  busy.writing = Pending(Job::kWrite);
  for (int job = 0; job < static_cast<int>(Job::kCount); ++job)
    busy.userWork |= job != static_cast<int>(Job::kTick) && Pending(static_cast<Job>(job));
  return busy;
}

bool WindowComm::AnyPending() const {
  for (int n : pending_)
    if (n > 0) return true;
  return false;
}

bool WindowComm::ChoicePending() const { return Pending(Job::kSelect); }

void WindowComm::StartUp() {
  Start<LanOutcome>(Job::kSearch,
                    [](CommState& state) { return SearchJob(state, FailureOrigin::kStartup); });
}

void WindowComm::Search() {
  Start<LanOutcome>(Job::kSearch, [](CommState& state) { return SearchJob(state); });
}

void WindowComm::Choose(int row) {
  Start<LanOutcome>(Job::kSelect, [row](CommState& state) { return SelectJob(state, row); });
}

void WindowComm::Tick() {
  // While one tick still runs (a lossy link can take seconds), the timer's next events find it
  // pending and pass.
  if (Pending(Job::kTick)) return;
  Start<TickOutcome>(Job::kTick, [](CommState& state) { return TickJob(state); });
}

void WindowComm::DeleteLost() {
  Start<TickOutcome>(Job::kReread, [](CommState& state) { return DelLostJob(state); });
}

void WindowComm::Replace(int pair, std::string shownText, bool listFirst) {
  Start<LanOutcome>(Job::kReread, [pair, shown = std::move(shownText), listFirst](CommState& state) {
    return ReplaceJob(state, pair, shown, listFirst);
  });
}

void WindowComm::Write(const CtrlConfig& cfg, uint32_t controllerId) {
  // The model as it is now, edits included, travels by value: the worker never sees the
  // window's own copy.
  Start<WriteOutcome>(Job::kWrite, [cfg, controllerId](CommState& state) {
    return WriteJob(state, cfg, controllerId);
  });
}

void WindowComm::Backup(uint32_t controllerId, std::string path) {
  Start<LanOutcome>(Job::kFile, [controllerId, path = std::move(path)](CommState& state) {
    return BackupJob(state, controllerId, path);
  });
}

void WindowComm::PreviewRestore(uint32_t controllerId, std::string path) {
  Start<PreviewOutcome>(Job::kFile, [controllerId, path = std::move(path)](CommState& state) {
    return PreviewRestoreJob(state, controllerId, path);
  });
}

void WindowComm::Restore(RestorePreview preview) {
  Start<RestoreOutcome>(Job::kReread, [preview = std::move(preview)](CommState& state) {
    return RestoreJob(state, preview);
  });
}

void WindowComm::Compare(uint32_t controllerId, std::string path) {
  Start<CompareOutcome>(Job::kFile, [controllerId, path = std::move(path)](CommState& state) {
    return CompareJob(state, controllerId, path);
  });
}

void WindowComm::AskDirectly(std::vector<std::pair<std::string, uint16_t>> targets) {
  Start<LanOutcome>(Job::kSearch, [targets = std::move(targets)](CommState& state) mutable {
    return AskDirectlyJob(state, std::move(targets));
  });
}

void WindowComm::OpenPage() {
  if (devices_.count == 0) return;
  Start<PageOutcome>(Job::kWww, [](CommState& state) { return WwwJob(state); });
}

}  // namespace orvu
