// The devices a run of orvuq46-cli finds and the configuration it reads, choosing a controller
// in the steps the window takes when the installer clicks one.
#pragma once
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/orvuq46-cli/cli_values.h"
#include "commands/patient.h"
#include "comm/udpdev.h"
#include "model/ctrlcfg.h"

namespace orvu {

// Lives inside the endpoint's registration: its destruction closes every session opened
// during the run while the endpoint is still there to carry command 's'.
class CliLan {
 public:
  CliLan() : set_(std::make_unique<UdpDevSet>()), cfg_(std::make_unique<CtrlConfig>()) {}
  ~CliLan();
  CliLan(const CliLan&) = delete;
  CliLan& operator=(const CliLan&) = delete;

  UdpDevSet& Set() { return *set_; }
  CtrlConfig& Cfg() { return *cfg_; }

 private:
  std::unique_ptr<UdpDevSet> set_;
  std::unique_ptr<CtrlConfig> cfg_;
};

// One discovery, as the window's search button runs it.
void SearchOnce(UdpDevSet& set);
// Searches again while a search still brings new devices (a lost answer costs one device,
// not a silently incomplete archive); at most a few rounds.
void SearchUntilStable(UdpDevSet& set);

// The devices of the set that the target names (several when identities differ only in the
// suffix bits, which the name does not show).
std::vector<UdpDev*> FindTarget(UdpDevSet& set, const CliTarget& target);
// Searches until the target answers discovery or a few searches have passed.
std::vector<UdpDev*> SearchForTarget(UdpDevSet& set, const CliTarget& target);

// The error text of a target that no search found: code 1 for the name or address given.
std::string NotFoundText(const CliTarget& target);

// The notes of the patient commands (commands/patient.h), each as one line of err.
Notes NotesTo(std::ostream& err);

// Ends this tool's session with dev, querying the status again when a lost reply made the
// device look offline: a session left open would lock the controller for its idle time.
void CloseSessionPatiently(UdpDev& dev) noexcept;

}  // namespace orvu
