// A controller's configuration as an installer archives it: the controller, its bus devices as
// read, and every passage with its 18 slots named by device identity and channel rather than by
// device index, so that the archive still applies after a device has moved to another index.
// Plain data, built from the model (BackupOf) or read from a backup file (backup_file.h).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "comm/udpdev.h"
#include "model/ctrlcfg.h"

namespace orvu {

// The slots of a passage in payload order: 4 outputs, 10 inputs, 4 readers.
inline constexpr int kPassageSlots = kOutputSlots + kInputSlots + kReaderSlots;  // 18

struct PassageSlot {
  const char* key;  // the slot's name in a backup file and in difference lines
  int kind;         // kKindOutputs, kKindInputs, kKindReaders
  int slot;         // index in its table
};
const PassageSlot& SlotAt(int index);  // index 0-17

// One slot's binding.
struct BackupRef {
  enum class Kind { kNone, kDevice, kUnresolved };
  Kind kind = Kind::kNone;
  uint32_t id = 0;     // kDevice: identity word of the bound device
  int channel = 0;     // kDevice: 0-31, as the reference carries it
  bool nc = false;     // kDevice
  IoRef raw = kNoRef;  // kUnresolved: the reference as read; it names no listed device

  friend bool operator==(const BackupRef&, const BackupRef&) = default;
};

struct BackupDevice {
  int index = 0;  // position in the controller's list when read
  uint32_t id = 0;
  uint8_t state = 0;
  uint8_t suffixNumber = 0;
  uint16_t outputs = 0;
  uint16_t inputs = 0;
  uint16_t readers = 0;
  bool openCollector = false;

  friend bool operator==(const BackupDevice&, const BackupDevice&) = default;
};

struct BackupPassage {
  BackupRef slots[kPassageSlots];
  uint8_t params[kParamBytes] = {};

  friend bool operator==(const BackupPassage&, const BackupPassage&) = default;
};

struct Backup {
  uint32_t controllerId = 0;  // the controller's network identity word
  std::string ip;             // dotted-decimal, as found
  OperatingMode mode = OperatingMode::kBlokada;
  std::string taken;          // when the backup was taken (free text, ISO 8601 when written here)
  std::vector<BackupDevice> devices;  // the listed records, by index
  std::vector<BackupPassage> passages;

  friend bool operator==(const Backup&, const Backup&) = default;
};

// The model's reference in one slot of a passage, and the slot's reference in the model.
IoRef SlotRef(const CtrlConfig& cfg, int passage, int slot);
void SetSlotRef(CtrlConfig& cfg, int passage, int slot, IoRef ref);

// The configuration read into cfg, as a backup. A reference whose device index names no listed
// record (or that carries bits an I/O reference never has) is kept as kUnresolved.
Backup BackupOf(const CtrlConfig& cfg, uint32_t controllerId, const std::string& ip,
                OperatingMode mode, const std::string& taken);

// The bus device that stands for the controller itself: the record with the controller's type
// code and serial number. nullptr without one.
const BackupDevice* OwnEntry(const Backup& backup);

// "R01_00042:Out1", "... [NC]", "---" for an empty slot, "reference 0x0905" for an unresolved one.
std::string SlotText(const BackupRef& ref, int kind);

}  // namespace orvu
