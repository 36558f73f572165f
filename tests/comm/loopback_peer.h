// A scripted device on a loopback address: a UDP socket served by a thread that records every
// datagram it receives and answers as its script says. Frames for the peer side are built
// here independently of the code under test; signatures and key derivation use OpenSSL.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "comm/posix_udp.h"

namespace orvu::test {

using Bytes = std::vector<uint8_t>;

class LoopbackPeer {
 public:
  // Returns the datagrams to send back to the sender of request.
  using Script = std::function<std::vector<Bytes>(const Bytes& request)>;

  // port 0: any free port.
  explicit LoopbackPeer(const std::string& ip, uint16_t port = 0);
  ~LoopbackPeer();
  LoopbackPeer(const LoopbackPeer&) = delete;
  LoopbackPeer& operator=(const LoopbackPeer&) = delete;

  const std::string& Ip() const { return ip_; }
  uint16_t Port() const { return port_; }

  // Starts answering; a peer without a script stays silent but still records.
  void Serve(Script script);
  std::vector<Bytes> Received() const;
  // Sends one datagram from this peer's socket.
  void SendTo(const std::string& ip, uint16_t port, const Bytes& datagram) const;

 private:
  void Run();

  std::string ip_;
  uint16_t port_ = 0;
  int fd_ = -1;
  Script script_;
  mutable std::mutex mutex_;
  std::vector<Bytes> received_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// Builds peers at 127.0.0.2, 127.0.0.3, ... on one common port, since the tool sends every
// request to the same device port.
std::vector<std::unique_ptr<LoopbackPeer>> MakePeers(int count);

// An endpoint on 127.0.0.1 (free port) that sends to the peers' port and broadcasts to each.
std::unique_ptr<PosixUdpEndpoint> EndpointFor(
    const std::vector<std::unique_ptr<LoopbackPeer>>& peers, int timeoutMs);

// Peers plus the endpoint, registered as the subsystem's endpoint for the object's lifetime.
// Declare it before any UdpDev so that the devices go first (their destructors may talk).
struct LoopbackLan {
  explicit LoopbackLan(int peerCount = 1, int timeoutMs = kReceiveTimeoutMs);
  ~LoopbackLan();
  LoopbackPeer& Peer(int i = 0) { return *peers.at(i); }
  uint32_t PeerAddress(int i = 0) const;  // as UdpDev::ip

  std::vector<std::unique_ptr<LoopbackPeer>> peers;
  std::unique_ptr<PosixUdpEndpoint> endpoint;
};

// Device-side frames.
uint32_t Crc(const uint8_t* data, size_t len);
Bytes PlainReply(uint8_t cmd, uint32_t id, const Bytes& payload);
Bytes SecuredReply(const uint8_t* key, uint32_t id, uint8_t cmdByte, const Bytes& payload);
Bytes DiscoveryAnswerFrame(uint32_t id, uint8_t mode);

// OpenSSL references.
Bytes ReferenceCmac(const uint8_t* key, const uint8_t* data, size_t len);
Bytes ReferenceAesEncrypt(const uint8_t* key, const uint8_t* block);
// The truncated CMAC of the frame's body equals its last 8 bytes.
bool ReferenceSignatureValid(const uint8_t* key, const Bytes& frame);

uint32_t Le32(const uint8_t* p);
uint16_t Le16(const uint8_t* p);

// Controller identity: marker 2, type 346, the given serial and suffix index.
constexpr uint32_t ControllerId(uint16_t serial, unsigned suffix = 0) {
  return (2u << 28) | (suffix << 26) | (346u << 16) | serial;
}

}  // namespace orvu::test
