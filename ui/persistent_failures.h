// One box per cause. A failure that lasts (the port stays held by another program, the
// computer stays off the network) is met again by every tick and by every start-up step; the
// user is told once, and told again only after it has gone away and come back.
#pragma once
#include <bitset>

#include "comm/failure_cause.h"

namespace orvu {

class PersistentFailures {
 public:
  // Whether a failure of this cause is to be shown. Work the user asked for (a click) always
  // shows its failure, so that no click fails silently; work the window does by itself
  // (start-up, a tick) shows a lasting cause only when the user has not been told of it yet.
  // Either way a lasting cause counts as told from here on.
  bool Show(FailureCause cause, bool askedByUser);
  // The work that met this cause has since succeeded: the failure has gone away.
  void Gone(FailureCause cause);

  // Whether the cause lasts until something outside changes (a port, an interface, a
  // firewall rule), rather than belonging to one attempt.
  static bool Lasting(FailureCause cause);

 private:
  std::bitset<static_cast<size_t>(FailureCause::kOther) + 1> told_;
};

}  // namespace orvu
