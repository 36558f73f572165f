// The handlers' communication sequences, run by the worker. Each reads like the handler it
// serves; what the handler showed is recorded in the job's result instead.
#include "ui/comm_jobs.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "comm/cp1250.h"
#include "comm/identity.h"
#include "commands/commands.h"

namespace orvu {

CommState::Registration::~Registration() { SetEndpoint(nullptr); }

CommState::CommState(EndpointFactory make) : makeEndpoint(std::move(make)) { Clear(cfg); }

namespace {

constexpr int kKeepAliveGroups = 5;

// The pair the user chose is sent only if the controller still offers it with the same
// meaning; a list read in between (the action's first step may read a changed one) must never
// turn the click into a replacement of other devices.
bool PairStillOffered(const CtrlConfig& cfg, ReplacePair pair, const std::string& shownText) {
  std::vector<ReplacePair> offered(kMaxReplacePairs);
  offered.resize(static_cast<size_t>(ReplacePairs(cfg, offered.data())));
  if (std::find(offered.begin(), offered.end(), pair) == offered.end()) return false;
  return PairText(cfg, pair) == shownText;
}

const std::string& PairGoneText() {
  static const std::string text =
      Cp1250FromUtf8("Wybrana para urządzeń nie jest już dostępna do zastąpienia.");
  return text;
}

const std::string& ControllerChangedText() {
  static const std::string text = Cp1250FromUtf8(
      "Wybrany kontroler zmienił się przed zapisem - konfiguracja nie została zapisana.");
  return text;
}

// One job's run: the state it works on and the result it builds.
class JobRun {
 public:
  explicit JobRun(CommState& state) : s_(state) {}

  JobResult Finish() {
    for (int i = 0; i < s_.devSet.count && i < UdpDevSet::kCapacity; ++i) {
      const UdpDev& dev = s_.devSet.dev[i];
      r_.devices.dev[i] = DevView{dev.id, dev.ip, dev.mode, dev.online};
    }
    r_.devices.count = s_.devSet.count;
    r_.devices.sel = s_.devSet.sel;
    if (r_.cfgChange != JobResult::CfgChange::kNone) r_.cfg = s_.cfg;
    return std::move(r_);
  }

  // Every handler that communicates runs its work inside this frame: a UErr becomes its
  // ErrText, any other error its own message.
  void ErrorFrame(Failure::Kind kind, const std::function<void()>& work) {
    const Failure::Kind outer = kind_;
    kind_ = kind;
    try {
      EnsureEndpoint();
      work();
    } catch (const UErr& err) {
      r_.failures.push_back({kind, true, err.dev ? err.dev->id : 0, err.code, ErrText(err)});
    } catch (const std::exception& err) {
      r_.failures.push_back({kind, false, 0, {}, err.what()});
    }
    kind_ = outer;
  }

  void Search() {
    ErrorFrame(Failure::Kind::kAction, [this] {
      s_.devSet.Search();
      RefreshEthList();
    });
  }

  void RefreshEthList() {
    UdpDevSet& set = s_.devSet;
    ListChange change;
    change.rebuild = true;
    for (int i = 0; i < set.count; ++i) change.lines.push_back(set.dev[i].ListText());
    if (set.count == 0) {
      r_.list.push_back(std::move(change));
      Redraw(JobResult::Redraw::kPassage);
      return;
    }
    if (UdpDev* current = set.Current()) {
      change.row = set.sel;
      r_.list.push_back(std::move(change));
      // The editor is enabled exactly while the model holds a passage.
      if (!(current->mode & kModeReadable) || current->HasForeignSession() ||
          s_.cfg.passageCount > 0) {
        Redraw(JobResult::Redraw::kPassage);
        return;
      }
      SelectController(set.sel);
      return;
    }
    change.row = 0;
    r_.list.push_back(std::move(change));
    SelectController(0);
  }

  void SelectController(int row) {
    UdpDevSet& set = s_.devSet;
    if (row < 0) return;
    if (row < set.count) set.sel = row;
    UdpDev* dev = set.Current();
    if (!dev) return;
    // Emptied before the query: should the newly chosen device not answer, the previous
    // controller's configuration must never be shown, compared or written as its own.
    Clear(s_.cfg);
    Replaced();
    ErrorFrame(kind_, [&] {
      if (!dev->Status()) throw UErr(*dev, ErrCode::kNoAnswer, 0);
      r_.list.push_back(ListChange{false, {}, set.sel, dev->ListText()});
      if (IsController(dev->id)) {
        if (!(dev->mode & kModeReadable)) throw UErr(*dev, ErrCode::kModeForbids, 0);
        ReadCfg(*dev, s_.cfg);
      }
    });
    Redraw(JobResult::Redraw::kTabs);
  }

  // The poll tick in its own frame; a tick that reaches its last step arms the error box
  // again and counts as a tick without failure for every device it visited.
  void Tick() {
    std::vector<uint32_t> visited;
    bool completed = false;
    ErrorFrame(Failure::Kind::kTick, [&] { completed = TickSteps(visited); });
    if (completed) {
      r_.tickCompleted = true;
      r_.tickedClean = std::move(visited);
    }
  }

