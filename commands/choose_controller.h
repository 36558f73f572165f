// Choosing a controller, as both front ends do it when the installer picks a device.
#pragma once
#include <functional>

#include "comm/udpdev.h"
#include "model/ctrlcfg.h"

namespace orvu {

// Choosing a controller: the model emptied first (should the device not answer, a previous
// controller's configuration is never taken for its own), the status query (UErr code 1,
// kNoAnswer, without an answer), `answered` called once the status has been answered, then,
// for a controller, the mode check (code 9, kModeForbids, when its configuration is not
// readable) and the full read (ReadCfg). A device that is no controller leaves the model empty.
void ChooseController(UdpDev& dev, CtrlConfig& cfg, const std::function<void()>& answered = {});

}  // namespace orvu
