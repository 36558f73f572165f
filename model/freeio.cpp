// The points on offer for a binding: free outputs, inputs and readers of the listed devices,
// and the shared alarm and CCTV outputs already bound.
#include "comm/identity.h"
#include "model/ctrlcfg.h"
#include "model/rows.h"

namespace orvu {

namespace {

enum class Modules { kSkip, kOnly };

struct Channels {
  int count;
  uint32_t used;
};

// Channels beyond what a device can have (15 outputs or inputs, 3 readers) are never offered,
// whatever the record holds, so the result always fits kMaxFreeIo.
Channels ChannelsOf(const BusDev& dev, int kind) {
  auto upTo = [](int count, int limit) { return count > limit ? limit : count; };
  switch (kind) {
    case kKindOutputs: return {upTo(dev.outputCount, 15), dev.usedOutputs};
    case kKindInputs: return {upTo(dev.inputCount, 15), dev.usedInputs};
    case kKindReaders: return {upTo(dev.readerCount, 3), dev.usedReaders};
    default: return {0, 0};
  }
}

int CollectFree(const CtrlConfig& cfg, int kind, Modules modules, IoRef* out) {
  int count = 0;
  for (int j = 0; j < ListedRows(cfg); ++j) {
    const int d = ListedDevice(cfg, j);
    const BusDev& dev = cfg.devices[d];
    const bool module = TypeCode(dev.id) == kElevatorModuleType;
    if (modules == Modules::kOnly ? !module : (module && kind == kKindOutputs)) continue;
    const Channels ch = ChannelsOf(dev, kind);
    for (int k = 0; k < ch.count; ++k)
      if (!(ch.used & (1u << k))) out[count++] = MakeRef(d, k);
  }
  return count;
}

}  // namespace

int FreeIo(const CtrlConfig& cfg, int kind, IoRef* out) { return CollectFree(cfg, kind, Modules::kSkip, out); }

int FreeModuleIo(const CtrlConfig& cfg, int kind, IoRef* out) {
  return CollectFree(cfg, kind, Modules::kOnly, out);
}

int SharedOutputs(const CtrlConfig& cfg, int slot, IoRef* out) {
  if (slot < 0 || slot >= kOutputSlots) return 0;
  int count = 0;
  for (int i = 0; i < PassageRows(cfg); ++i) {
    const IoRef r = cfg.outRefs[i][slot];
    if (r == kNoRef) continue;
    bool seen = false;
    for (int k = 0; k < count && !seen; ++k) seen = out[k] == r;
    if (!seen) out[count++] = r;
  }
  return count;
}

}  // namespace orvu
