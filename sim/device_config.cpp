#include "sim/device_config.h"

namespace orvu {

SimBusRecord MakeBusRecord(uint32_t id, uint8_t suffixNumber, uint8_t state, unsigned outputs,
                           unsigned inputs, unsigned readers, bool openCollector) {
  SimBusRecord record;
  record.id = id;
  record.info[0] = suffixNumber;
  record.info[1] = state;
  // Bits 4-5 hold the reader count only when bit 7 says the device has readers.
  uint8_t io = uint8_t(outputs & 0x0F);
  if (readers > 0) io |= uint8_t(0x80 | (readers & 3) << 4);
  if (openCollector) io |= 0x40;
  record.info[2] = io;
  record.info[3] = uint8_t(inputs & 0x0F);
  return record;
}

}  // namespace orvu
