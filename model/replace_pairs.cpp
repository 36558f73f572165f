// Which new device may take over the settings of which inactive device.
#include "comm/identity.h"
#include "model/ctrlcfg.h"
#include "model/rows.h"

namespace orvu {

int ReplacePairs(const CtrlConfig& cfg, ReplacePair* out) {
  int count = 0;
  const int n = ListedRows(cfg);
  for (int j = 0; j < n; ++j) {
    const int oldIndex = ListedDevice(cfg, j);
    const BusDev& old = cfg.devices[oldIndex];
    if (!(old.state & kStateInactive)) continue;
    for (int k = 0; k < n; ++k) {
      if (k == j) continue;
      const int newIndex = ListedDevice(cfg, k);
      const BusDev& cand = cfg.devices[newIndex];
      if (!(cand.state & kStateNew) || TypeCode(cand.id) != TypeCode(old.id)) continue;
      if (newIndex == oldIndex) continue;  // a doubled display entry is still the same device
      if (count == kMaxReplacePairs) return count;
      out[count++] = static_cast<ReplacePair>(newIndex * 256 + oldIndex);
    }
  }
  return count;
}

std::string PairText(const CtrlConfig& cfg, ReplacePair pair) {
  // Both halves are device indices of the list; anything beyond the table names no device.
  const unsigned oldIndex = pair & 0xFF;
  const unsigned newIndex = pair >> 8;
  auto name = [&](unsigned index) {
    return index < static_cast<unsigned>(kMaxDevices) ? DevName(cfg.devices[index].id) : std::string();
  };
  return name(oldIndex) + " <-- " + name(newIndex);
}

}  // namespace orvu
