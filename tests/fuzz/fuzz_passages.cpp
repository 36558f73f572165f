// Arbitrary bytes as a device-list reply, a passage reply and a script of editor actions:
// decoding, usage marking, every setter with any arguments, the offers and the texts must stay
// inside their buffers, and what is written must read back the same.
//
// Input: [device-list length, 2 bytes LE][device list][passage length, 2 bytes LE][passages]
// then 5-byte actions: [action][passage][slot][reference LE].
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "model/ctrlcfg.h"
#include "model/times.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

struct Reader {
  const uint8_t* p;
  size_t left;
  // The next piece of at most n bytes, as an exact-size heap copy for ASan.
  std::vector<uint8_t> Take(size_t n) {
    if (n > left) n = left;
    std::vector<uint8_t> piece(p, p + n);
    p += n;
    left -= n;
    return piece;
  }
  size_t Length() {
    const std::vector<uint8_t> b = Take(2);
    return b.size() == 2 ? static_cast<size_t>(b[0] | (b[1] << 8)) : 0;
  }
};

void Act(orvu::CtrlConfig& cfg, const uint8_t* a) {
  using namespace orvu;
  // Passages and slots a little outside the tables on both sides.
  const int passage = static_cast<int>(a[1] % 24) - 4;
  const int slot = static_cast<int>(a[2] % 16) - 2;
  const IoRef ref = static_cast<IoRef>(a[3] | (a[4] << 8));
  const bool nc = (a[0] & 0x80) != 0;
  switch (a[0] % 7) {
    case 0: SetOutput(cfg, passage, slot, ref, nc); break;
    case 1: SetInput(cfg, passage, slot, ref, nc); break;
    case 2: SetReader(cfg, passage, slot, ref); break;
    case 3: SetOutputNc(cfg, passage, slot, nc); break;
    case 4: SetInputNc(cfg, passage, slot, nc); break;
    case 5: MarkUsage(cfg); break;
    case 6:
      if (passage >= 0 && passage < kMaxPassages) SetAirlock(cfg.params[passage], slot);
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orvu;
  Reader in{data, size};
  const std::vector<uint8_t> list = in.Take(in.Length());
  const std::vector<uint8_t> passages = in.Take(in.Length());

  static CtrlConfig cfg;
  Clear(cfg);
  DecodeDevList(cfg, list.data(), list.size());
  if (!DecodePassages(cfg, passages.data(), passages.size()))
    Check(cfg.deviceCount == 0 && cfg.listedCount == 0 && cfg.passageCount == 0);
  MarkUsage(cfg);

  for (std::vector<uint8_t> a = in.Take(5); a.size() == 5; a = in.Take(5)) Act(cfg, a.data());

  static IoRef offer[kMaxFreeIo];
  for (int kind = -1; kind < 4; ++kind) {
    Check(FreeIo(cfg, kind, offer) <= kMaxFreeIo);
    Check(FreeModuleIo(cfg, kind, offer) <= kMaxFreeIo);
  }
  for (int slot = -1; slot <= kOutputSlots; ++slot) {
    const int n = SharedOutputs(cfg, slot, offer);
    Check(n >= 0 && n <= kMaxPassages);
    for (int i = 0; i < n; ++i) Check(offer[i] != kNoRef);
  }
  for (int p = 0; p < cfg.passageCount; ++p) {
    for (IoRef r : cfg.outRefs[p]) IoRefText(cfg, r, "Out");
    for (IoRef r : cfg.inRefs[p]) IoRefText(cfg, r, "In");
    for (IoRef r : cfg.rdRefs[p]) IoRefText(cfg, r, "Rd");
    const int airlock = AirlockOf(cfg.params[p]);
    Check(airlock >= -1 && airlock <= 3);
    Check(ParseTime(TimeText(cfg.params[p][4])) == cfg.params[p][4]);
  }

  // What is written reads back as the same configuration.
  std::vector<uint8_t> written(kMaxPassagePayload);
  const size_t n = EncodePassages(cfg, written.data());
  Check(n == 2 + 44 * static_cast<size_t>(cfg.passageCount));
  written.resize(n);
  static CtrlConfig back;
  Check(DecodePassages(back, written.data(), written.size()));
  std::vector<uint8_t> again(kMaxPassagePayload);
  Check(EncodePassages(back, again.data()) == n && std::memcmp(written.data(), again.data(), n) == 0);

  ParseTime(std::string_view(reinterpret_cast<const char*>(passages.data()), passages.size()));
  return 0;
}
