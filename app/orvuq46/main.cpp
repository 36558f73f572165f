// orvuQ46: the configuration tool on the real UDP endpoint (port 45389, broadcast).
#include <memory>

#include "comm/posix_udp.h"
#include "ui/run_tool.h"

int main(int argc, char** argv) {
  // A port held by another program is reported by the window's first action, which opens
  // with an empty list; the window retries on later actions.
  return orvu::RunTool(argc, argv, [] { return std::make_unique<orvu::PosixUdpEndpoint>(); });
}
