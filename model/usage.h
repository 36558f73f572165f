// The usage masks of the bus device records: which outputs, inputs and readers are bound.
#pragma once
#include "model/ctrlcfg.h"

namespace orvu {

// Sets or clears the usage bit of ref in its device's mask of that kind (kKindOutputs,
// kKindInputs, kKindReaders). The empty reference has no bit.
void SetUsageBit(CtrlConfig& cfg, int kind, IoRef ref, bool used);

}  // namespace orvu
