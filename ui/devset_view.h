// What the window knows of the device set: a copy by value of the fields it shows, taken by
// the communication worker at the end of each job. The set itself, with its sessions and keys,
// stays with the worker.
#pragma once
#include <cstdint>

#include "comm/udpdev.h"

namespace orvu {

struct DevView {
  uint32_t id = 0;
  uint32_t ip = 0;
  uint16_t mode = 0;
  bool online = false;
};

struct DevSetView {
  DevView dev[UdpDevSet::kCapacity];
  int32_t count = 0;
  int32_t sel = -1;

  // The chosen device, or nullptr while sel does not designate an entry.
  const DevView* Current() const {
    return count <= UdpDevSet::kCapacity && sel >= 0 && sel < count ? &dev[sel] : nullptr;
  }
};

}  // namespace orvu
