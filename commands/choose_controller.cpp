// Choosing a controller: one order of steps for the window and the command-line tool.
#include "commands/choose_controller.h"

#include "commands/commands.h"
#include "comm/identity.h"

namespace orvu {

void ChooseController(UdpDev& dev, CtrlConfig& cfg, const std::function<void()>& answered) {
  Clear(cfg);
  if (!dev.Status()) throw UErr(dev, ErrCode::kNoAnswer, 0);
  // The caller shows the answered status (the list line's mode) before the read can fail.
  if (answered) answered();
  if (!IsController(dev.id)) return;
  // ReadCfg alone would quietly do nothing here; choosing must say why nothing was read.
  if (!ConfigReadable(ModeOf(dev.mode))) throw UErr(dev, ErrCode::kModeForbids, 0);
  ReadCfg(dev, cfg);
}

}  // namespace orvu
