// Builds the controller's payloads from a readable description, for tests of everything that
// decodes them (the model, the commands, the simulator, the windows).
//
//   auto list = DevListPayload({{.id = BusId(346, 1)},
//                               {.id = BusId(1, 42), .outputs = 2, .inputs = 2, .readers = 1}});
//   PassageSpec door;
//   door.out[kSlotBolt] = MakeRef(1, 0);
//   auto passages = PassagesPayload({door});
#pragma once
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "model/ctrlcfg.h"

namespace orvu::testing {

// Identity word of a bus device: type code (class * 100 + model), serial, suffix letter index.
constexpr uint32_t BusId(unsigned typeCode, unsigned serial, unsigned suffixIndex = 0) {
  return ((suffixIndex & 3u) << 26) | ((typeCode & 0x3FFu) << 16) | (serial & 0xFFFFu);
}

inline constexpr uint32_t kEmptySlotId = 0xFFFFFFFF;

struct DevSpec {
  uint32_t id = 0;
  uint8_t state = 0;
  uint8_t suffixNumber = 0;
  unsigned outputs = 0;  // 0-15
  unsigned inputs = 0;   // 0-15
  unsigned readers = 0;  // 0-3
  bool oc = false;       // open-collector outputs
  // When set, info byte 2 is taken as it is (outputs, readers, oc ignored), e.g. 0xB4.
  int rawIoByte = -1;
};

// Info byte 2 as the controller sends it.
constexpr uint8_t IoByte(const DevSpec& d) {
  if (d.rawIoByte >= 0) return static_cast<uint8_t>(d.rawIoByte);
  unsigned b = d.outputs & 0x0F;
  if (d.readers) b |= 0x80 | ((d.readers & 3u) << 4);
  if (d.oc) b |= 0x40;
  return static_cast<uint8_t>(b);
}

// count, identity words, info records. countOverride puts another count in the head
// (for refused payloads); the records stay as described.
inline std::vector<uint8_t> DevListPayload(const std::vector<DevSpec>& devs, int countOverride = -1) {
  std::vector<uint8_t> p;
  const unsigned count = countOverride >= 0 ? static_cast<unsigned>(countOverride) : devs.size();
  p.push_back(static_cast<uint8_t>(count & 0xFF));
  p.push_back(static_cast<uint8_t>(count >> 8));
  for (const DevSpec& d : devs)
    for (int k = 0; k < 4; ++k) p.push_back(static_cast<uint8_t>(d.id >> (8 * k)));
  for (const DevSpec& d : devs) {
    p.push_back(d.suffixNumber);
    p.push_back(d.state);
    p.push_back(IoByte(d));
    p.push_back(static_cast<uint8_t>(d.inputs & 0x0F));
  }
  return p;
}

struct PassageSpec {
  IoRef out[kOutputSlots] = {kNoRef, kNoRef, kNoRef, kNoRef};
  IoRef in[kInputSlots] = {kNoRef, kNoRef, kNoRef, kNoRef, kNoRef, kNoRef, kNoRef, kNoRef, kNoRef, kNoRef};
  IoRef rd[kReaderSlots] = {kNoRef, kNoRef, kNoRef, kNoRef};
  uint8_t params[kParamBytes] = {1, 0, 0, 0, 10, 0, 20, 0};  // "Normalne", 5 s pulse, 10 s open
};

// Head (count | firstByteFlags, 18), references, parameter blocks.
inline std::vector<uint8_t> PassagesPayload(const std::vector<PassageSpec>& passages,
                                            uint8_t firstByteFlags = 0x80, uint8_t refsPerPassage = 18) {
  std::vector<uint8_t> p;
  p.push_back(static_cast<uint8_t>(passages.size() | firstByteFlags));
  p.push_back(refsPerPassage);
  auto put16 = [&](IoRef r) {
    p.push_back(static_cast<uint8_t>(r & 0xFF));
    p.push_back(static_cast<uint8_t>(r >> 8));
  };
  for (const PassageSpec& s : passages) {
    for (IoRef r : s.out) put16(r);
    for (IoRef r : s.in) put16(r);
    for (IoRef r : s.rd) put16(r);
  }
  for (const PassageSpec& s : passages) p.insert(p.end(), s.params, s.params + kParamBytes);
  return p;
}

}  // namespace orvu::testing
