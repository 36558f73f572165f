// The controller's secured commands: session upkeep, the bus device list and the passages.
#include <algorithm>

#include "comm/identity.h"
#include "model/ctrlcfg.h"
#include "sim/device.h"
#include "sim/device_frames.h"

namespace orvu {

namespace {

constexpr unsigned kRefsPerPassage = 18;

// A passage payload the controller keeps: n <= 16 passages of 18 references and 8 parameter
// bytes each, nothing more and nothing less.
bool WellFormedPassages(const std::vector<uint8_t>& p) {
  if (p.size() < 2) return false;
  const size_t n = p[0] & 0x7F;
  return n <= 16 && p[1] == kRefsPerPassage && p.size() == 2 + 44 * n;
}

}  // namespace

bool SimDevice::SecuredCommand(uint8_t cmd, const std::vector<uint8_t>& payload,
                               SimRequest& rec, std::vector<uint8_t>& answer) {
  const bool configurable = (mode_ & 0x02) != 0;  // Serwis and Instalacja
  auto acknowledge = [&](bool done) {
    if (!done) rec.verdict = SimVerdict::kRefused;
    answer = {done ? simwire::kAck : simwire::kNak};
    return true;
  };
  switch (cmd) {
    case 'S':
      return acknowledge(true);
    case 's':
      session_ = Session{};
      return acknowledge(true);
    case 'D':
      answer = DevListPayloadLocked();
      return true;
    case 'C':
      if (!configurable) {
        rec.verdict = SimVerdict::kRefused;
        return false;
      }
      answer = passages_;
      return true;
    case 'c':
      return acknowledge(configurable && StorePassages(payload));
    case 'F':
      return acknowledge(configurable && DeleteInactive());
    case 'R':
      return acknowledge(configurable && ReplaceDevice(payload));
    default:
      rec.verdict = SimVerdict::kUnknownCommand;
      return false;
  }
}

// Kept exactly as received (the tool sets bit 7 of the count byte); writing a configuration
// accepts every device attached so far.
bool SimDevice::StorePassages(const std::vector<uint8_t>& payload) {
  if (!WellFormedPassages(payload)) return false;
  passages_ = payload;
  written_.push_back(payload);
  for (SimBusRecord& record : bus_) {
    if (record.id != kEmptySlotId) record.info[1] &= uint8_t(~kStateNew);
  }
  return true;
}

template <class Change>
void SimDevice::ForEachStoredRef(Change change) {
  if (!WellFormedPassages(passages_)) return;
  const size_t refs = kRefsPerPassage * (passages_[0] & 0x7F);
  for (size_t k = 0; k < refs; ++k) {
    uint8_t* at = passages_.data() + 2 + 2 * k;
    uint16_t ref = simwire::Le16(at);
    if (ref != kNoRef) simwire::PutLe16(at, change(ref));
  }
}

// Inactive devices leave empty slots behind, so the indices of the others, which the passages
// reference, stay as they are. A replacement that only shows inactive while it settles in is
// not inactive and stays.
bool SimDevice::DeleteInactive() {
  std::vector<bool> dropped(bus_.size(), false);
  for (size_t i = 0; i < bus_.size(); ++i) {
    if (bus_[i].id == kEmptySlotId || !(bus_[i].info[1] & kStateInactive)) continue;
    dropped[i] = true;
    bus_[i] = SimBusRecord{};
    inactiveUntilMs_[i] = 0;
  }
  ForEachStoredRef([&](uint16_t ref) {
    const unsigned device = RefDevice(ref);
    return device < dropped.size() && dropped[device] ? kNoRef : ref;
  });
  return true;
}

// pair[0]: the inactive device, pair[1]: a new device of the same type that takes over its
// bindings. Anything else is refused and changes nothing.
bool SimDevice::ReplaceDevice(const std::vector<uint8_t>& pair) {
  if (pair.size() != 2) return false;
  const size_t from = pair[0], to = pair[1];
  if (from == to || from >= bus_.size() || to >= bus_.size()) return false;
  const SimBusRecord& old = bus_[from];
  const SimBusRecord& fresh = bus_[to];
  if (old.id == kEmptySlotId || fresh.id == kEmptySlotId) return false;
  if (!(old.info[1] & kStateInactive) || !(fresh.info[1] & kStateNew) ||
      (fresh.info[1] & kStateInactive))
    return false;
  if (TypeCode(old.id) != TypeCode(fresh.id)) return false;

  ForEachStoredRef([&](uint16_t ref) {
    return static_cast<size_t>(RefDevice(ref)) == from ? uint16_t(to << 8 | (ref & 0xFF)) : ref;
  });
  bus_[to].info[1] &= uint8_t(~kStateNew);
  inactiveUntilMs_[to] = clock_.NowMs() + replaceSettleMs_;
  bus_[from] = SimBusRecord{};
  inactiveUntilMs_[from] = 0;
  return true;
}

}  // namespace orvu
