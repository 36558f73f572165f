// The real endpoint: one POSIX UDP socket.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "comm/endpoint.h"
#include "comm/interfaces.h"

namespace orvu {

struct UdpConfig {
  std::string bindIp = "0.0.0.0";
  uint16_t bindPort = kUdpPort;  // 0: any free port
  uint16_t devicePort = kUdpPort;
  // Where Broadcast() sends: the product to 255.255.255.255 on its port, which stands for every
  // interface's directed broadcast as well (DiscoveryTargets). Any other address is sent to as
  // it is: a controller asked directly, or a simulator in a lab.
  std::vector<std::pair<std::string, uint16_t>> broadcastTo = {{"255.255.255.255", kUdpPort}};
  int timeoutMs = kReceiveTimeoutMs;
};

// The configured addresses in order, each 255.255.255.255 followed by the directed broadcasts
// on its port; a directed broadcast that is also configured is sent once. A list without
// 255.255.255.255 is left as it is, so a loopback lab never sends beyond its addresses.
std::vector<BroadcastTarget> DiscoveryTargets(
    const std::vector<std::pair<std::string, uint16_t>>& configured,
    const std::vector<DirectedBroadcast>& directed);
// The targets of config with the interfaces as they are now: what a search sends to.
std::vector<BroadcastTarget> DiscoveryTargets(const UdpConfig& config);

class PosixUdpEndpoint : public Endpoint {
 public:
  // Throws EndpointError (a std::system_error) with a message that names the address and port
  // on failure (for example when the port is taken by another program).
  explicit PosixUdpEndpoint(const UdpConfig& config = {});
  ~PosixUdpEndpoint() override;
  PosixUdpEndpoint(const PosixUdpEndpoint&) = delete;
  PosixUdpEndpoint& operator=(const PosixUdpEndpoint&) = delete;

  void Send(const std::string& ip, uint16_t port, const uint8_t* data, size_t len) override;
  // Sends to every target of BroadcastTargets(), the interfaces listed afresh. A target that
  // refuses the datagram does not stop the others; only when none took it does the first
  // refusal reach the caller, as a std::system_error with its errno (ENETUNREACH: no network,
  // EACCES: broadcast refused).
  void Broadcast(const uint8_t* data, size_t len) override;
  // The configured targets, then those asked directly; a target already configured is sent
  // to once.
  std::vector<BroadcastTarget> BroadcastTargets() const override;
  // Called on the thread that broadcasts (in the window, its communication worker), as every
  // member is: the list needs no lock.
  void SetAskedDirectly(const std::vector<std::pair<std::string, uint16_t>>& targets) override;
  size_t Receive(uint8_t* buf, size_t cap, int timeoutMs, std::string* from = nullptr) override;
  uint16_t DevicePort() const override { return config_.devicePort; }

  // The port actually bound (useful with bindPort 0).
  uint16_t LocalPort() const { return localPort_; }

 private:
  UdpConfig config_;
  std::vector<std::pair<std::string, uint16_t>> askedDirectly_;
  int fd_ = -1;
  uint16_t localPort_ = 0;
};

}  // namespace orvu
