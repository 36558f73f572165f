// Writing a controller's passages and reading them back. Success is only what the read-back
// shows: an acknowledgement alone proves nothing (it may be a late one), and a missing one
// leaves the outcome unknown. The outcome is plain data, so a worker thread can hand it over
// without the device record a UErr points into.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "commands/patient.h"
#include "comm/udpdev.h"
#include "model/ctrlcfg.h"

namespace orvu {

// A UErr as caught: its code, command and ErrText (Windows-1250).
struct ErrorSeen {
  ErrCode code{};
  uint8_t cmd = 0;
  std::string text;
};
ErrorSeen SeenOf(const UErr& err);

struct VerifiedWrite {
  // The write was not acknowledged: its outcome was unknown until read back.
  std::optional<ErrorSeen> writeError;
  enum class ReadBack { kHoldsSent, kHoldsOther, kFailed } readBack = ReadBack::kFailed;
  // The last configuration read back: set for kHoldsSent and kHoldsOther.
  std::unique_ptr<CtrlConfig> held;
  // kFailed: why reading back failed (nothing was read back).
  std::optional<ErrorSeen> readError;

  bool Verified() const { return !writeError && readBack == ReadBack::kHoldsSent; }
};

// WriteCfg, tried again (up to 3 times in all, each retry noted) only while it provably sent
// nothing: no answer to the status query (1) or a session seed that did not arrive (3), on a
// command other than the passage write. Once the write's request may have gone out, a failure
// is raised, and only a read-back can tell what the controller took.
void WritePatiently(UdpDev& dev, const CtrlConfig& planned, const Notes& note);

// back holds what was sent only with the same devices at the same indices: the references sent
// are indices, and mean what was planned only over the list they were mapped onto.
bool HoldsSent(const CtrlConfig& back, const CtrlConfig& planned);

// WritePatiently, then the controller read as it is chosen (ReadControllerPatiently) until it
// holds what was sent, up to 3 times: a read-back that differs may be a late reply to the read
// before the write. No UErr escapes: every failure of the controller's is in the outcome.
VerifiedWrite WriteAndReadBack(UdpDev& dev, const CtrlConfig& planned, const Notes& note);

}  // namespace orvu
