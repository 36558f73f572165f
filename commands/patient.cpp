#include "commands/patient.h"

#include "commands/choose_controller.h"
#include "comm/identity.h"

namespace orvu {
namespace {

constexpr int kReadAttempts = 3;

bool LostDatagramExplains(ErrCode code) {
  return code == ErrCode::kNoAnswer || code == ErrCode::kSessionRefused ||
         code == ErrCode::kNoReply;
}

}  // namespace

std::string NoteAbout(const UdpDev& dev, ErrCode code, const std::string& rest) {
  return DevName(dev.id) + ", " + dev.IpText() + ": error " + std::to_string(ErrNumber(code)) +
         rest;
}

void ReadControllerPatiently(UdpDev& dev, CtrlConfig& cfg, const Notes& note) {
  for (int attempt = 1;; ++attempt) {
    try {
      ChooseController(dev, cfg);
      return;
    } catch (const UErr& e) {
      if (attempt == kReadAttempts || !LostDatagramExplains(e.code)) throw;
      if (note) note(NoteAbout(dev, e.code, ", trying again"));
    }
  }
}

}  // namespace orvu
