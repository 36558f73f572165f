#include "sim/lan.h"

#include <algorithm>
#include <cstring>
#include <tuple>

#include "comm/identity.h"

namespace orvu {

namespace {
constexpr const char* kBroadcastAddress = "255.255.255.255";
}

SimLan::SimLan(SimClock& clock, std::string toolIp) : clock_(clock), toolIp_(std::move(toolIp)) {}

SimDevice& SimLan::AddDevice(const SimDeviceConfig& config) {
  devices_.push_back(std::make_unique<SimDevice>(config, clock_));
  return *devices_.back();
}

SimDevice& SimLan::AddController(uint16_t serial, const std::string& ip, uint8_t mode) {
  SimDeviceConfig config;
  config.id = MakeIdentity(kControllerType, serial);
  config.ip = ip;
  config.mode = mode;
  config.bus = {MakeBusRecord(config.id, 1, 0, 4, 4, 2)};
  return AddDevice(config);
}

SimDevice* SimLan::Find(const std::string& ip) {
  for (auto& device : devices_) {
    if (device->Ip() == ip) return device.get();
  }
  return nullptr;
}

void SimLan::Send(const std::string& ip, uint16_t port, const uint8_t* data, size_t len) {
  if (port != DevicePort()) return;  // no device listens there
  if (ip == kBroadcastAddress) {
    Broadcast(data, len);
    return;
  }
  if (SimDevice* device = Find(ip)) Deliver(*device, data, len);
}

void SimLan::Broadcast(const uint8_t* data, size_t len) {
  if (echoBroadcast_) Enqueue(toolIp_, {data, data + len}, 0);
  for (auto& device : devices_) Deliver(*device, data, len);
}

void SimLan::Deliver(SimDevice& device, const uint8_t* data, size_t len) {
  for (SimOutgoing& out : device.Handle(data, len)) {
    Enqueue(device.Ip(), std::move(out.bytes), out.delayMs);
  }
}

void SimLan::Enqueue(std::string from, std::vector<uint8_t> bytes, int delayMs) {
  inbox_.push_back({clock_.NowMs() + std::max(delayMs, 0), nextOrder_++, std::move(from),
                    std::move(bytes)});
}

std::deque<SimLan::Queued>::iterator SimLan::NextDue() {
  const int64_t now = clock_.NowMs();
  auto best = inbox_.end();
  for (auto it = inbox_.begin(); it != inbox_.end(); ++it) {
    if (it->dueMs > now) continue;
    if (best == inbox_.end() || std::tie(it->dueMs, it->order) < std::tie(best->dueMs, best->order))
      best = it;
  }
  return best;
}

size_t SimLan::Receive(uint8_t* buf, size_t cap, int timeoutMs, std::string* from) {
  const int wait = timeoutMs < 0 ? kReceiveTimeoutMs : timeoutMs;
  const int64_t deadline = clock_.NowMs() + wait;
  for (;;) {
    auto due = NextDue();
    if (due != inbox_.end()) {
      const size_t n = std::min(cap, due->bytes.size());
      if (n > 0) std::memcpy(buf, due->bytes.data(), n);
      if (from) *from = due->from;
      inbox_.erase(due);
      return n;
    }
    const int64_t now = clock_.NowMs();
    if (now >= deadline) return 0;
    int64_t until = deadline;
    for (const Queued& q : inbox_) until = std::min(until, q.dueMs);
    clock_.WaitMs(until - now);
  }
}

}  // namespace orvu
