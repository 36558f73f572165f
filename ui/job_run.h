// How one job of the window's communication runs: the state it works on, the error frame of
// every action, the steps the actions share (the list refreshed, a controller chosen, the tick)
// and the outcome it builds. Private to the jobs: ui/comm_jobs.cpp runs the buttons' and the
// tick's, ui/file_jobs.cpp the Ethernet list menu's, which work on files.
#pragma once
#include <algorithm>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "comm/identity.h"
#include "commands/choose_controller.h"
#include "commands/commands.h"
#include "ui/comm_jobs.h"

namespace orvu {

// The pair the user chose is sent only if the controller still offers it with the same
// meaning; a list read in between (the action's first step may read a changed one) must never
// turn the click into a replacement of other devices.
inline bool PairStillOffered(const CtrlConfig& cfg, ReplacePair pair, const std::string& shownText) {
  std::vector<ReplacePair> offered(kMaxReplacePairs);
  offered.resize(static_cast<size_t>(ReplacePairs(cfg, offered.data())));
  if (std::find(offered.begin(), offered.end(), pair) == offered.end()) return false;
  return PairText(cfg, pair) == shownText;
}

// A choice of the user that went stale, raised inside an action's frame.
class StaleChoiceError : public std::exception {
 public:
  explicit StaleChoiceError(StaleChoice which) : which(which) {}
  const char* what() const noexcept override { return "stale choice"; }
  StaleChoice which;
};

// One job's run: the state it works on and the outcome it builds.
class JobRun {
 public:
  explicit JobRun(CommState& state) : s_(state) {}

  LanOutcome Finish() {
    for (int i = 0; i < s_.devSet.count && i < UdpDevSet::kCapacity; ++i) {
      const UdpDev& dev = s_.devSet.dev[i];
      r_.devices.dev[i] = DevView{dev.id, dev.ip, dev.mode, dev.online};
    }
    r_.devices.count = s_.devSet.count;
    r_.devices.sel = s_.devSet.sel;
    switch (change_) {
      case Change::kKept: r_.cfg = ConfigKept{redraw_}; break;
      case Change::kDevicePart: r_.cfg = DeviceListReread{s_.cfg}; break;
      case Change::kReplaced: r_.cfg = ConfigReplaced{s_.cfg, firstPassage_}; break;
    }
    r_.endpointOpen = s_.udp != nullptr;
    return std::move(r_);
  }

  TickOutcome FinishTick() {
    TickOutcome outcome{Finish(), std::move(cleanVisit_)};
    return outcome;
  }

  // Every action that communicates runs its work inside this frame: a UErr becomes its
  // ErrText, any other error its cause and its own words.
  void ErrorFrame(FailureOrigin origin, const std::function<void()>& work) {
    const FailureOrigin outer = origin_;
    origin_ = origin;
    try {
      EnsureEndpoint();
      work();
    } catch (const UErr& err) {
      Add(origin, DeviceError{err.dev ? err.dev->id : 0, err.code, err.cmd, ErrText(err)});
    } catch (const StaleChoiceError& err) {
      Add(origin, err.which);
    } catch (const std::exception& err) {
      Add(origin, SystemFailure{CommFailureCause(err), PortOf(err, kUdpPort), err.what()});
    }
    origin_ = outer;
  }

  void Search(FailureOrigin origin) {
    ErrorFrame(origin, [this] { SearchSteps(); });
  }

