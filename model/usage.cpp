#include "model/usage.h"

namespace orvu {

void SetUsageBit(CtrlConfig& cfg, int kind, IoRef ref, bool used) {
  if (ref == kNoRef) return;
  BusDev& dev = cfg.devices[RefDevice(ref)];
  if (kind == kKindReaders) {
    // Readers use a 16-bit mask and only channel bits 0-1.
    const uint16_t bit = static_cast<uint16_t>(1u << (ref & 3));
    dev.usedReaders = used ? (dev.usedReaders | bit) : (dev.usedReaders & ~bit);
    return;
  }
  if (kind != kKindOutputs && kind != kKindInputs) return;
  uint32_t& mask = kind == kKindOutputs ? dev.usedOutputs : dev.usedInputs;
  const uint32_t bit = 1u << RefChannel(ref);
  mask = used ? (mask | bit) : (mask & ~bit);
}

}  // namespace orvu
