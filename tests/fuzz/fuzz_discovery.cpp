// Discovery answers of any shape, from any sender address, taken into a device set: the
// parser never reads past a datagram and the set keeps its order, its bound and its selection.
//
// Input: byte 0 options (bit 0: fix the CRC of 28-byte datagrams, bit 1: force marker 2 and
// type 346 into them), byte 1 initial selection, then datagrams as [length][4 address bytes]
// [bytes].
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "comm/crc32.h"
#include "comm/endpoint.h"
#include "comm/frames.h"
#include "comm/identity.h"
#include "comm/udpdev.h"
#include "tests/fuzz/scripted_endpoint.h"

namespace {

using namespace orvu;

using fuzz::Datagram;
using fuzz::ScriptedEndpoint;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint8_t options = data[0];
  ScriptedEndpoint endpoint;
  for (size_t i = 2; i + 5 <= size;) {
    const size_t len = data[i];
    char from[16];
    std::snprintf(from, sizeof from, "%u.%u.%u.%u", data[i + 1], data[i + 2], data[i + 3],
                  data[i + 4]);
    i += 5;
    const size_t n = len < size - i ? len : size - i;
    Datagram d{from, std::vector<uint8_t>(data + i, data + i + n)};
    i += n;
    if (d.bytes.size() == kDiscoveryAnswerSize) {
      if (options & 2) {
        uint32_t id = GetLe32(d.bytes.data() + 4);
        id = (id & 0x0C00FFFF) | (2u << 28) | (kControllerType << 16);
        PutLe32(d.bytes.data() + 4, id);
      }
      if (options & 1) PutLe32(d.bytes.data() + 24, Crc32(d.bytes.data(), 24, kCrcInit));
    }
    ParseDiscoveryAnswer(d.bytes.data(), d.bytes.size());
    endpoint.queue.push_back(std::move(d));
  }

  SetEndpoint(&endpoint);
  UdpDevSet set;
  // Fill the set up to its bound now and then, so that a full set is explored too.
  if (options & 4)
    for (int s = 0; s < UdpDevSet::kCapacity - 1; ++s)
      set.Add((2u << 28) | (kControllerType << 16) | static_cast<uint32_t>(s * 600), 1, 2);
  set.sel = set.count ? data[1] % (set.count + 1) - 1 : -1;
  const uint32_t chosen = set.sel >= 0 ? set.dev[set.sel].id : 0;
  set.Collect(0);
  SetEndpoint(nullptr);

  if (set.count < 0 || set.count > UdpDevSet::kCapacity) std::abort();
  for (int i = 0; i + 1 < set.count; ++i)
    if (OrderingKey(set.dev[i].id) > OrderingKey(set.dev[i + 1].id)) std::abort();
  for (int i = 0; i < set.count; ++i) {
    if (!PassesDiscoveryFilter(set.dev[i].id)) std::abort();
    for (int j = i + 1; j < set.count; ++j)
      if (set.dev[i].id == set.dev[j].id) std::abort();
    set.dev[i].IpText();
    set.dev[i].ListText();
  }
  if (chosen && set.dev[set.sel].id != chosen) std::abort();
  return 0;
}
