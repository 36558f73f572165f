// The controller's command set: reading and watching its configuration, writing it back,
// deleting inactive bus devices and replacing one.
#pragma once
#include <cstdint>

#include "comm/udpdev.h"
#include "model/ctrlcfg.h"

namespace orvu {

// A reply of the configuration commands fills at most one secured payload.
inline constexpr int kCfgBufferSize = kMaxSecuredPayload;
// The command byte of the passage write: a UErr that carries it was raised once the request
// may have gone out.
inline constexpr uint8_t kCmdWritePassages = 'c';

// Reads the device list and the passage configuration; decodes only after both replies came,
// so a failure leaves cfg as it was. Does nothing offline or when the mode forbids reading.
void ReadCfg(UdpDev& dev, CtrlConfig& cfg);
// Reads the device list and takes it into cfg only if it differs; true when cfg changed.
// Sends nothing for a foreign session.
bool CheckDevList(UdpDev& dev, CtrlConfig& cfg);
// Writes the passage configuration; code 8 before anything is sent when it exceeds
// kMaxSecuredPayload.
void WriteCfg(UdpDev& dev, const CtrlConfig& cfg);
// Has the controller delete every bus device inactive at this moment.
void DelLost(UdpDev& dev);
// Transfers the settings of the pair's old (low byte) device to its new (high byte) device.
void Replace(UdpDev& dev, ReplacePair pair);

}  // namespace orvu
