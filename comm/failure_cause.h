// Why an operation failed, in terms a user can act on. The window words every cause in Polish
// (ui/error_texts), orvuq46-cli in English; both ask here which cause it is, so that the two
// never tell the same failure apart differently.
#pragma once
#include <cstdint>
#include <exception>
#include <string>
#include <system_error>
#include <utility>

namespace orvu {

enum class FailureCause {
  kPortHeld,          // the UDP port is bound by another program
  kNoNetwork,         // no interface up with a route to send on
  kBroadcastRefused,  // the system refused the broadcast (a firewall rule)
  kNoPermission,      // the file or its folder may not be written by this user
  kDiskFull,
  kFolderMissing,
  kReadOnlyMedium,
  kOther,
};

// A failure of the UDP endpoint: the errno of the call and the address it was about (the
// local address for a bind, the destination for a send). what() names both.
class EndpointError : public std::system_error {
 public:
  EndpointError(int error, const std::string& what, std::string ip, uint16_t port)
      : std::system_error(error, std::generic_category(), what), ip(std::move(ip)), port(port) {}
  std::string ip;
  uint16_t port;
};

// The cause of a failed socket call, from its errno.
FailureCause NetworkFailureCause(int error);
// The cause of a file that could not be created or written, from its errno.
FailureCause FileFailureCause(int error);
// The cause of an error object that escaped communication work (the window's error frame, a
// command of orvuq46-cli): a system error by the network rule, anything else kOther. A file
// writer's errors are classified by FileFailureCause where the file is written.
FailureCause CommFailureCause(const std::exception& error);
// The port an error of the endpoint concerns; fallback for any other error.
uint16_t PortOf(const std::exception& error, uint16_t fallback);

}  // namespace orvu
