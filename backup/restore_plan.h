// Restoring a backup into a controller: every reference is mapped by device identity to the
// controller's current device index; the plan is refused, with every reason, when it cannot be
// written as the file says.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "backup/backup.h"
#include "backup/compare.h"

namespace orvu {

struct RestoreProblem {
  std::string pointer;  // into the backup file
  std::string reason;

  friend bool operator==(const RestoreProblem&, const RestoreProblem&) = default;
};

struct RestorePlan {
  std::vector<RestoreProblem> problems;  // empty: the plan may be written
  // The controller's configuration as read, with the passages of the file in place.
  std::unique_ptr<CtrlConfig> planned;
  std::vector<Difference> changes;  // current -> planned, per passage slot and field
  // Set when the file comes from another controller, whose own outputs, inputs and readers
  // this controller's take over.
  bool otherController = false;
};

// current: the controller's configuration just read; targetId: its network identity.
RestorePlan PlanRestore(const Backup& file, const CtrlConfig& current, uint32_t targetId);

// The passage payload the plan writes, for comparing with what is read back.
std::vector<uint8_t> PassagePayload(const CtrlConfig& cfg);

}  // namespace orvu
