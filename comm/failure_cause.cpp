#include "comm/failure_cause.h"

#include <cerrno>

namespace orvu {

FailureCause NetworkFailureCause(int error) {
  switch (error) {
    case EADDRINUSE:
      return FailureCause::kPortHeld;
    // No route for the broadcast, no interface up, or an address that no interface has.
    case ENETUNREACH:
    case ENETDOWN:
    case EHOSTUNREACH:
    case EADDRNOTAVAIL:
    case ENODEV:
      return FailureCause::kNoNetwork;
    // sendto() to a broadcast address: refused by a firewall rule (EPERM) or without the
    // socket's broadcast permission (EACCES).
    case EACCES:
    case EPERM:
      return FailureCause::kBroadcastRefused;
    default:
      return FailureCause::kOther;
  }
}

FailureCause FileFailureCause(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return FailureCause::kNoPermission;
    case ENOSPC:
    case EDQUOT:
      return FailureCause::kDiskFull;
    case ENOENT:
    case ENOTDIR:
      return FailureCause::kFolderMissing;
    case EROFS:
      return FailureCause::kReadOnlyMedium;
    default:
      return FailureCause::kOther;
  }
}

uint16_t PortOf(const std::exception& error, uint16_t fallback) {
  const auto* endpoint = dynamic_cast<const EndpointError*>(&error);
  return endpoint ? endpoint->port : fallback;
}

FailureCause CommFailureCause(const std::exception& error) {
  if (const auto* system = dynamic_cast<const std::system_error*>(&error)) {
    const std::error_category& category = system->code().category();
    if (category == std::generic_category() || category == std::system_category())
      return NetworkFailureCause(system->code().value());
  }
  return FailureCause::kOther;
}

}  // namespace orvu
