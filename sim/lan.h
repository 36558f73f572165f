// The in-process simulated LAN: an Endpoint on which the tool talks to simulated devices with
// no socket at all. A broadcast reaches every device, a request sent to a device's address
// reaches that device, and every reply comes "from" the address of the device that sent it.
//
// Time-outs behave as on a socket: Receive waits until a reply is due or the time-out passes,
// and returns 0 then; a time-out of 0 returns at once with whatever is already due. The LAN
// waits through its clock: with a RealClock it sleeps (the demo program), with a ManualClock
// the clock is advanced by the wait instead (tests run without sleeping, and the devices' idle
// times and delays still pass as the tool waits).
//
// Like a real socket bound to the device port, the tool hears its own broadcast (12 bytes,
// from ToolIp()); SetEchoBroadcast(false) turns that off.
//
// Single-threaded: the tool and the devices run on the caller's thread.
#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "comm/endpoint.h"
#include "sim/clock.h"
#include "sim/device.h"
#include "sim/device_config.h"

namespace orvu {

class SimLan : public Endpoint {
 public:
  explicit SimLan(SimClock& clock, std::string toolIp = "192.168.1.10");

  // The device answers from config.ip. References stay valid as long as the LAN.
  SimDevice& AddDevice(const SimDeviceConfig& config);
  // Convenience: a controller (type 346) with the given serial, address and mode and no bus
  // devices beyond itself.
  SimDevice& AddController(uint16_t serial, const std::string& ip, uint8_t mode);

  size_t DeviceCount() const { return devices_.size(); }
  SimDevice& Device(size_t index) { return *devices_.at(index); }
  SimDevice* Find(const std::string& ip);  // nullptr when no device has that address

  const std::string& ToolIp() const { return toolIp_; }
  void SetEchoBroadcast(bool echo) { echoBroadcast_ = echo; }
  // Datagrams queued for the tool (due or not yet due).
  size_t Pending() const { return inbox_.size(); }
  // Drops everything queued for the tool, as a fresh socket would have nothing.
  void DropPending() { inbox_.clear(); }

  // Endpoint.
  void Send(const std::string& ip, uint16_t port, const uint8_t* data, size_t len) override;
  void Broadcast(const uint8_t* data, size_t len) override;
  size_t Receive(uint8_t* buf, size_t cap, int timeoutMs, std::string* from = nullptr) override;
  uint16_t DevicePort() const override { return kUdpPort; }

 private:
  struct Queued {
    int64_t dueMs;
    uint64_t order;  // arrival order among datagrams due at the same time
    std::string from;
    std::vector<uint8_t> bytes;
  };

  void Deliver(SimDevice& device, const uint8_t* data, size_t len);
  void Enqueue(std::string from, std::vector<uint8_t> bytes, int delayMs);
  std::deque<Queued>::iterator NextDue();

  SimClock& clock_;
  std::string toolIp_;
  bool echoBroadcast_ = true;
  std::vector<std::unique_ptr<SimDevice>> devices_;
  std::deque<Queued> inbox_;
  uint64_t nextOrder_ = 0;
};

}  // namespace orvu
