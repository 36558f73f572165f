// Differences per bus device and per passage slot. Devices are matched by identity word, the
// two controllers' own entries with each other; references compare by device identity,
// channel and NC flag, never by index.
#include "backup/compare.h"

#include <algorithm>
#include <cstdio>

#include "comm/cp1250.h"
#include "comm/identity.h"
#include "model/params.h"
#include "model/times.h"

namespace orvu {
namespace {

// Identities as the comparison sees them: the own entry of either controller is "this
// controller" (a value no bus identity word has, as its upper 16 bits are those of an empty slot).
constexpr uint64_t kThisController = 0xFFFF0000u;

class Identities {
 public:
  Identities(const Backup& a, const Backup& b) : ownA_(OwnEntry(a)), ownB_(OwnEntry(b)) {}
  uint64_t OfA(uint32_t id) const { return ownA_ && id == ownA_->id ? kThisController : id; }
  uint64_t OfB(uint32_t id) const { return ownB_ && id == ownB_->id ? kThisController : id; }

 private:
  const BackupDevice* ownA_;
  const BackupDevice* ownB_;
};

std::string DeviceName(const BackupDevice& device) {
  BusDev bus;
  bus.id = device.id;
  bus.suffixNumber = device.suffixNumber;
  return Utf8FromCp1250(DevLongName(bus));
}

std::string StateValue(uint8_t state) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", state);
  const std::string name = Utf8FromCp1250(StateText(state));
  return name.empty() ? text : std::string(text) + " " + name;
}

std::string Bytes(const uint8_t* params) {
  std::string text;
  for (int b = 0; b < kParamBytes; ++b) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X", params[b]);
    text += (b ? " " : "") + std::string(hex);
  }
  return text;
}

std::string YesNo(bool yes) { return yes ? "yes" : "no"; }

void CompareDevice(const BackupDevice& a, const BackupDevice& b, std::vector<Difference>& out) {
  const std::string where = "device " + DeviceName(a);
  auto field = [&](const char* name, auto va, auto vb, std::string ta, std::string tb) {
    if (va != vb) out.push_back({where + ", " + name, std::move(ta), std::move(tb)});
  };
  if (a.id != b.id) out.push_back({where, DeviceName(a), DeviceName(b)});
  field("suffix number", a.suffixNumber, b.suffixNumber, std::to_string(a.suffixNumber), std::to_string(b.suffixNumber));
  field("outputs", a.outputs, b.outputs, std::to_string(a.outputs), std::to_string(b.outputs));
  field("inputs", a.inputs, b.inputs, std::to_string(a.inputs), std::to_string(b.inputs));
  field("readers", a.readers, b.readers, std::to_string(a.readers), std::to_string(b.readers));
  field("open-collector", a.openCollector, b.openCollector, YesNo(a.openCollector), YesNo(b.openCollector));
  // The conditions only: inactive, power problems, tamper. Bits 0-3 mean nothing to the tool,
  // and the new flag is cleared by the controller itself on every passage write, so a restore
  // would otherwise always leave a difference behind.
  constexpr uint8_t kConditions = kStateInactive | kStatePower | kStateTamper;
  field("state", a.state & kConditions, b.state & kConditions, StateValue(a.state), StateValue(b.state));
}

bool SameRef(const BackupRef& a, const BackupRef& b, const Identities& ids) {
  if (a.kind != b.kind) return false;
  if (a.kind != BackupRef::Kind::kDevice) return a.raw == b.raw;
  return ids.OfA(a.id) == ids.OfB(b.id) && a.channel == b.channel && a.nc == b.nc;
}

void ComparePassage(int number, const BackupPassage& a, const BackupPassage& b, const Identities& ids,
                    std::vector<Difference>& out) {
  const std::string where = "passage " + std::to_string(number) + ", ";
  for (int k = 0; k < kPassageSlots; ++k) {
    const PassageSlot& slot = SlotAt(k);
    if (!SameRef(a.slots[k], b.slots[k], ids))
      out.push_back({where + slot.key, SlotText(a.slots[k], slot.kind), SlotText(b.slots[k], slot.kind)});
  }
  const uint8_t* pa = a.params;
  const uint8_t* pb = b.params;
  auto field = [&](const char* name, std::string ta, std::string tb) {
    if (ta != tb) out.push_back({where + name, std::move(ta), std::move(tb)});
  };
  auto typeText = [](const uint8_t* p) {
    const std::string name = Utf8FromCp1250(PassageTypeName(PassageType(p)));
    return name.empty() ? std::to_string(PassageType(p)) : name;
  };
  field("type", typeText(pa), typeText(pb));
  field("pulse", TimeText(BoltPulse(pa)) + " s", TimeText(BoltPulse(pb)) + " s");
  field("openTime", TimeText(OpenTime(pa)) + " s", TimeText(OpenTime(pb)) + " s");
  field("handle", YesNo(HandleOpening(pa)), YesNo(HandleOpening(pb)));
  field("fullPulse", YesNo(FullBoltPulse(pa)), YesNo(FullBoltPulse(pb)));
  field("airlock", Utf8FromCp1250(AirlockText(pa)), Utf8FromCp1250(AirlockText(pb)));
  // Also the bits carried unchanged, which no field above shows.
  field("params", Bytes(pa), Bytes(pb));
}

}  // namespace

std::vector<Difference> ComparePassages(const Backup& a, const Backup& b) {
  std::vector<Difference> out;
  const Identities ids(a, b);
  const size_t na = a.passages.size(), nb = b.passages.size();
  if (na != nb) out.push_back({"passages", std::to_string(na), std::to_string(nb)});
  for (size_t p = 0; p < std::max(na, nb); ++p) {
    const std::string where = "passage " + std::to_string(p + 1);
    if (p >= nb) out.push_back({where, "present", "absent"});
    else if (p >= na) out.push_back({where, "absent", "present"});
    else ComparePassage(static_cast<int>(p + 1), a.passages[p], b.passages[p], ids, out);
  }
  return out;
}

std::vector<Difference> CompareBackups(const Backup& a, const Backup& b) {
  std::vector<Difference> out;
  const Identities ids(a, b);
  std::vector<bool> matched(b.devices.size(), false);
  for (const BackupDevice& da : a.devices) {
    size_t j = 0;
    while (j < b.devices.size() && (matched[j] || ids.OfB(b.devices[j].id) != ids.OfA(da.id))) ++j;
    if (j == b.devices.size()) {
      out.push_back({"device " + DeviceName(da), "present", "absent"});
      continue;
    }
    matched[j] = true;
    CompareDevice(da, b.devices[j], out);
  }
  for (size_t j = 0; j < b.devices.size(); ++j)
    if (!matched[j]) out.push_back({"device " + DeviceName(b.devices[j]), "absent", "present"});
  const std::vector<Difference> passages = ComparePassages(a, b);
  out.insert(out.end(), passages.begin(), passages.end());
  return out;
}

std::string DifferenceLine(const Difference& d) { return d.where + ": " + d.a + " -> " + d.b; }

}  // namespace orvu
