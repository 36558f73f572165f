// Arbitrary bytes as a backup file: the reader either refuses them with a place and a reason or
// returns a backup that writes back to a file reading the same; the restore plan of any
// accepted backup onto a small controller, and its comparison with itself, stay inside their
// tables.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "backup/backup_file.h"
#include "backup/compare.h"
#include "backup/restore_plan.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

// A controller with itself, an elevator module and a reader, and two passages.
const orvu::CtrlConfig& Controller() {
  static const orvu::CtrlConfig* const cfg = [] {
    auto* c = new orvu::CtrlConfig;
    c->deviceCount = c->listedCount = 3;
    const uint32_t ids[3] = {(346u << 16) | 1201u, (717u << 16) | 1301u, (1u << 16) | 1401u};
    for (int i = 0; i < 3; ++i) {
      c->devices[i].id = ids[i];
      c->devices[i].outputCount = c->devices[i].inputCount = static_cast<uint16_t>(4 * (i + 1));
      c->devices[i].readerCount = 1;
      c->devices[i].ocOutputs = i == 1;
      c->listed[i] = static_cast<uint32_t>(i);
    }
    c->passageCount = 2;
    for (auto& row : c->outRefs) for (auto& r : row) r = orvu::kNoRef;
    for (auto& row : c->inRefs) for (auto& r : row) r = orvu::kNoRef;
    for (auto& row : c->rdRefs) for (auto& r : row) r = orvu::kNoRef;
    return c;
  }();
  return *cfg;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orvu;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Backup backup;
  try {
    backup = ParseBackupFile(text);
  } catch (const BackupFileError& e) {
    Check(!e.reason.empty());
    Check(e.pointer.empty() || e.pointer[0] == '/');
    return 0;
  }
  Check(backup.passages.size() <= kMaxPassages && backup.devices.size() <= kMaxDevices);
  Check(ParseBackupFile(BackupFileText(backup)) == backup);
  Check(CompareBackups(backup, backup).empty());

  const RestorePlan plan = PlanRestore(backup, Controller(), backup.controllerId);
  if (plan.problems.empty()) {
    Check(plan.planned->passageCount == static_cast<int>(backup.passages.size()));
    Check(PassagePayload(*plan.planned).size() == 2 + 44 * backup.passages.size());
  }
  return 0;
}
