// The window's communication, as the worker runs it: each action's sequence of transactions in
// its order, over the state that only the worker touches, and what the window must show
// afterwards. Plain C++: no widget is touched here, the window applies the outcome.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "comm/endpoint.h"
#include "comm/udpdev.h"
#include "model/ctrlcfg.h"
#include "ui/comm_outcome.h"

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
  // The controllers every search also asks directly (behind a router), each at its address
  // and port; given to each endpoint the worker opens.
  std::vector<std::pair<std::string, uint16_t>> askedDirectly;
  // The first search could not be made yet (no endpoint: a port held by another program); the
  // first tick that opens the endpoint makes it.
  bool searchOwed = true;
  // The configuration as last read or taken in from the current controller. Its device part
  // and passage count are always the window's; the window adds only the user's edits of the
  // passages, which no job may see before the user writes them.
  CtrlConfig cfg;
};

// FormCreate (origin kStartup) and "Przeszukaj sieć": Search, then RefreshEthList.
LanOutcome SearchJob(CommState& state, FailureOrigin origin = FailureOrigin::kAction);
// Choosing line row of the Ethernet list.
LanOutcome SelectJob(CommState& state, int row);
// The poll tick.
TickOutcome TickJob(CommState& state);
// "Usuń nieaktywne": a poll tick, DelLost, ReadCfg.
TickOutcome DelLostJob(CommState& state);
// "Zastąp" with the pair the user saw, shownText being its text (Windows-1250). listFirst: the
// passages were written since the list was read, and a controller takes a written
// configuration as accepting its new devices, so the list is read again before the pair is
// checked.
LanOutcome ReplaceJob(CommState& state, int pair, const std::string& shownText,
                      bool listFirst = false);
// "Zapisz": writes cfg, the window's model with its edits, to the controller it was read from.
WriteOutcome WriteJob(CommState& state, const CtrlConfig& cfg, uint32_t controllerId);
// "www": the current device's page.
PageOutcome WwwJob(CommState& state);

// The Ethernet list's menu, on the device controllerId (its line when the user opened the menu).
// Each reads the controller into a configuration of its own: the window's stays as it is, but
// for a restore, whose controller becomes the current one, showing what it holds.
// "Kopia ustawień…": the controller as read now, written to path (UTF-8).
LanOutcome BackupJob(CommState& state, uint32_t controllerId, const std::string& path);
// "Przywróć z kopii…", first step: what restoring the file at path would change.
PreviewOutcome PreviewRestoreJob(CommState& state, uint32_t controllerId, const std::string& path);
// Its "Zapisz": the preview's plan written, provided the controller still gives the same plan,
// and read back.
RestoreOutcome RestoreJob(CommState& state, const RestorePreview& preview);
// "Porównaj z kopią…": the file at path against the controller as read now.
CompareOutcome CompareJob(CommState& state, uint32_t controllerId, const std::string& path);
// "Adresy kontrolerów za routerem…": the addresses every search also asks, then a search.
LanOutcome AskDirectlyJob(CommState& state, std::vector<std::pair<std::string, uint16_t>> targets);

}  // namespace orvu
