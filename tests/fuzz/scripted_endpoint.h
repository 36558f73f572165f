// An endpoint that hands the fuzzer's datagrams to the code under test one receive at a time,
// each from its sender, and sends nowhere.
#pragma once
#include <cstring>
#include <string>
#include <vector>

#include "comm/endpoint.h"

namespace orvu::fuzz {

using Frame = std::vector<uint8_t>;

struct Datagram {
  std::string from;
  Frame bytes;
};

class ScriptedEndpoint : public Endpoint {
 public:
  std::vector<Datagram> queue;
  size_t next = 0;

  // Queues frames that all come from one sender, to be received from the first on.
  void Serve(const std::vector<Frame>& frames, const std::string& from) {
    queue.clear();
    for (const Frame& f : frames) queue.push_back({from, f});
    next = 0;
  }

  void Send(const std::string&, uint16_t, const uint8_t*, size_t) override {}
  void Broadcast(const uint8_t*, size_t) override {}
  size_t Receive(uint8_t* buf, size_t cap, int, std::string* from) override {
    if (next >= queue.size()) return 0;
    const Datagram& d = queue[next++];
    const size_t n = d.bytes.size() < cap ? d.bytes.size() : cap;
    if (n) std::memcpy(buf, d.bytes.data(), n);
    if (from) *from = d.from;
    return n;
  }
  uint16_t DevicePort() const override { return kUdpPort; }
};

}  // namespace orvu::fuzz
