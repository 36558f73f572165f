// The text of one binding, as the editor's lists and the report show it.
#include <cstring>
#include <string>

#include "comm/identity.h"
#include "model/ctrlcfg.h"

namespace orvu {

std::string IoRefText(const CtrlConfig& cfg, IoRef ref, const char* label) {
  const char* kind = label ? label : "";
  if (ref == kNoRef) {
    // As wide as a bound text, so the columns of the lists stay aligned.
    std::string text = "     ---     ";
    if (std::strlen(kind) == 3) text += ' ';
    return text;
  }
  return DevName(cfg.devices[RefDevice(ref)].id) + ':' + kind + std::to_string(RefChannel(ref) + 1);
}

}  // namespace orvu
