// The window's communication, as the worker runs it: each handler's sequence of transactions
// in its order, over the state that only the worker touches, and what the window must show
// afterwards. Plain C++: no widget is touched here, the window applies the result.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "comm/endpoint.h"
#include "comm/udpdev.h"
#include "model/ctrlcfg.h"
#include "ui/devset_view.h"

namespace orvu {

// Makes the window's UDP endpoint. Called inside the error frame of the first job that needs
// the network, and again by later jobs while it keeps failing (a port held by another program
// may be released).
using EndpointFactory = std::function<std::unique_ptr<Endpoint>()>;

// Everything the communication worker owns. Members are destroyed bottom up: the device
// records (which close their sessions) before the endpoint, and the endpoint's registration
// last.
struct CommState {
  explicit CommState(EndpointFactory makeEndpoint);
  CommState(const CommState&) = delete;
  CommState& operator=(const CommState&) = delete;

  struct Registration {
    ~Registration();
  } registration;
  EndpointFactory makeEndpoint;
  std::unique_ptr<Endpoint> udp;
  UdpDevSet devSet;
  KeepAliveSchedule keepAlive;
  // The configuration as last read or taken in from the current controller. Its device part
  // and passage count are always the window's; the window's Cfg adds only the user's edits of
  // the passages, which no job may see before the user writes them.
  CtrlConfig cfg;
};

// One failure, caught in an error frame and turned into text on the worker (the error names a
// device record that only the worker may read).
struct Failure {
  enum class Kind { kAction, kTick };
  Kind kind = Kind::kAction;
  bool isUErr = false;
  uint32_t devId = 0;  // UErr only
  ErrCode code{};      // UErr only
  std::string text;    // Windows-1250: ErrText of a UErr, else the error's own message
};

// One change of the Ethernet list: the whole list rebuilt, or one line rewritten.
struct ListChange {
  bool rebuild = false;
  std::vector<std::string> lines;  // rebuild: every line, in set order
  int row = -1;                    // rebuild: the row selected (-1 none); else the line rewritten
  std::string line;                // the rewritten line
};

struct JobResult {
  enum class CfgChange { kNone, kDevicePart, kReplaced };
  enum class Redraw { kNone, kPassage, kDevPanel, kTabs };

  DevSetView devices;  // the device set as the job left it
  std::vector<ListChange> list;
  CfgChange cfgChange = CfgChange::kNone;
  std::optional<CtrlConfig> cfg;  // CommState::cfg as the job left it, when it changed
  Redraw redraw = Redraw::kNone;  // the widest redraw the sequence asked for
  std::vector<Failure> failures;  // in the order they happened
  bool tickCompleted = false;     // a poll tick reached its last step
  std::vector<uint32_t> tickedClean;  // devices such a tick visited
  std::string url;                // the web page to open
};

// FormCreate and "Przeszukaj sieć": Search, then RefreshEthList.
JobResult SearchJob(CommState& state);
// Choosing line row of the Ethernet list.
JobResult SelectJob(CommState& state, int row);
// The poll tick.
JobResult TickJob(CommState& state);
// "Usuń nieaktywne": a poll tick, DelLost, ReadCfg.
JobResult DelLostJob(CommState& state);
// "Zastąp" with the pair the user saw, shownText being its text (Windows-1250).
JobResult ReplaceJob(CommState& state, int pair, const std::string& shownText);
// "Zapisz": writes cfg, the window's model with its edits, to the controller it was read from.
JobResult WriteJob(CommState& state, const CtrlConfig& cfg, uint32_t controllerId);
// "www": the current device's page.
JobResult WwwJob(CommState& state);

}  // namespace orvu
