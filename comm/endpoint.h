// The one UDP endpoint through which all device communication runs. The product registers a
// PosixUdpEndpoint on port 45389; tests and the demo register their own.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace orvu {

inline constexpr uint16_t kUdpPort = 45389;
inline constexpr int kReceiveTimeoutMs = 200;
inline constexpr size_t kReceiveBufferSize = 8192;
inline constexpr int kDefaultTimeout = -1;  // Receive(): wait the endpoint's own time-out

// One address a broadcast goes to, as shown to the user.
struct BroadcastTarget {
  std::string ip;
  uint16_t port = 0;
  std::string interface;  // the interface of a directed broadcast; empty for a configured address
  std::string local;      // that interface's address and prefix, "192.168.1.10/24"
};

class Endpoint {
 public:
  virtual ~Endpoint() = default;

  // One datagram to a dotted-decimal IPv4 address and port.
  virtual void Send(const std::string& ip, uint16_t port, const uint8_t* data, size_t len) = 0;
  // One datagram to the broadcast address on the endpoint's port.
  virtual void Broadcast(const uint8_t* data, size_t len) = 0;
  // Where Broadcast() would send now; empty where the endpoint does not say.
  virtual std::vector<BroadcastTarget> BroadcastTargets() const { return {}; }
  // The controllers every Broadcast also asks directly, each at its address and port
  // (controllers behind a router, which no broadcast reaches); replaces the previous list.
  virtual void SetAskedDirectly(const std::vector<std::pair<std::string, uint16_t>>&) {}
  // Waits at most timeoutMs (kDefaultTimeout: the endpoint's own; 0: only what is already
  // queued) for one datagram. Returns its length, at most cap, or 0 on time-out; from, when
  // given, receives the sender's dotted-decimal address.
  virtual size_t Receive(uint8_t* buf, size_t cap, int timeoutMs, std::string* from = nullptr) = 0;
  // The port requests to devices are sent to.
  virtual uint16_t DevicePort() const = 0;
};

// Subsystem-wide registration of the endpoint; the caller keeps ownership.
void SetEndpoint(Endpoint* endpoint);
// Throws std::logic_error when no endpoint is registered.
Endpoint& TheEndpoint();

}  // namespace orvu
