// What a communication job hands back to the window: plain values, taken on the worker, that
// say what changed. Each job returns only what it can change; nothing is said twice.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "comm/failure_cause.h"
#include "comm/udpdev.h"
#include "model/ctrlcfg.h"
#include "ui/devset_view.h"

namespace orvu {

// backup/backup.h, whose member "slots" Qt's keywords would take: only the jobs read it.
struct Backup;

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
// longer offered, the controller to be written is no longer the current device, the device of a
// menu's line is gone, or the controller changed between a restore's preview and its "Zapisz".
enum class StaleChoice { kPairGone, kControllerChanged, kDeviceGone, kRestoreChanged };

// Any other error: what the user is told, the port it concerns, and its own words (UTF-8).
struct SystemFailure {
  FailureCause cause = FailureCause::kOther;
  uint16_t port = 0;
  std::string text;
};

// A backup file that could not be read, was refused, or could not be written.
struct FileFailure {
  std::string path;  // UTF-8
  enum class Step { kRead, kRefused, kWrite } step = Step::kRead;
  FailureCause cause = FailureCause::kOther;  // kRead, kWrite
  std::string text;  // the system's words, or the refusal's place and reason (UTF-8)
};

// A restore written but not verified: what the controller acknowledged and what reading back
// showed, with the differences (the file's -> the controller's) where one was read.
struct RestoreUnverified {
  std::string controller;  // its name (Windows-1250)
  std::string path;        // UTF-8
  std::optional<std::string> writeError;  // ErrText of a write not acknowledged
  enum class ReadBack { kHoldsFile, kHoldsOther, kFailed } readBack = ReadBack::kFailed;
  std::optional<std::string> readError;   // ErrText of a failed read-back
  std::vector<std::string> held;          // difference lines, UTF-8
};

struct Failure {
  FailureOrigin origin = FailureOrigin::kAction;
  std::variant<DeviceError, StaleChoice, SystemFailure, FileFailure, RestoreUnverified> what;
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

// What a restore would change, as the controller holds it now: the lines to show and the plan.
struct RestorePreview {
  uint32_t controllerId = 0;
  std::string controller;  // its name (Windows-1250)
  std::string path;        // UTF-8
  std::shared_ptr<const Backup> file;
  std::vector<std::string> problems;  // "pointer: reason": the file cannot be restored
  std::vector<std::string> changes;   // "where: old -> new"
  bool otherController = false;       // the file was taken from another controller,
  uint32_t fileControllerId = 0;      // this one
  std::shared_ptr<const CtrlConfig> planned;
};

// The menu's jobs on one line of the Ethernet list.
struct PreviewOutcome {
  LanOutcome lan;
  std::optional<RestorePreview> preview;
};
struct RestoreOutcome {
  LanOutcome lan;
  std::optional<std::string> verified;  // the controller's name: it holds the file's passages
};
// A comparison: the two sides described and the difference lines ("where: file -> controller").
struct Comparison {
  std::string fileSide, controllerSide;  // UTF-8
  std::vector<std::string> lines;
};
struct CompareOutcome {
  LanOutcome lan;
  std::optional<Comparison> comparison;
};

// "www": the page to open, when there is a current device.
struct PageOutcome {
  LanOutcome lan;
  std::string url;
};

}  // namespace orvu
