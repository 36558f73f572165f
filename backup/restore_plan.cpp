// The restore plan: the file's passages with every reference mapped by device identity to the
// controller's current device index. Every reason the file cannot be written as it says is
// collected (not just the first), and a plan with any reason is not to be written at all.
#include "backup/restore_plan.h"

#include <algorithm>
#include <cstdio>

#include "backup/backup_file.h"
#include "comm/identity.h"

namespace orvu {
namespace {

std::string IdText(uint32_t id) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", id);
  return text;
}

const char* KindNoun(int kind) { return kind == kKindOutputs ? "outputs" : kind == kKindInputs ? "inputs" : "readers"; }

int CountOf(const BusDev& dev, int kind) {
  return kind == kKindOutputs ? dev.outputCount : kind == kKindInputs ? dev.inputCount : dev.readerCount;
}

class Mapper {
 public:
  Mapper(const Backup& file, const CtrlConfig& current, uint32_t targetId)
      : current_(current), fileOwn_(OwnEntry(file)), other_(file.controllerId != targetId) {
    for (int i = 0; i < std::clamp(current.listedCount, 0, kMaxDevices); ++i) {
      const int index = static_cast<int>(current.listed[i]);
      if (index < kMaxDevices && OrderingKey(current.devices[index].id) == OrderingKey(targetId)) targetOwn_ = index;
    }
  }

  bool OtherController() const { return other_; }

  // The reference in the controller's numbering, or kNoRef after noting why there is none.
  IoRef Map(const BackupRef& ref, int kind, const std::string& pointer, std::vector<RestoreProblem>& problems) const {
    if (ref.kind == BackupRef::Kind::kNone) return kNoRef;
    if (ref.kind == BackupRef::Kind::kUnresolved) {
      problems.push_back({pointer, SlotText(ref, kind) + " named no device on the bus of the backed-up controller"});
      return kNoRef;
    }
    const std::string name = DevName(ref.id);
    std::vector<int> found;
    if (other_ && fileOwn_ && ref.id == fileOwn_->id) {
      if (targetOwn_ >= 0) found.push_back(targetOwn_);
    } else {
      for (int i = 0; i < std::clamp(current_.listedCount, 0, kMaxDevices); ++i) {
        const int index = static_cast<int>(current_.listed[i]);
        if (index < kMaxDevices && current_.devices[index].id == ref.id) found.push_back(index);
      }
    }
    if (found.empty()) {
      problems.push_back({pointer, name + " (identity " + IdText(ref.id) + ") is not on the controller's bus"});
      return kNoRef;
    }
    if (found.size() > 1) {
      std::string where;
      for (int index : found) where += (where.empty() ? "" : ", ") + std::to_string(index);
      problems.push_back({pointer, name + " (identity " + IdText(ref.id) + ") is on the controller's bus more than once (indices " + where + ")"});
      return kNoRef;
    }
    const BusDev& dev = current_.devices[found[0]];
    const std::string text = SlotText(ref, kind);
    bool fits = true;
    if (ref.channel >= CountOf(dev, kind)) {
      problems.push_back({pointer, text + " is beyond the " + std::to_string(CountOf(dev, kind)) + " " + KindNoun(kind) + " of " + name});
      fits = false;
    }
    if (kind == kKindOutputs && ref.nc && !dev.ocOutputs) {
      problems.push_back({pointer, text + ": only an open-collector output carries the NC flag, and " + name + "'s outputs are not"});
      fits = false;
    }
    if (!fits) return kNoRef;
    return static_cast<IoRef>(MakeRef(found[0], ref.channel) | (ref.nc ? kNcBit : 0));
  }

 private:
  const CtrlConfig& current_;
  const BackupDevice* fileOwn_;
  int targetOwn_ = -1;
  bool other_;
};

}  // namespace

RestorePlan PlanRestore(const Backup& file, const CtrlConfig& current, uint32_t targetId) {
  RestorePlan plan;
  plan.planned = std::make_unique<CtrlConfig>(current);
  CtrlConfig& planned = *plan.planned;
  const Mapper mapper(file, current, targetId);
  plan.otherController = mapper.OtherController();

  const int count = static_cast<int>(file.passages.size());
  if (count != current.passageCount)
    plan.problems.push_back({"/passages", "the file holds " + std::to_string(count) + " passages, the controller " +
                                              std::to_string(current.passageCount)});
  for (int p = 0; p < count && p < kMaxPassages; ++p) {
    const BackupPassage& passage = file.passages[static_cast<size_t>(p)];
    const std::string pointer = "/passages/" + std::to_string(p) + "/bindings/";
    for (int k = 0; k < kPassageSlots; ++k) {
      const PassageSlot& slot = SlotAt(k);
      SetSlotRef(planned, p, k, mapper.Map(passage.slots[k], slot.kind, pointer + PointerToken(slot.key), plan.problems));
    }
    std::copy(passage.params, passage.params + kParamBytes, planned.params[p]);
  }
  if (!plan.problems.empty()) return plan;

  planned.passageCount = count;
  RecountUsage(planned);
  plan.changes = ComparePassages(BackupOf(current, targetId, "", OperatingMode::kBlokada, ""),
                                 BackupOf(planned, targetId, "", OperatingMode::kBlokada, ""));
  return plan;
}

std::vector<uint8_t> PassagePayload(const CtrlConfig& cfg) {
  std::vector<uint8_t> payload(kMaxPassagePayload);
  payload.resize(EncodePassages(cfg, payload.data()));
  return payload;
}

}  // namespace orvu
