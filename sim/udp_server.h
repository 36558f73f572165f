// Simulated devices served on real UDP: each device has its own socket bound to its address
// and the server's port (127.0.0.2:PORT, 127.0.0.3:PORT, ... on loopback), so each answers from
// its own address, and replies go back to the sender's address and port as a device's would.
// One background thread serves all sockets; Start() binds and starts it, Stop() (or the
// destructor) ends it.
//
// A socket bound to one address hears no broadcast. For a real or namespaced LAN, where the
// tool broadcasts to 255.255.255.255, listenBroadcast adds a socket on 0.0.0.0:PORT that
// passes discovery requests to every device (each still answering from its own socket). On
// loopback tests broadcast by sending to each address instead (BroadcastTargets()).
//
// The devices read the given clock (a ManualClock lets a test end an idle session without
// waiting); delayed replies are held for real milliseconds.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "sim/clock.h"
#include "sim/device.h"
#include "sim/device_config.h"

namespace orvu {

struct SimServerConfig {
  uint16_t port = 0;  // 0: a free port, the same on every device address
  bool listenBroadcast = false;
  // One line per datagram received and sent; called on the server thread.
  std::function<void(std::string_view line)> log;
};

class SimUdpServer {
 public:
  explicit SimUdpServer(SimClock& clock, SimServerConfig config = {});
  ~SimUdpServer();
  SimUdpServer(const SimUdpServer&) = delete;
  SimUdpServer& operator=(const SimUdpServer&) = delete;

  // Only before Start(). References stay valid as long as the server.
  SimDevice& AddDevice(const SimDeviceConfig& config);

  // Binds every socket and starts serving. Throws std::system_error naming the address and
  // port that could not be bound.
  void Start();
  void Stop();
  bool Running() const { return thread_.joinable(); }

  uint16_t Port() const { return port_; }
  size_t DeviceCount() const { return devices_.size(); }
  SimDevice& Device(size_t index) { return *devices_.at(index); }
  SimDevice* Find(const std::string& ip);
  // (address, port) of every device: what a loopback test's endpoint broadcasts to.
  std::vector<std::pair<std::string, uint16_t>> BroadcastTargets() const;

 private:
  struct Pending;
  void BindAll(uint16_t port);
  void CloseAll();
  void Serve();

  SimClock& clock_;
  SimServerConfig config_;
  std::vector<std::unique_ptr<SimDevice>> devices_;
  std::vector<int> sockets_;  // one per device, same order
  int broadcastSocket_ = -1;
  int wakeFds_[2] = {-1, -1};  // pipe that ends the serving thread's wait
  uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace orvu
