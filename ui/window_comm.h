// The window's one owner of the communication: the worker, the jobs started whose outcome has
// not been applied yet, what those jobs hold back, and the device set as the last outcome left
// it. The window starts the user's actions here and wires the outcomes to its panels.
#pragma once
#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/ctrlcfg.h"
#include "ui/comm_jobs.h"
#include "ui/comm_outcome.h"
#include "ui/comm_worker.h"
#include "ui/devset_view.h"

namespace orvu {

// What the jobs pending hold back: controls that would start the same work again, or that
// would take edits or clicks a pending read would silently discard.
struct CommBusy {
  bool searching = false;  // "Przeszukaj sieć"
  bool opening = false;    // "www"
  bool rereading = false;  // a read that replaces the model: the device panel and the editor
  bool writing = false;    // "Zapisz"
  bool userWork = false;   // anything the user asked for and still waits for: the wait cursor
};

class WindowComm : public QObject {
  Q_OBJECT
 public:
  // kInline runs every job at once on this thread, its outcome applied before the call
  // returns (tests on a manual clock).
  // Runs what the worker still has to do, then closes every held session; always completes.
  // askedDirectly: the controllers every search also asks directly, from the first one on.
  WindowComm(EndpointFactory makeEndpoint, CommWorker::Mode mode,
             std::vector<std::pair<std::string, uint16_t>> askedDirectly, QObject* parent);
  ~WindowComm() override;

  // The actions, each a job on the worker in the order started.
  void StartUp();  // FormCreate: the first search and list refresh
  void Search();
  void Choose(int row);
  void Tick();  // passes while a tick still runs, so ticks never pile up behind a slow one
  void DeleteLost();
  // listFirst: see ReplaceJob.
  void Replace(int pair, std::string shownText, bool listFirst = false);
  // cfg, the model with its edits as they are now, to controllerId, the controller it was
  // read from; written only while that is still the current device.
  void Write(const CtrlConfig& cfg, uint32_t controllerId);
  void OpenPage();
  // The Ethernet list's menu (see the jobs of the same names).
  void Backup(uint32_t controllerId, std::string path);
  void PreviewRestore(uint32_t controllerId, std::string path);
  void Restore(RestorePreview preview);
  void Compare(uint32_t controllerId, std::string path);
  void AskDirectly(std::vector<std::pair<std::string, uint16_t>> targets);

  const DevSetView& Devices() const { return devices_; }
  CommBusy Busy() const;
  bool AnyPending() const;  // any job at all, ticks included
  bool ChoicePending() const;  // the user chose a line the worker has not read yet

  // Inline mode only: what the worker sees, for tests that arrange it.
  CommState& InlineState() { return worker_->InlineState(); }

 signals:
  // Each outcome is told in this order, for the jobs in the order they were started.
  void busyChanged();
  void lanChanged(const orvu::LanOutcome& lan);
  void tickEnded(const std::vector<uint32_t>& cleanVisit);
  // A write ended: the passages the controller acknowledged, or nothing when it did not.
  void writeEnded(const std::optional<orvu::CtrlConfig>& acknowledged);
  void failed(const orvu::Failure& failure);
  void pageOpened(const QString& url);
  void restorePreviewed(const orvu::RestorePreview& preview);
  void restoreVerified(const std::string& controller);
  void compared(const orvu::Comparison& comparison);

 private:
  // kFile: a menu's job that reads a controller for a file, the window's model untouched.
  enum class Job { kTick, kSearch, kSelect, kReread, kWrite, kWww, kFile, kCount };
  template <class Outcome>
  void Start(Job job, std::function<Outcome(CommState&)> run);
  template <class Between>
  void Tell(const LanOutcome& lan, Between between);
  void Deliver(const LanOutcome& lan);
  void Deliver(const TickOutcome& tick);
  void Deliver(const WriteOutcome& write);
  void Deliver(const PageOutcome& page);
  void Deliver(const PreviewOutcome& preview);
  void Deliver(const RestoreOutcome& restore);
  void Deliver(const CompareOutcome& compare);
  int& PendingCount(Job job) { return pending_[static_cast<int>(job)]; }
  bool Pending(Job job) const { return pending_[static_cast<int>(job)] > 0; }

  CommWorker* worker_;
  int pending_[static_cast<int>(Job::kCount)] = {};  // jobs started, outcome not applied
  DevSetView devices_;
};

}  // namespace orvu
