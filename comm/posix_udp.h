// The real endpoint: one POSIX UDP socket.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "comm/endpoint.h"

namespace orvu {

struct UdpConfig {
  std::string bindIp = "0.0.0.0";
  uint16_t bindPort = kUdpPort;  // 0: any free port
  uint16_t devicePort = kUdpPort;
  // Where Broadcast() sends; the product broadcasts to 255.255.255.255 on its port.
  std::vector<std::pair<std::string, uint16_t>> broadcastTo = {{"255.255.255.255", kUdpPort}};
  int timeoutMs = kReceiveTimeoutMs;
};

class PosixUdpEndpoint : public Endpoint {
 public:
  // Throws EndpointError (a std::system_error) with a message that names the address and port
  // on failure (for example when the port is taken by another program).
  explicit PosixUdpEndpoint(const UdpConfig& config = {});
  ~PosixUdpEndpoint() override;
  PosixUdpEndpoint(const PosixUdpEndpoint&) = delete;
  PosixUdpEndpoint& operator=(const PosixUdpEndpoint&) = delete;

  void Send(const std::string& ip, uint16_t port, const uint8_t* data, size_t len) override;
  void Broadcast(const uint8_t* data, size_t len) override;
  size_t Receive(uint8_t* buf, size_t cap, int timeoutMs, std::string* from = nullptr) override;
  uint16_t DevicePort() const override { return config_.devicePort; }

  // The port actually bound (useful with bindPort 0).
  uint16_t LocalPort() const { return localPort_; }

 private:
  UdpConfig config_;
  int fd_ = -1;
  uint16_t localPort_ = 0;
};

}  // namespace orvu
