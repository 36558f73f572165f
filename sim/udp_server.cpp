#include "sim/udp_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <stdexcept>
#include <system_error>

#include "sim/frame_text.h"

namespace orvu {

namespace {

constexpr int kDatagramsPerWake = 64;

using Steady = std::chrono::steady_clock;

constexpr size_t kDatagramMax = 65536;
constexpr int kBindAttempts = 20;

[[noreturn]] void ThrowSocketError(const std::string& what, const std::string& ip,
                                   uint16_t port) {
  throw std::system_error(errno, std::generic_category(),
                          what + " " + ip + ":" + std::to_string(port));
}

sockaddr_in Address(const std::string& ip, uint16_t port) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  if (inet_pton(AF_INET, ip.c_str(), &addr.sin_addr) != 1)
    throw std::invalid_argument("not an IPv4 address: " + ip);
  return addr;
}

std::string AddressText(const sockaddr_in& addr) {
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &addr.sin_addr, text, sizeof text);
  return std::string(text) + ":" + std::to_string(ntohs(addr.sin_port));
}

// A non-blocking datagram socket bound to ip:port; returns -1 with errno set on failure.
int BoundSocket(const std::string& ip, uint16_t port, bool shared) {
  int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  int one = 1;
  // Sharing the port between the wildcard broadcast listener and the per-address sockets.
  if (shared) {
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
  }
  sockaddr_in addr = Address(ip, port);
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    int saved = errno;
    close(fd);
    errno = saved;
    return -1;
  }
  return fd;
}

uint16_t LocalPort(int fd) {
  sockaddr_in addr{};
  socklen_t len = sizeof addr;
  getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  return ntohs(addr.sin_port);
}

// "HH:MM:SS.mmm" local time, to set the log beside the tool's own observations.
std::string WallClockText() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const time_t seconds = system_clock::to_time_t(now);
  tm local{};
  localtime_r(&seconds, &local);
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min,
                local.tm_sec, int(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000));
  return text;
}

bool IsDiscovery(const uint8_t* data, size_t len) {
  return len == 12 && data[0] == 'M' && data[1] == 'M' && data[2] == 'D' && data[3] == 'O' &&
         data[4] == 0xFF && data[5] == 0xFF && data[6] == 0xFF && data[7] == 0xFF;
}

}  // namespace

// A reply held back by the delay fault until its time comes.
struct SimUdpServer::Pending {
  Steady::time_point due;
  size_t device;
  sockaddr_in to;
  std::vector<uint8_t> bytes;
};

SimUdpServer::SimUdpServer(SimClock& clock, SimServerConfig config)
    : clock_(clock), config_(std::move(config)) {}

SimUdpServer::~SimUdpServer() { Stop(); }

SimDevice& SimUdpServer::AddDevice(const SimDeviceConfig& config) {
  if (Running()) throw std::logic_error("SimUdpServer: devices are added before Start()");
  Address(config.ip, 0);  // refuses a malformed address now rather than at Start()
  devices_.push_back(std::make_unique<SimDevice>(config, clock_));
  return *devices_.back();
}

SimDevice* SimUdpServer::Find(const std::string& ip) {
  for (auto& device : devices_) {
    if (device->Ip() == ip) return device.get();
  }
  return nullptr;
}

std::vector<std::pair<std::string, uint16_t>> SimUdpServer::BroadcastTargets() const {
  std::vector<std::pair<std::string, uint16_t>> targets;
  for (const auto& device : devices_) targets.emplace_back(device->Ip(), port_);
  return targets;
}

void SimUdpServer::CloseAll() {
  for (int fd : sockets_) close(fd);
  sockets_.clear();
  if (broadcastSocket_ >= 0) close(broadcastSocket_);
  broadcastSocket_ = -1;
  for (int& fd : wakeFds_) {
    if (fd >= 0) close(fd);
    fd = -1;
  }
}

// With port 0 the first socket picks a free port and the others must get the same one on
// their addresses; when one of them is taken there, start over with another port.
void SimUdpServer::BindAll(uint16_t port) {
  const bool shared = config_.listenBroadcast;
  for (int attempt = 0;; ++attempt) {
    uint16_t chosen = port;
    bool retry = false;
    for (const auto& device : devices_) {
      int fd = BoundSocket(device->Ip(), chosen, shared);
      if (fd < 0) {
        int saved = errno;
        CloseAll();
        errno = saved;
        if (port == 0 && saved == EADDRINUSE && attempt + 1 < kBindAttempts) {
          retry = true;
          break;
        }
        ThrowSocketError("cannot bind", device->Ip(), chosen);
      }
      if (chosen == 0) chosen = LocalPort(fd);
      sockets_.push_back(fd);
    }
    if (retry) continue;
    if (devices_.empty() && chosen == 0 && shared) {
      int probe = BoundSocket("0.0.0.0", 0, true);
      if (probe < 0) ThrowSocketError("cannot bind", "0.0.0.0", 0);
      chosen = LocalPort(probe);
      close(probe);
    }
    if (shared) {
      broadcastSocket_ = BoundSocket("0.0.0.0", chosen, true);
      if (broadcastSocket_ < 0) {
        int saved = errno;
        CloseAll();
        errno = saved;
        ThrowSocketError("cannot bind", "0.0.0.0", chosen);
      }
    }
    port_ = chosen;
    return;
  }
}