  void DelLost() {
    ErrorFrame(Failure::Kind::kAction, [this] {
      CollectAndRefresh();
      Tick();  // its failures are its own; the deletion goes on in any case
      UdpDev* dev = CurrentDevice();
      if (!dev) return;
      orvu::DelLost(*dev);
      ReadCfg(*dev, s_.cfg);
      Replaced();
      Redraw(JobResult::Redraw::kDevPanel);
    });
  }

  void Replace(int pair, const std::string& shownText) {
    ErrorFrame(Failure::Kind::kAction, [&] {
      CollectAndRefresh();
      UdpDev* dev = CurrentDevice();
      if (!dev) return;
      if (pair < 0 || !PairStillOffered(s_.cfg, static_cast<ReplacePair>(pair), shownText))
        throw std::runtime_error(PairGoneText());
      orvu::Replace(*dev, static_cast<ReplacePair>(pair));
      ReadCfg(*dev, s_.cfg);
      Replaced();
      Redraw(JobResult::Redraw::kDevPanel);
    });
  }

  void Write(const CtrlConfig& cfg, uint32_t controllerId) {
    ErrorFrame(Failure::Kind::kAction, [&] {
      CollectAndRefresh();
      UdpDev* dev = CurrentDevice();
      // An empty model (nothing read, or a refused payload) is never written over a
      // controller's passages.
      if (!dev || cfg.passageCount == 0) return;
      if (dev->id != controllerId) throw std::runtime_error(ControllerChangedText());
      WriteCfg(*dev, cfg);
    });
  }

  void Www() {
    if (s_.devSet.count == 0) return;
    ErrorFrame(Failure::Kind::kAction, [this] {
      if (UdpDev* dev = CurrentDevice()) r_.url = "http://" + dev->IpText();
    });
  }

 private:
  bool TickSteps(std::vector<uint32_t>& visited) {
    UdpDevSet& set = s_.devSet;
    if (set.Collect(0)) RefreshEthList();
    if (set.count == 0) return false;
    UdpDev* dev = CurrentDevice();
    if (!dev) return false;
    const bool answered = dev->Status();
    visited.push_back(dev->id);
    if (dev->changed) RefreshEthList();
    dev = set.Current();
    if (dev && answered && IsController(dev->id) && CheckDevList(*dev, s_.cfg)) {
      if (s_.cfg.passageCount == 0) {
        ReadCfg(*dev, s_.cfg);
        Replaced();
        Redraw(JobResult::Redraw::kTabs);
      } else {
        if (r_.cfgChange == JobResult::CfgChange::kNone)
          r_.cfgChange = JobResult::CfgChange::kDevicePart;
        Redraw(JobResult::Redraw::kDevPanel);
      }
    }
    for (int i = s_.keepAlive.Group(); i < set.count; i += kKeepAliveGroups)
      visited.push_back(set.dev[i].id);
    s_.keepAlive.Tick(set);
    return true;
  }

  void EnsureEndpoint() {
    if (s_.udp) return;
    s_.udp = s_.makeEndpoint();
    SetEndpoint(s_.udp.get());
  }

  // The current device; with a non-empty set and no valid sel the list is refreshed first
  // (it selects item 0), rather than letting an action use a stale index.
  UdpDev* CurrentDevice() {
    if (!s_.devSet.Current() && s_.devSet.count > 0) RefreshEthList();
    return s_.devSet.Current();
  }

  void CollectAndRefresh() {
    if (s_.devSet.Collect(0)) RefreshEthList();
  }

  // The window's model is replaced by the one read: unsaved edits go with it.
  void Replaced() { r_.cfgChange = JobResult::CfgChange::kReplaced; }

  void Redraw(JobResult::Redraw redraw) { r_.redraw = std::max(r_.redraw, redraw); }

  CommState& s_;
  JobResult r_;
  Failure::Kind kind_ = Failure::Kind::kAction;
};

}  // namespace

JobResult SearchJob(CommState& state) {
  JobRun run(state);
  run.Search();
  return run.Finish();
}

JobResult SelectJob(CommState& state, int row) {
  JobRun run(state);
  run.SelectController(row);
  return run.Finish();
}

JobResult TickJob(CommState& state) {
  JobRun run(state);
  run.Tick();
  return run.Finish();
}

JobResult DelLostJob(CommState& state) {
  JobRun run(state);
  run.DelLost();
  return run.Finish();
}

JobResult ReplaceJob(CommState& state, int pair, const std::string& shownText) {
  JobRun run(state);
  run.Replace(pair, shownText);
  return run.Finish();
}

JobResult WriteJob(CommState& state, const CtrlConfig& cfg, uint32_t controllerId) {
  JobRun run(state);
  run.Write(cfg, controllerId);
  return run.Finish();
}

JobResult WwwJob(CommState& state) {
  JobRun run(state);
  run.Www();
  return run.Finish();
}

}  // namespace orvu
