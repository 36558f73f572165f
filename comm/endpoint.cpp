// The subsystem's single endpoint, registered by whoever owns it (the product, a test, the demo).
#include "comm/endpoint.h"

#include <stdexcept>

namespace orvu {
namespace {
Endpoint* registered = nullptr;
}

void SetEndpoint(Endpoint* endpoint) { registered = endpoint; }

Endpoint& TheEndpoint() {
  if (!registered) throw std::logic_error("no UDP endpoint registered");
  return *registered;
}

}  // namespace orvu
