// An endpoint owned elsewhere (the simulated LAN of the demo and the tests) handed to the
// window, which owns its endpoint.
#pragma once
#include "comm/endpoint.h"

namespace orvu {

class EndpointRef : public Endpoint {
 public:
  explicit EndpointRef(Endpoint& target) : target_(target) {}
  void Send(const std::string& ip, uint16_t port, const uint8_t* data, size_t len) override {
    target_.Send(ip, port, data, len);
  }
  void Broadcast(const uint8_t* data, size_t len) override { target_.Broadcast(data, len); }
  std::vector<BroadcastTarget> BroadcastTargets() const override {
    return target_.BroadcastTargets();
  }
  void SetAskedDirectly(const std::vector<std::pair<std::string, uint16_t>>& targets) override {
    target_.SetAskedDirectly(targets);
  }
  size_t Receive(uint8_t* buf, size_t cap, int timeoutMs, std::string* from = nullptr) override {
    return target_.Receive(buf, cap, timeoutMs, from);
  }
  uint16_t DevicePort() const override { return target_.DevicePort(); }

 private:
  Endpoint& target_;
};

}  // namespace orvu
