// Bounds of the meaningful rows of the model's tables. The counts are plain fields anyone may
// set; every loop over the tables goes through these so that none leaves its array.
#pragma once
#include "model/ctrlcfg.h"

namespace orvu {

inline int ClampRows(int32_t count, int limit) { return count < 0 ? 0 : (count > limit ? limit : count); }

inline int PassageRows(const CtrlConfig& cfg) { return ClampRows(cfg.passageCount, kMaxPassages); }
inline int ListedRows(const CtrlConfig& cfg) { return ClampRows(cfg.listedCount, kMaxDevices); }

// Device index of display position j.
inline int ListedDevice(const CtrlConfig& cfg, int j) { return cfg.listed[j] & 0x7F; }

}  // namespace orvu
