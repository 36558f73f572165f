// Arbitrary bytes as the controller's device-list reply: the decoder, the change test and
// everything that reads the decoded records must stay inside their buffers and agree.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "comm/identity.h"
#include "model/ctrlcfg.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orvu;
  // An exact-size heap copy, so ASan sees a read one byte past the reply.
  const std::vector<uint8_t> reply(data, data + size);
  static CtrlConfig cfg;
  const bool changed = DevListChanged(cfg, reply.data(), reply.size());
  const bool ok = DecodeDevList(cfg, reply.data(), reply.size());
  Check(ok || (cfg.deviceCount == 0 && cfg.listedCount == 0));
  Check(ok || !changed);  // a refused list is never news
  Check(!DevListChanged(cfg, reply.data(), reply.size()));
  Check(cfg.listedCount <= cfg.deviceCount);

  // The display order is final: no adjacent pair the sort would still swap.
  for (int j = 0; j + 1 < cfg.listedCount; ++j) {
    const uint32_t x = cfg.devices[cfg.listed[j]].id, y = cfg.devices[cfg.listed[j + 1]].id;
    Check(IsController(x) || OrderingKey(y) >= OrderingKey(x));
  }

  for (int j = 0; j < cfg.listedCount; ++j) {
    const BusDev& d = cfg.devices[cfg.listed[j]];
    Check(!DevListLine(d).empty() && !DevLongName(d).empty());
  }
  HasInactive(cfg);

  static ReplacePair pairs[kMaxReplacePairs];
  const int n = ReplacePairs(cfg, pairs);
  Check(n >= 0 && n <= kMaxReplacePairs);
  for (int i = 0; i < n; ++i) {
    Check((pairs[i] & 0xFF) != (pairs[i] >> 8));
    Check(!PairText(cfg, pairs[i]).empty());
  }

  static IoRef free[kMaxFreeIo];
  for (int kind = 0; kind < 3; ++kind) {
    const int k = FreeIo(cfg, kind, free);
    Check(k >= 0 && k <= kMaxFreeIo);
    for (int i = 0; i < k; ++i) IoRefText(cfg, free[i], "Out");
    const int m = FreeModuleIo(cfg, kind, free);
    Check(m >= 0 && m <= kMaxFreeIo);
  }
  return 0;
}
