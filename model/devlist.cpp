// The controller's device list: decoding, the change test of the periodic refresh, taking the
// device part over, the display order.
#include <algorithm>
#include <iterator>

#include "comm/identity.h"
#include "comm/le.h"
#include "model/ctrlcfg.h"
#include "model/rows.h"

namespace orvu {

namespace {

constexpr size_t kDevListHead = 2;
constexpr size_t kDevRecordBytes = 8;  // identity word + info record

bool IsEmptySlot(uint32_t id) { return (id >> 16) == 0xFFFF; }

// The count at the head, or -1 when the payload cannot hold what it announces.
int CheckedDevCount(const uint8_t* payload, size_t len) {
  if (payload == nullptr || len < kDevListHead) return -1;
  const unsigned count = GetLe16(payload);
  if (count > static_cast<unsigned>(kMaxDevices)) return -1;
  if (len < kDevListHead + kDevRecordBytes * count) return -1;
  return static_cast<int>(count);
}

const uint8_t* IdentityAt(const uint8_t* payload, int i) { return payload + kDevListHead + 4 * i; }

const uint8_t* InfoAt(const uint8_t* payload, int count, int i) {
  return payload + kDevListHead + 4 * count + 4 * i;
}

void DecodeInfo(const uint8_t* info, BusDev& dev) {
  dev.suffixNumber = info[0];
  dev.state = info[1];
  const uint8_t io = info[2];
  const unsigned outputs = io & 0x0F;
  dev.outputCount = static_cast<uint16_t>(outputs == 8 ? 1 : outputs);  // 8 stands for 1 output
  dev.readerCount = static_cast<uint16_t>((io & 0x80) ? (io >> 4) & 3 : 0);
  dev.ocOutputs = (io & 0x40) != 0;
  dev.inputCount = static_cast<uint16_t>(info[3] & 0x0F);
  dev.usedOutputs = 0;
  dev.usedInputs = 0;
  dev.usedReaders = 0;
}

}  // namespace

void Clear(CtrlConfig& cfg) {
  cfg.deviceCount = 0;
  cfg.listedCount = 0;
  cfg.passageCount = 0;
}

bool DecodeDevList(CtrlConfig& cfg, const uint8_t* payload, size_t len) {
  const int count = CheckedDevCount(payload, len);
  if (count < 0) {
    // Nothing may stay listed: the panel would show devices the reply did not contain.
    cfg.deviceCount = 0;
    cfg.listedCount = 0;
    return false;
  }
  cfg.deviceCount = count;
  int listed = 0;
  for (int i = 0; i < count; ++i) {
    cfg.devices[i].id = GetLe32(IdentityAt(payload, i));
    if (!IsEmptySlot(cfg.devices[i].id)) cfg.listed[listed++] = static_cast<uint32_t>(i);
  }
  cfg.listedCount = listed;
  for (int i = 0; i < count; ++i) DecodeInfo(InfoAt(payload, count, i), cfg.devices[i]);
  // References may name indices beyond the list: they name an empty record, R00_00000, never
  // a device of an earlier list.
  for (int i = count; i < kMaxDevices; ++i) cfg.devices[i] = BusDev{};
  SortListed(cfg);
  return true;
}

bool DevListChanged(const CtrlConfig& cfg, const uint8_t* payload, size_t len) {
  const int count = CheckedDevCount(payload, len);
  if (count < 0) return false;
  if (count != cfg.deviceCount) return true;
  for (int i = 0; i < count; ++i)
    if (GetLe32(IdentityAt(payload, i)) != cfg.devices[i].id) return true;
  for (int i = 0; i < count; ++i)
    if ((InfoAt(payload, count, i)[1] & 0xF0) != (cfg.devices[i].state & 0xF0)) return true;
  return false;
}

void TakeDevicePart(CtrlConfig& to, const CtrlConfig& from) {
  to.deviceCount = from.deviceCount;
  to.listedCount = from.listedCount;
  std::copy(std::begin(from.devices), std::end(from.devices), std::begin(to.devices));
  std::copy(std::begin(from.listed), std::end(from.listed), std::begin(to.listed));
  RecountUsage(to);
}

void SortListed(CtrlConfig& cfg) {
  const int n = ListedRows(cfg);
  auto id = [&](int j) { return cfg.devices[ListedDevice(cfg, j)].id; };
  // A controller entry never moves towards the end, so the controller read first stays on top.
  // Every swap removes an inversion of the ordering key, so the passes end.
  bool swapped = true;
  while (swapped) {
    swapped = false;
    for (int j = 0; j + 1 < n; ++j) {
      const uint32_t x = id(j);
      const uint32_t y = id(j + 1);
      if (DevClass(x) != kControllerClass && OrderingKey(y) < OrderingKey(x)) {
        const uint32_t t = cfg.listed[j];
        cfg.listed[j] = cfg.listed[j + 1];
        cfg.listed[j + 1] = t;
        swapped = true;
      }
    }
  }
}

bool HasInactive(const CtrlConfig& cfg) {
  for (int j = 0; j < ListedRows(cfg); ++j)
    if (cfg.devices[ListedDevice(cfg, j)].state & kStateInactive) return true;
  return false;
}

}  // namespace orvu
