#include "ui/persistent_failures.h"

namespace orvu {

bool PersistentFailures::Lasting(FailureCause cause) {
  return cause == FailureCause::kPortHeld || cause == FailureCause::kNoNetwork ||
         cause == FailureCause::kBroadcastRefused;
}

bool PersistentFailures::Show(FailureCause cause, bool askedByUser) {
  if (!Lasting(cause)) return true;
  const size_t bit = static_cast<size_t>(cause);
  const bool show = askedByUser || !told_[bit];
  told_[bit] = true;
  return show;
}

void PersistentFailures::Gone(FailureCause cause) { told_[static_cast<size_t>(cause)] = false; }

}  // namespace orvu
