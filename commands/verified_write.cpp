#include "commands/verified_write.h"

#include <vector>

#include "commands/commands.h"

namespace orvu {
namespace {

constexpr int kWriteAttempts = 3;
constexpr int kReadBackAttempts = 3;

bool SentNothing(const UErr& e) {
  return e.cmd != kCmdWritePassages &&
         (e.code == ErrCode::kNoAnswer || e.code == ErrCode::kSessionRefused);
}

}  // namespace

ErrorSeen SeenOf(const UErr& err) { return ErrorSeen{err.code, err.cmd, ErrText(err)}; }

void WritePatiently(UdpDev& dev, const CtrlConfig& planned, const Notes& note) {
  for (int attempt = 1;; ++attempt) {
    try {
      WriteCfg(dev, planned);
      return;
    } catch (const UErr& e) {
      if (attempt == kWriteAttempts || !SentNothing(e)) throw;
      if (note) note(NoteAbout(dev, e.code, " before the write, trying again"));
    }
  }
}

bool HoldsSent(const CtrlConfig& back, const CtrlConfig& planned) {
  if (back.deviceCount != planned.deviceCount) return false;
  for (int i = 0; i < back.deviceCount && i < kMaxDevices; ++i)
    if (back.devices[i].id != planned.devices[i].id) return false;
  return SamePassages(back, planned);
}

VerifiedWrite WriteAndReadBack(UdpDev& dev, const CtrlConfig& planned, const Notes& note) {
  VerifiedWrite result;
  try {
    WritePatiently(dev, planned, note);
  } catch (const UErr& e) {
    result.writeError = SeenOf(e);
  }
  for (int attempt = 0; attempt < kReadBackAttempts; ++attempt) {
    auto back = std::make_unique<CtrlConfig>();
    try {
      ReadControllerPatiently(dev, *back, note);
    } catch (const UErr& e) {
      // After a read that differed, that read is the outcome: what the controller holds.
      if (!result.held) result.readError = SeenOf(e);
      return result;
    }
    const bool holdsSent = HoldsSent(*back, planned);
    result.readBack = holdsSent ? VerifiedWrite::ReadBack::kHoldsSent
                                : VerifiedWrite::ReadBack::kHoldsOther;
    result.held = std::move(back);
    if (holdsSent) break;
  }
  return result;
}

}  // namespace orvu