  void RefreshEthList() {
    UdpDevSet& set = s_.devSet;
    ListRebuilt change;
    for (int i = 0; i < set.count; ++i) change.lines.push_back(set.dev[i].ListText());
    if (set.count == 0) {
      r_.list.push_back(std::move(change));
      RedrawEditor();
      return;
    }
    if (UdpDev* current = set.Current()) {
      change.row = set.sel;
      r_.list.push_back(std::move(change));
      // The editor is enabled exactly while the model holds a passage.
      if (!ConfigReadable(ModeOf(current->mode)) || current->HasForeignSession() ||
          s_.cfg.passageCount > 0) {
        RedrawEditor();
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
    // Emptied before anything can fail, the opening of the endpoint included: the previous
    // controller's configuration must never be shown, compared or written as this one's.
    Clear(s_.cfg);
    Replaced(true);
    ErrorFrame(origin_, [&] {
      ChooseController(*dev, s_.cfg,
                       [&] { r_.list.push_back(LineRewritten{set.sel, dev->ListText()}); });
    });
  }

  // The poll tick in its own frame; a tick that reaches its last step arms the error box
  // again and counts as a tick without failure for every device it visited.
  void Tick() {
    std::vector<uint32_t> visited;
    bool completed = false;
    ErrorFrame(FailureOrigin::kTick, [&] {
      if (s_.searchOwed) SearchSteps();  // the port has come free since start-up
      completed = TickSteps(visited);
    });
    if (completed) cleanVisit_ = std::move(visited);
  }

  void DelLost() {
    ErrorFrame(FailureOrigin::kAction, [this] {
      CollectAndRefresh();
      Tick();  // its failures are its own; the deletion goes on in any case
      UdpDev* dev = CurrentDevice();
      if (!dev) return;
      orvu::DelLost(*dev);
      ReadCfg(*dev, s_.cfg);
      Replaced(false);
    });
  }

  void Replace(int pair, const std::string& shownText, bool listFirst) {
    ErrorFrame(FailureOrigin::kAction, [&] {
      CollectAndRefresh();
      UdpDev* dev = CurrentDevice();
      if (!dev) return;
      if (listFirst && dev->Status() && CheckDevList(*dev, s_.cfg) && change_ == Change::kKept)
        change_ = Change::kDevicePart;
      if (pair < 0 || !PairStillOffered(s_.cfg, static_cast<ReplacePair>(pair), shownText))
        throw StaleChoiceError(StaleChoice::kPairGone);
      orvu::Replace(*dev, static_cast<ReplacePair>(pair));
      ReadCfg(*dev, s_.cfg);
      Replaced(false);
    });
  }

  // True when the controller acknowledged the write.
  bool Write(const CtrlConfig& cfg, uint32_t controllerId) {
    bool acknowledged = false;
    ErrorFrame(FailureOrigin::kAction, [&] {
      CollectAndRefresh();
      UdpDev* dev = CurrentDevice();
      // An empty model (nothing read, or a refused payload) is never written over a
      // controller's passages.
      if (!dev || cfg.passageCount == 0) return;
      if (dev->id != controllerId) throw StaleChoiceError(StaleChoice::kControllerChanged);
      WriteCfg(*dev, cfg);
      acknowledged = true;
    });
    return acknowledged;
  }

  // The Ethernet list's menu (ui/file_jobs.cpp).
  void Backup(uint32_t id, const std::string& path);
  std::optional<RestorePreview> PreviewRestore(uint32_t id, const std::string& path);
  std::optional<std::string> Restore(const RestorePreview& preview);
  std::optional<Comparison> Compare(uint32_t id, const std::string& path);
  void AskDirectly(std::vector<std::pair<std::string, uint16_t>> targets);

  std::string Www() {
    std::string url;
    if (s_.devSet.count == 0) return url;
    ErrorFrame(FailureOrigin::kAction, [&] {
      if (UdpDev* dev = CurrentDevice()) url = "http://" + dev->IpText();
    });
    return url;
  }

 private:
  enum class Change { kKept, kDevicePart, kReplaced };

  template <class What>
  void Add(FailureOrigin origin, What what) {
    Failure& failure = r_.failures.emplace_back();
    failure.origin = origin;
    failure.what.template emplace<What>(std::move(what));
  }

  void SearchSteps() {
    s_.searchOwed = false;
    s_.devSet.Search();
    r_.searched = true;
    RefreshEthList();
  }

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
        Replaced(true);
      } else if (change_ == Change::kKept) {
        change_ = Change::kDevicePart;
      }
    }
    const std::vector<uint32_t> keptAlive = s_.keepAlive.Tick(set);
    visited.insert(visited.end(), keptAlive.begin(), keptAlive.end());
    return true;
  }

  void EnsureEndpoint() {
    if (s_.udp) return;
    s_.udp = s_.makeEndpoint();
    s_.udp->SetAskedDirectly(s_.askedDirectly);
    SetEndpoint(s_.udp.get());
  }

  // The device of a menu's line, found by its identity (the list may have moved meanwhile).
  UdpDev& DeviceById(uint32_t id);
  // The device read into a configuration of its own, as choosing it reads it; its line shows
  // the status it answered.
  CtrlConfig ReadDevice(UdpDev& dev);
  // Runs work on the file at path; a failure of the file is told as the file's.
  template <class Work>
  bool OnFile(const std::string& path, FileFailure::Step step, Work work);
  std::optional<orvu::Backup> ReadFile(const std::string& path);

  // The current device; with a non-empty set and no valid sel the list is refreshed first
  // (it selects item 0), rather than letting an action use a stale index.
  UdpDev* CurrentDevice() {
    if (!s_.devSet.Current() && s_.devSet.count > 0) RefreshEthList();
    return s_.devSet.Current();
  }

  void CollectAndRefresh() {
    if (s_.devSet.Collect(0)) RefreshEthList();
  }

  // The window's model is replaced by the one read: unsaved edits go with it. A controller
  // chosen anywhere in the sequence starts the editor at its first passage.
  void Replaced(bool firstPassage) {
    change_ = Change::kReplaced;
    firstPassage_ = firstPassage_ || firstPassage;
  }

  void RedrawEditor() { redraw_ = true; }

  CommState& s_;
  LanOutcome r_;
  FailureOrigin origin_ = FailureOrigin::kAction;
  Change change_ = Change::kKept;
  bool firstPassage_ = false;
  bool redraw_ = false;
  std::optional<std::vector<uint32_t>> cleanVisit_;
};

}  // namespace orvu