void SimUdpServer::Start() {
  if (Running()) return;
  BindAll(config_.port);
  if (pipe2(wakeFds_, O_CLOEXEC | O_NONBLOCK) != 0) {
    CloseAll();
    throw std::system_error(errno, std::generic_category(), "pipe");
  }
  stop_ = false;
  thread_ = std::thread([this] { Serve(); });
}

void SimUdpServer::Stop() {
  if (!Running()) return;
  stop_ = true;
  const char wake = 1;
  [[maybe_unused]] ssize_t n = write(wakeFds_[1], &wake, 1);
  thread_.join();
  CloseAll();
}

void SimUdpServer::Serve() {
  std::vector<Pending> pending;
  std::vector<uint8_t> buffer(kDatagramMax);

  auto log = [&](const char* dir, const std::string& from, const std::string& to,
                 const uint8_t* data, size_t len) {
    if (!config_.log) return;
    config_.log(WallClockText() + " " + dir + " " + from + " -> " + to + " " +
                FrameText(data, len));
  };
  auto sendFrom = [&](size_t device, const sockaddr_in& to, const std::vector<uint8_t>& bytes) {
    const std::string self = devices_[device]->Ip() + ":" + std::to_string(port_);
    ssize_t sent = sendto(sockets_[device], bytes.data(), bytes.size(), 0,
                          reinterpret_cast<const sockaddr*>(&to), sizeof to);
    log(sent < 0 ? "send-failed" : "send", self, AddressText(to), bytes.data(), bytes.size());
  };
  auto answer = [&](size_t device, const sockaddr_in& to, const uint8_t* data, size_t len) {
    for (SimOutgoing& out : devices_[device]->Handle(data, len)) {
      if (out.delayMs <= 0) {
        sendFrom(device, to, out.bytes);
      } else {
        pending.push_back({Steady::now() + std::chrono::milliseconds(out.delayMs), device, to,
                           std::move(out.bytes)});
      }
    }
  };

  std::vector<pollfd> fds;
  for (int fd : sockets_) fds.push_back({fd, POLLIN, 0});
  if (broadcastSocket_ >= 0) fds.push_back({broadcastSocket_, POLLIN, 0});
  fds.push_back({wakeFds_[0], POLLIN, 0});

  while (!stop_) {
    int timeout = -1;
    const Steady::time_point now = Steady::now();
    for (const Pending& p : pending) {
      auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(p.due - now).count() + 1;
      timeout = timeout < 0 ? int(std::max<long long>(ms, 0))
                            : std::min(timeout, int(std::max<long long>(ms, 0)));
    }
    if (poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) break;
    if (stop_) break;

    for (size_t i = 0; i + 1 < fds.size(); ++i) {
      if (!(fds[i].revents & POLLIN)) continue;
      // A bounded batch per wake-up: a flood at one address must not starve the other
      // devices, the delayed replies or Stop().
      for (int batch = 0; batch < kDatagramsPerWake && !stop_; ++batch) {
        sockaddr_in from{};
        socklen_t fromLen = sizeof from;
        ssize_t n = recvfrom(fds[i].fd, buffer.data(), buffer.size(), 0,
                             reinterpret_cast<sockaddr*>(&from), &fromLen);
        if (n < 0) break;  // EAGAIN: drained
        const size_t len = size_t(n);
        if (i < sockets_.size()) {
          log("recv", AddressText(from), devices_[i]->Ip() + ":" + std::to_string(port_),
              buffer.data(), len);
          answer(i, from, buffer.data(), len);
        } else {
          // The wildcard socket: discovery goes to every device, anything else was meant for
          // an address no device has.
          log("recv", AddressText(from), "*:" + std::to_string(port_), buffer.data(), len);
          if (!IsDiscovery(buffer.data(), len)) continue;
          for (size_t d = 0; d < devices_.size(); ++d) answer(d, from, buffer.data(), len);
        }
      }
    }

    const Steady::time_point after = Steady::now();
    for (size_t k = 0; k < pending.size();) {
      if (pending[k].due <= after) {
        sendFrom(pending[k].device, pending[k].to, pending[k].bytes);
        pending.erase(pending.begin() + long(k));
      } else {
        ++k;
      }
    }
  }
}

}  // namespace orvu
