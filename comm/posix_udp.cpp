// The product's endpoint: one IPv4 UDP socket with broadcast enabled, waiting with poll().
#include "comm/posix_udp.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <chrono>
#include <exception>
#include <string>
#include <system_error>

#include "comm/failure_cause.h"

namespace orvu {
namespace {

constexpr int kMaxSkippedDatagrams = 256;

[[noreturn]] void ThrowErrno(const std::string& what, const std::string& ip, uint16_t port) {
  int err = errno;
  throw EndpointError(err, "UDP " + what + " " + ip + ":" + std::to_string(port), ip, port);
}

sockaddr_in Address(const std::string& ip, uint16_t port) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  if (inet_pton(AF_INET, ip.c_str(), &addr.sin_addr) != 1) {
    throw std::system_error(EINVAL, std::generic_category(),
                            "UDP address " + ip + ":" + std::to_string(port));
  }
  return addr;
}

// Waits until fd is readable or timeoutMs has passed; a signal does not shorten the wait.
bool WaitReadable(int fd, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  int left = timeoutMs;
  for (;;) {
    pollfd pfd{fd, POLLIN, 0};
    int r = poll(&pfd, 1, left);
    if (r > 0) return true;
    if (r == 0) return false;
    if (errno != EINTR) throw std::system_error(errno, std::generic_category(), "UDP poll");
    auto remaining =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    left = remaining > 0 ? static_cast<int>(remaining) : 0;
  }
}

}  // namespace

PosixUdpEndpoint::PosixUdpEndpoint(const UdpConfig& config) : config_(config) {
  const sockaddr_in local = Address(config_.bindIp, config_.bindPort);
  fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd_ < 0) ThrowErrno("socket for", config_.bindIp, config_.bindPort);
  // No SO_REUSEADDR: a second program bound to the same port would silently take half of the
  // replies, so the bind must fail and say who is in the way.
  int on = 1;
  if (setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0 ||
      bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
    int err = errno;
    close(fd_);
    fd_ = -1;
    errno = err;
    ThrowErrno("bind to", config_.bindIp, config_.bindPort);
  }
  sockaddr_in bound{};
  socklen_t len = sizeof bound;
  getsockname(fd_, reinterpret_cast<sockaddr*>(&bound), &len);
  localPort_ = ntohs(bound.sin_port);
}

PosixUdpEndpoint::~PosixUdpEndpoint() {
  if (fd_ >= 0) close(fd_);
}

void PosixUdpEndpoint::Send(const std::string& ip, uint16_t port, const uint8_t* data,
                            size_t len) {
  const sockaddr_in to = Address(ip, port);
  ssize_t r;
  do {
    r = sendto(fd_, data, len, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
  } while (r < 0 && errno == EINTR);
  if (r < 0) ThrowErrno("send to", ip, port);
}

std::vector<BroadcastTarget> DiscoveryTargets(
    const std::vector<std::pair<std::string, uint16_t>>& configured,
    const std::vector<DirectedBroadcast>& directed) {
  std::vector<BroadcastTarget> out;
  auto add = [&out](BroadcastTarget target) {
    const bool known = std::any_of(out.begin(), out.end(), [&](const BroadcastTarget& t) {
      return t.ip == target.ip && t.port == target.port;
    });
    if (!known) out.push_back(std::move(target));
  };
  for (const auto& [ip, port] : configured) {
    add({ip, port, "", ""});
    if (ip != "255.255.255.255") continue;
    for (const DirectedBroadcast& d : directed)
      add({Ipv4Text(d.broadcast), port, d.interface,
           Ipv4Text(d.address) + "/" + std::to_string(d.prefix)});
  }
  return out;
}

std::vector<BroadcastTarget> DiscoveryTargets(const UdpConfig& config) {
  return DiscoveryTargets(config.broadcastTo, DirectedBroadcasts(SystemInterfaces()));
}

std::vector<BroadcastTarget> PosixUdpEndpoint::BroadcastTargets() const {
  if (askedDirectly_.empty()) return DiscoveryTargets(config_);
  // Taken in as the command line's --address is, so both front ends ask the same targets.
  std::vector<std::pair<std::string, uint16_t>> targets = config_.broadcastTo;
  targets.insert(targets.end(), askedDirectly_.begin(), askedDirectly_.end());
  return DiscoveryTargets(targets, DirectedBroadcasts(SystemInterfaces()));
}

void PosixUdpEndpoint::SetAskedDirectly(
    const std::vector<std::pair<std::string, uint16_t>>& targets) {
  askedDirectly_ = targets;
}

void PosixUdpEndpoint::Broadcast(const uint8_t* data, size_t len) {
  // Kept whole (an EndpointError with its address), not copied into its base class.
  std::exception_ptr firstRefusal;
  bool sent = false;
  for (const BroadcastTarget& target : BroadcastTargets()) {
    try {
      Send(target.ip, target.port, data, len);
      sent = true;
    } catch (const std::system_error&) {
      if (!firstRefusal) firstRefusal = std::current_exception();
    }
  }
  if (!sent && firstRefusal) std::rethrow_exception(firstRefusal);
}

size_t PosixUdpEndpoint::Receive(uint8_t* buf, size_t cap, int timeoutMs, std::string* from) {
  int wait = timeoutMs == kDefaultTimeout ? config_.timeoutMs : timeoutMs;
  if (wait < 0) wait = 0;
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(wait);
  // Bounded, so that a stream of empty datagrams cannot keep the caller here.
  for (int skipped = 0; skipped < kMaxSkippedDatagrams; ++skipped) {
    auto remaining =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (!WaitReadable(fd_, remaining > 0 ? static_cast<int>(remaining) : 0)) return 0;
    sockaddr_in sender{};
    socklen_t senderLen = sizeof sender;
    ssize_t r = recvfrom(fd_, buf, cap, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&sender),
                         &senderLen);
    if (r < 0) {
      // EINTR, or a datagram dropped between poll and recvfrom: keep waiting. An ICMP error
      // reported for an earlier send to an absent device is not a reason to stop either.
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK || errno == ECONNREFUSED)
        continue;
      throw std::system_error(errno, std::generic_category(), "UDP receive");
    }
    // An empty datagram would read as "time-out" to every caller; it carries nothing.
    if (r == 0) continue;
    if (from) {
      char text[INET_ADDRSTRLEN] = {};
      inet_ntop(AF_INET, &sender.sin_addr, text, sizeof text);
      *from = text;
    }
    return static_cast<size_t>(r);
  }
  return 0;
}

}  // namespace orvu
