#include "ui/font_warm_up.h"

#include <fontconfig/fontconfig.h>

namespace orvu {

// Qt's font database on Linux sits on this configuration: its first use finds it loaded.
FontConfigWarmUp::FontConfigWarmUp() : thread_([] { FcInit(); }) {}

void FontConfigWarmUp::Join() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace orvu
