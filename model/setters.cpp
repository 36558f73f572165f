// The editor's way of changing bindings. Two rules hold across every change: an output, input
// or reader serves one function (alarm and CCTV outputs may be shared by several passages for
// that same function), and a passage's bolt and open detector sit on the same device.
#include "model/ctrlcfg.h"
#include "model/rows.h"
#include "model/usage.h"

namespace orvu {

namespace {

bool InTable(int passage, int slot, int slots) {
  return passage >= 0 && passage < kMaxPassages && slot >= 0 && slot < slots;
}

bool IsSharedSlot(int slot) { return slot == kSlotAlarm || slot == kSlotCctv; }

bool SamePoint(IoRef a, IoRef b) { return (a & ~kNcBit) == (b & ~kNcBit); }

// A flag never turns a binding into "none": 0xFF7F, malformed as it is (bit 15 set), keeps
// its bit 7 rather than become the empty reference.
IoRef WithNc(IoRef ref, bool nc) {
  const IoRef flagged = static_cast<IoRef>(nc ? (ref | kNcBit) : (ref & ~kNcBit));
  return flagged == kNoRef ? ref : flagged;
}

int UpperByte(IoRef ref) { return ref >> 8; }

// A shared output has one NC flag: every passage bound to the point takes value. Unbound
// slots stay unbound: "none" without its bit 7 looks like the (malformed) point 0xFF7F.
void SpreadShared(CtrlConfig& cfg, int slot, IoRef value) {
  for (int i = 0; i < PassageRows(cfg); ++i) {
    IoRef& g = cfg.outRefs[i][slot];
    if (g != kNoRef && SamePoint(g, value)) g = value;
  }
}

}  // namespace

void SetOutput(CtrlConfig& cfg, int passage, int slot, IoRef ref, bool nc) {
  if (!InTable(passage, slot, kOutputSlots)) return;
  IoRef& stored = cfg.outRefs[passage][slot];
  const IoRef old = stored;
  if (old == kNoRef && ref == kNoRef) return;

  // Only an open-collector output takes the caller's flag; a relay output keeps the value as given.
  const bool oc = ref != kNoRef && cfg.devices[RefDevice(ref)].ocOutputs;
  stored = oc ? WithNc(ref, nc) : ref;
  SetUsageBit(cfg, kKindOutputs, old, false);
  SetUsageBit(cfg, kKindOutputs, ref, true);

  if (IsSharedSlot(slot)) {
    // The cleared bit may belong to a point that other passages still use.
    for (int i = 0; i < PassageRows(cfg); ++i) SetUsageBit(cfg, kKindOutputs, cfg.outRefs[i][slot], true);
    // Clearing a slot has no flag to spread; spreading "none" would unbind look-alike values.
    if (ref != kNoRef) SpreadShared(cfg, slot, ref);
  }

  // Only a bolt that stays on its device keeps the detector; "none" shares no device.
  const bool sameDevice = old != kNoRef && ref != kNoRef && UpperByte(old) == UpperByte(ref);
  if (slot == kSlotBolt && !sameDevice)
    SetInput(cfg, passage, kSlotOpenDetector, kNoRef, false);
}

void SetInput(CtrlConfig& cfg, int passage, int slot, IoRef ref, bool nc) {
  if (!InTable(passage, slot, kInputSlots)) return;
  IoRef& stored = cfg.inRefs[passage][slot];
  const IoRef old = stored;
  stored = ref == kNoRef ? kNoRef : WithNc(ref, nc);
  SetUsageBit(cfg, kKindInputs, old, false);
  SetUsageBit(cfg, kKindInputs, ref, true);
}

void SetReader(CtrlConfig& cfg, int passage, int slot, IoRef ref) {
  if (!InTable(passage, slot, kReaderSlots)) return;
  IoRef& stored = cfg.rdRefs[passage][slot];
  const IoRef old = stored;
  stored = ref;
  SetUsageBit(cfg, kKindReaders, old, false);
  SetUsageBit(cfg, kKindReaders, ref, true);
}

void SetOutputNc(CtrlConfig& cfg, int passage, int slot, bool nc) {
  if (!InTable(passage, slot, kOutputSlots) || cfg.outRefs[passage][slot] == kNoRef) return;
  const IoRef value = WithNc(cfg.outRefs[passage][slot], nc);
  cfg.outRefs[passage][slot] = value;
  if (IsSharedSlot(slot)) SpreadShared(cfg, slot, value);
}

void SetInputNc(CtrlConfig& cfg, int passage, int slot, bool nc) {
  if (!InTable(passage, slot, kInputSlots) || cfg.inRefs[passage][slot] == kNoRef) return;
  cfg.inRefs[passage][slot] = WithNc(cfg.inRefs[passage][slot], nc);
}

}  // namespace orvu
