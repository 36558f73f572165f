// What a communication job hands back to the window: plain values, taken on the worker, that
// say what changed. Each job returns only what it can change; nothing is said twice.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "comm/failure_cause.h"
#include "comm/udpdev.h"
#include "model/ctrlcfg.h"
#include "ui/devset_view.h"

namespace orvu {

// --- Failures: taken apart on the worker (an error names a device record that only the worker
// may read); the window words them. ---

// Who met the failure: the user's click, start-up (FormCreate, which the window met by itself,
// as it meets a tick's) or a poll tick.
enum class FailureOrigin { kStartup, kAction, kTick };

// A UErr: the device, the code, the command, and its ErrText (Windows-1250).
struct DeviceError {
  uint32_t devId = 0;
  ErrCode code{};
  uint8_t cmd = 0;
  std::string text;
};

// A choice of the user that went stale while the action waited: the replacement pair is no
// longer offered, or the controller to be written is no longer the current device.
enum class StaleChoice { kPairGone, kControllerChanged };

// Any other error: what the user is told, the port it concerns, and its own words (UTF-8).
struct SystemFailure {
  FailureCause cause = FailureCause::kOther;
  uint16_t port = 0;
  std::string text;
};

struct Failure {
  FailureOrigin origin = FailureOrigin::kAction;
  std::variant<DeviceError, StaleChoice, SystemFailure> what;
};

// --- The Ethernet list ---

// Every line, in set order, with the row selected (-1 none).
struct ListRebuilt {
  std::vector<std::string> lines;
  int row = -1;
};
// One line written again (the device's mode or state changed).
struct LineRewritten {
  int row = -1;
  std::string line;
};
using ListChange = std::variant<ListRebuilt, LineRewritten>;

// --- The controller's configuration, and so how much of the window is drawn again ---

// The configuration stays; redraw: the list changed, so the editor is drawn again in the mode
// the current controller has now.
struct ConfigKept {
  bool redraw = false;
};
// The poll tick read the device list again: the window takes the device part and keeps the
// user's edits of the passages.
struct DeviceListReread {
  CtrlConfig cfg;
};
// The configuration was emptied or read anew: it replaces the window's, edits and all.
// firstPassage: a controller was chosen (again), so the editor starts at its first passage;
// otherwise the same controller was read again after a command, and the tab stays.
struct ConfigReplaced {
  CtrlConfig cfg;
  bool firstPassage = false;
};
using ConfigChange = std::variant<ConfigKept, DeviceListReread, ConfigReplaced>;

// --- Results ---

// What any job can change: each may refresh the list, and a refreshed list may choose and read
// a controller.
struct LanOutcome {
  DevSetView devices;  // the device set as the job left it
  std::vector<ListChange> list;
  ConfigChange cfg;
  std::vector<Failure> failures;  // in the order they happened
  bool endpointOpen = false;      // the endpoint exists: no port is held against it now
  bool searched = false;          // a search went out: the network was there
};

// A poll tick's (also "Usuń nieaktywne"'s, which runs one): when it reached its last step,
// the devices it visited, which had a tick without failure.
struct TickOutcome {
  LanOutcome lan;
  std::optional<std::vector<uint32_t>> cleanVisit;
};

// "Zapisz": the passages the controller acknowledged, when it did (the copy the window sent).
struct WriteOutcome {
  LanOutcome lan;
  std::optional<CtrlConfig> acknowledged;
};

// "www": the page to open, when there is a current device.
struct PageOutcome {
  LanOutcome lan;
  std::string url;
};

}  // namespace orvu
