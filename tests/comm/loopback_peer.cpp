#include "tests/comm/loopback_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

namespace orvu::test {

LoopbackPeer::LoopbackPeer(const std::string& ip, uint16_t port) : ip_(ip) {
  fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd_ < 0) throw std::runtime_error("peer socket");
  int big = 1 << 20;
  setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &big, sizeof big);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  inet_pton(AF_INET, ip.c_str(), &addr.sin_addr);
  if (bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    close(fd_);
    throw std::runtime_error("peer bind " + ip + ":" + std::to_string(port));
  }
  socklen_t len = sizeof addr;
  getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
  port_ = ntohs(addr.sin_port);
  thread_ = std::thread([this] { Run(); });
}

LoopbackPeer::~LoopbackPeer() {
  stop_ = true;
  thread_.join();
  close(fd_);
}

void LoopbackPeer::Serve(Script script) {
  std::lock_guard lock(mutex_);
  script_ = std::move(script);
}

std::vector<Bytes> LoopbackPeer::Received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

void LoopbackPeer::SendTo(const std::string& ip, uint16_t port, const Bytes& datagram) const {
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  inet_pton(AF_INET, ip.c_str(), &to.sin_addr);
  sendto(fd_, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
}

void LoopbackPeer::Run() {
  std::vector<uint8_t> buf(65536);
  while (!stop_) {
    pollfd pfd{fd_, POLLIN, 0};
    if (poll(&pfd, 1, 10) <= 0) continue;
    sockaddr_in from{};
    socklen_t len = sizeof from;
    ssize_t n = recvfrom(fd_, buf.data(), buf.size(), 0, reinterpret_cast<sockaddr*>(&from), &len);
    if (n < 0) continue;
    Bytes request(buf.begin(), buf.begin() + n);
    std::vector<Bytes> answers;
    {
      std::lock_guard lock(mutex_);
      received_.push_back(request);
      if (script_) answers = script_(request);
    }
    for (const Bytes& a : answers)
      sendto(fd_, a.data(), a.size(), 0, reinterpret_cast<sockaddr*>(&from), len);
  }
}

std::vector<std::unique_ptr<LoopbackPeer>> MakePeers(int count) {
  // The first peer's free port may be taken on a later address by another test process;
  // then start over with another port.
  for (int attempt = 0;; ++attempt) {
    std::vector<std::unique_ptr<LoopbackPeer>> peers;
    peers.push_back(std::make_unique<LoopbackPeer>("127.0.0.2"));
    const uint16_t port = peers[0]->Port();
    try {
      for (int i = 1; i < count; ++i)
        peers.push_back(std::make_unique<LoopbackPeer>("127.0.0." + std::to_string(2 + i), port));
      return peers;
    } catch (const std::runtime_error&) {
      if (attempt == 20) throw;
    }
  }
}

std::unique_ptr<PosixUdpEndpoint> EndpointFor(
    const std::vector<std::unique_ptr<LoopbackPeer>>& peers, int timeoutMs) {
  UdpConfig config;
  config.bindIp = "127.0.0.1";
  config.bindPort = 0;
  config.devicePort = peers.at(0)->Port();
  config.broadcastTo.clear();
  for (const auto& p : peers) config.broadcastTo.emplace_back(p->Ip(), p->Port());
  config.timeoutMs = timeoutMs;
  return std::make_unique<PosixUdpEndpoint>(config);
}

LoopbackLan::LoopbackLan(int peerCount, int timeoutMs)
    : peers(MakePeers(peerCount)), endpoint(EndpointFor(peers, timeoutMs)) {
  SetEndpoint(endpoint.get());
}

LoopbackLan::~LoopbackLan() { SetEndpoint(nullptr); }

uint32_t LoopbackLan::PeerAddress(int i) const {
  in_addr a{};
  inet_pton(AF_INET, peers.at(i)->Ip().c_str(), &a);
  return ntohl(a.s_addr);
}

uint32_t Le32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

namespace {
void Put32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
}  // namespace

// Bit by bit, MSB first, no reflection, no final XOR, started from 0xFFFFFFFF.
uint32_t Crc(const uint8_t* data, size_t len) {
  uint32_t crc = 0xFFFFFFFF;
  for (size_t i = 0; i < len; ++i) {
    crc ^= uint32_t{data[i]} << 24;
    for (int b = 0; b < 8; ++b) crc = crc & 0x80000000 ? (crc << 1) ^ 0x04C11DB7 : crc << 1;
  }
  return crc;
}

Bytes PlainReply(uint8_t cmd, uint32_t id, const Bytes& payload) {
  Bytes f = {'M', 'M', 'D', cmd};
  Put32(f, id);
  f.insert(f.end(), payload.begin(), payload.end());
  Put32(f, Crc(f.data(), f.size()));
  return f;
}

Bytes SecuredReply(const uint8_t* key, uint32_t id, uint8_t cmdByte, const Bytes& payload) {
  Bytes f = {'M', 'M', 'D', 'C'};
  Put32(f, id);
  f.push_back(0x34);
  f.push_back(0x12);
  f.push_back(cmdByte);
  f.insert(f.end(), payload.begin(), payload.end());
  Bytes mac = ReferenceCmac(key, f.data(), f.size());
  f.insert(f.end(), mac.begin(), mac.begin() + 8);
  return f;
}

Bytes DiscoveryAnswerFrame(uint32_t id, uint8_t mode) {
  Bytes f = {'M', 'M', 'D', 'O'};
  Put32(f, id);
  f.resize(24, 0x55);
  f[10] = mode;
  Put32(f, Crc(f.data(), f.size()));
  return f;
}

Bytes ReferenceCmac(const uint8_t* key, const uint8_t* data, size_t len) {
  EVP_MAC* mac = EVP_MAC_fetch(nullptr, "CMAC", nullptr);
  EVP_MAC_CTX* ctx = EVP_MAC_CTX_new(mac);
  char cipher[] = "AES-128-CBC";
  OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_CIPHER, cipher, 0),
                         OSSL_PARAM_construct_end()};
  Bytes out(16);
  size_t outLen = 0;
  if (!EVP_MAC_init(ctx, key, 16, params) || !EVP_MAC_update(ctx, data, len) ||
      !EVP_MAC_final(ctx, out.data(), &outLen, out.size()))
    throw std::runtime_error("OpenSSL CMAC");
  EVP_MAC_CTX_free(ctx);
  EVP_MAC_free(mac);
  return out;
}

Bytes ReferenceAesEncrypt(const uint8_t* key, const uint8_t* block) {
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  Bytes out(32);
  int len = 0;
  if (!EVP_EncryptInit_ex(ctx, EVP_aes_128_ecb(), nullptr, key, nullptr) ||
      !EVP_CIPHER_CTX_set_padding(ctx, 0) || !EVP_EncryptUpdate(ctx, out.data(), &len, block, 16))
    throw std::runtime_error("OpenSSL AES");
  EVP_CIPHER_CTX_free(ctx);
  out.resize(16);
  return out;
}

bool ReferenceSignatureValid(const uint8_t* key, const Bytes& frame) {
  if (frame.size() < 19) return false;
  Bytes mac = ReferenceCmac(key, frame.data(), frame.size() - 8);
  return std::memcmp(mac.data(), frame.data() + frame.size() - 8, 8) == 0;
}

}  // namespace orvu::test
