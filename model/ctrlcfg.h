// The configuration model of the selected controller: its bus device records, their display
// order, and its passages. Plain data; the editor changes it in place through the setters.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "model/params.h"  // the fields of params[p]

namespace orvu {

// Reference to one output, input or reader: device index * 256 + channel, bit 7 the NC flag.
using IoRef = uint16_t;
inline constexpr IoRef kNoRef = 0xFFFF;
inline constexpr IoRef kNcBit = 0x80;

// The parts of a reference. The device index always falls inside `devices` (0-127); the channel
// of a reader counts only its bits 0-1.
constexpr int RefDevice(IoRef ref) { return (ref >> 8) & 0x7F; }
constexpr int RefChannel(IoRef ref) { return ref & 0x1F; }
constexpr IoRef MakeRef(int device, int channel) {
  return static_cast<IoRef>(((device & 0x7F) << 8) | (channel & 0x1F));
}
// The NC mark the editor, the report and the command-line tool show: a bound reference with
// its NC flag.
constexpr bool HasNc(IoRef ref) { return ref != kNoRef && (ref & kNcBit) != 0; }

// A replacement choice: new device index * 256 + inactive (old) device index.
using ReplacePair = uint16_t;

inline constexpr int kMaxDevices = 128;
inline constexpr int kMaxPassages = 16;
inline constexpr int kOutputSlots = 4;
inline constexpr int kInputSlots = 10;
inline constexpr int kReaderSlots = 4;
inline constexpr int kParamBytes = 8;
inline constexpr int kMaxReplacePairs = 2560;
inline constexpr int kMaxFreeIo = kMaxDevices * 15;
inline constexpr size_t kMaxPassagePayload = 2 + 44 * kMaxPassages;  // 706

// Bus device states.
inline constexpr uint8_t kStateInactive = 0x80;
inline constexpr uint8_t kStatePower = 0x40;
inline constexpr uint8_t kStateTamper = 0x20;
inline constexpr uint8_t kStateNew = 0x10;

// Output slots.
enum : int { kSlotBolt = 0, kSlotReminder = 1, kSlotAlarm = 2, kSlotCctv = 3 };
// Input slots.
enum : int { kSlotExitButton = 0, kSlotOpenDetector = 1, kSlotAlarmDetector = 2, kSlotTamper = 3 };
// I/O kinds of FreeIo.
enum : int { kKindOutputs = 0, kKindInputs = 1, kKindReaders = 2 };

struct BusDev {
  uint32_t id = 0;
  uint8_t state = 0;
  uint8_t suffixNumber = 0;
  uint16_t outputCount = 0;
  uint16_t inputCount = 0;
  uint16_t readerCount = 0;
  uint32_t usedOutputs = 0;  // derived from the passage bindings, never sent
  uint32_t usedInputs = 0;
  uint16_t usedReaders = 0;
  bool ocOutputs = false;  // open-collector outputs: only these carry an NC flag
};

struct CtrlConfig {
  int32_t deviceCount = 0;
  int32_t listedCount = 0;
  int32_t passageCount = 0;
  BusDev devices[kMaxDevices];
  uint32_t listed[kMaxDevices] = {};  // device indices in display order

  IoRef outRefs[kMaxPassages][kOutputSlots] = {};
  IoRef inRefs[kMaxPassages][kInputSlots] = {};
  IoRef rdRefs[kMaxPassages][kReaderSlots] = {};
  uint8_t params[kMaxPassages][kParamBytes] = {};
};

// --- Bus device records ---

void Clear(CtrlConfig& cfg);
// Replaces the device part from a device-list payload of len bytes. A refused payload (shorter
// than 2 bytes, count above 128, or shorter than the 2 + 8 * count its count announces) leaves
// the device part empty: deviceCount and listedCount 0.
bool DecodeDevList(CtrlConfig& cfg, const uint8_t* payload, size_t len);
// True when the payload differs from the model in a way the user must see: another count,
// another identity word, or another state bit 4-7. A malformed payload (one that DecodeDevList
// would refuse) is no news and gives false, so a damaged reply never replaces a good list; the
// next full read reports the fault by refusing it.
bool DevListChanged(const CtrlConfig& cfg, const uint8_t* payload, size_t len);
void SortListed(CtrlConfig& cfg);
// What a device-list read replaces, taken from another configuration of the same controller:
// the records and the listed order. to keeps its passages, and its usage masks are counted
// again from them (from's masks follow from's passages, which may lack to's edits).
void TakeDevicePart(CtrlConfig& to, const CtrlConfig& from);
std::string DevLongName(const BusDev& dev);  // "%s/%c%d"
std::string DevListLine(const BusDev& dev);  // "%s: %s,   %s"
std::string StateText(uint8_t state);
bool HasInactive(const CtrlConfig& cfg);
// Fills out (room for kMaxReplacePairs) and returns the number of pairs.
int ReplacePairs(const CtrlConfig& cfg, ReplacePair* out);
std::string PairText(const CtrlConfig& cfg, ReplacePair pair);  // "OLD <-- NEW"

// --- Passages ---

// A refused payload (shorter than 2 bytes, more than 16 passages, not 18 references each, or
// shorter than the 2 + 44 * n its count announces) empties the model: deviceCount, listedCount
// and passageCount 0.
bool DecodePassages(CtrlConfig& cfg, const uint8_t* payload, size_t len);
// out holds at least kMaxPassagePayload bytes; returns 2 + 44 * passageCount.
size_t EncodePassages(const CtrlConfig& cfg, uint8_t* out);
// True when a and b hold the same passages: as many, each slot bound alike (NC flags included),
// the same parameters. The device part does not count: what would be written is the same.
bool SamePassages(const CtrlConfig& a, const CtrlConfig& b);
// Sets the usage bit of every reference bound in the passages; clears none.
void MarkUsage(CtrlConfig& cfg);
// Clears every usage mask, then marks the passages' references: the masks follow cfg alone.
void RecountUsage(CtrlConfig& cfg);

void SetOutput(CtrlConfig& cfg, int passage, int slot, IoRef ref, bool nc);
void SetInput(CtrlConfig& cfg, int passage, int slot, IoRef ref, bool nc);
void SetReader(CtrlConfig& cfg, int passage, int slot, IoRef ref);
void SetOutputNc(CtrlConfig& cfg, int passage, int slot, bool nc);
void SetInputNc(CtrlConfig& cfg, int passage, int slot, bool nc);

// Free I/O points of the listed devices in display order; out holds kMaxFreeIo.
int FreeIo(const CtrlConfig& cfg, int kind, IoRef* out);  // outputs skip elevator modules
int FreeModuleIo(const CtrlConfig& cfg, int kind, IoRef* out);  // elevator modules only
// Distinct bound values of an output slot over the passages; out holds kMaxPassages.
int SharedOutputs(const CtrlConfig& cfg, int slot, IoRef* out);


// "DEVNAME:LabelN", or the placeholder "     ---     " (+1 space for a three-letter label).
std::string IoRefText(const CtrlConfig& cfg, IoRef ref, const char* label);

}  // namespace orvu
