// The backup record built from the model, and the slot table every part of it walks.
#include "backup/backup.h"

#include <algorithm>
#include <cstdio>

#include "comm/identity.h"

namespace orvu {
namespace {

constexpr PassageSlot kSlots[kPassageSlots] = {
    {"bolt", kKindOutputs, kSlotBolt},
    {"reminder", kKindOutputs, kSlotReminder},
    {"alarm", kKindOutputs, kSlotAlarm},
    {"cctv", kKindOutputs, kSlotCctv},
    {"exitButton", kKindInputs, kSlotExitButton},
    {"openDetector", kKindInputs, kSlotOpenDetector},
    {"alarmDetector", kKindInputs, kSlotAlarmDetector},
    {"tamper", kKindInputs, kSlotTamper},
    {"input5", kKindInputs, 4},
    {"input6", kKindInputs, 5},
    {"input7", kKindInputs, 6},
    {"input8", kKindInputs, 7},
    {"input9", kKindInputs, 8},
    {"input10", kKindInputs, 9},
    {"reader1", kKindReaders, 0},
    {"reader2", kKindReaders, 1},
    {"reader3", kKindReaders, 2},
    {"reader4", kKindReaders, 3},
};

// Bits an I/O reference never carries: 5-6 and 15.
constexpr IoRef kForeignBits = 0x8060;

bool EmptySlotId(uint32_t id) { return (id >> 16) == 0xFFFF; }

}  // namespace

const PassageSlot& SlotAt(int index) { return kSlots[index]; }

IoRef SlotRef(const CtrlConfig& cfg, int passage, int slot) {
  const PassageSlot& s = kSlots[slot];
  switch (s.kind) {
    case kKindOutputs: return cfg.outRefs[passage][s.slot];
    case kKindInputs: return cfg.inRefs[passage][s.slot];
    default: return cfg.rdRefs[passage][s.slot];
  }
}

void SetSlotRef(CtrlConfig& cfg, int passage, int slot, IoRef ref) {
  const PassageSlot& s = kSlots[slot];
  switch (s.kind) {
    case kKindOutputs: cfg.outRefs[passage][s.slot] = ref; break;
    case kKindInputs: cfg.inRefs[passage][s.slot] = ref; break;
    default: cfg.rdRefs[passage][s.slot] = ref; break;
  }
}

Backup BackupOf(const CtrlConfig& cfg, uint32_t controllerId, const std::string& ip,
                OperatingMode mode, const std::string& taken) {
  Backup backup;
  backup.controllerId = controllerId;
  backup.ip = ip;
  backup.mode = mode;
  backup.taken = taken;
  const int deviceCount = std::clamp(cfg.deviceCount, 0, kMaxDevices);
  for (int i = 0; i < deviceCount; ++i) {
    const BusDev& dev = cfg.devices[i];
    if (EmptySlotId(dev.id)) continue;
    backup.devices.push_back({i, dev.id, dev.state, dev.suffixNumber, dev.outputCount,
                              dev.inputCount, dev.readerCount, dev.ocOutputs});
  }
  const int passageCount = std::clamp(cfg.passageCount, 0, kMaxPassages);
  for (int p = 0; p < passageCount; ++p) {
    BackupPassage passage;
    for (int k = 0; k < kPassageSlots; ++k) {
      const IoRef r = SlotRef(cfg, p, k);
      BackupRef& ref = passage.slots[k];
      if (r == kNoRef) continue;
      const int device = RefDevice(r);
      if ((r & kForeignBits) || device >= deviceCount || EmptySlotId(cfg.devices[device].id)) {
        ref.kind = BackupRef::Kind::kUnresolved;
        ref.raw = r;
        continue;
      }
      ref.kind = BackupRef::Kind::kDevice;
      ref.id = cfg.devices[device].id;
      ref.channel = RefChannel(r);
      ref.nc = HasNc(r);
    }
    std::copy(cfg.params[p], cfg.params[p] + kParamBytes, passage.params);
    backup.passages.push_back(passage);
  }
  return backup;
}

const BackupDevice* OwnEntry(const Backup& backup) {
  for (const BackupDevice& dev : backup.devices) {
    if (OrderingKey(dev.id) == OrderingKey(backup.controllerId)) return &dev;
  }
  return nullptr;
}

std::string SlotText(const BackupRef& ref, int kind) {
  switch (ref.kind) {
    case BackupRef::Kind::kNone: return "---";
    case BackupRef::Kind::kUnresolved: {
      char text[32];
      std::snprintf(text, sizeof text, "reference 0x%04X", unsigned(ref.raw));
      return text;
    }
    case BackupRef::Kind::kDevice: break;
  }
  const char* label = kind == kKindOutputs ? ":Out" : kind == kKindInputs ? ":In" : ":Rd";
  return DevName(ref.id) + label + std::to_string(ref.channel + 1) + (ref.nc ? " [NC]" : "");
}

}  // namespace orvu
