#include "sim/passage_payload.h"

namespace orvu {

std::vector<uint8_t> EncodeSimPassages(const std::vector<SimPassage>& passages) {
  std::vector<uint8_t> out{uint8_t(passages.size() & 0x7F), 18};
  auto put = [&out](uint16_t ref) {
    out.push_back(uint8_t(ref));
    out.push_back(uint8_t(ref >> 8));
  };
  for (const SimPassage& p : passages) {
    for (uint16_t r : p.outputs) put(r);
    for (uint16_t r : p.inputs) put(r);
    for (uint16_t r : p.readers) put(r);
  }
  for (const SimPassage& p : passages) out.insert(out.end(), p.params.begin(), p.params.end());
  return out;
}

}  // namespace orvu
