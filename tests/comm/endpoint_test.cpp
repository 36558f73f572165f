#include "comm/endpoint.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace orvu {
namespace {

class NullEndpoint : public Endpoint {
 public:
  void Send(const std::string&, uint16_t, const uint8_t*, size_t) override {}
  void Broadcast(const uint8_t*, size_t) override {}
  size_t Receive(uint8_t*, size_t, int, std::string*) override { return 0; }
  uint16_t DevicePort() const override { return kUdpPort; }
};

TEST(Endpoint, RegistrationAndItsAbsence) {
  Endpoint* before = nullptr;
  try {
    before = &TheEndpoint();
  } catch (const std::logic_error&) {
  }
  NullEndpoint mine;
  SetEndpoint(&mine);
  EXPECT_EQ(&TheEndpoint(), &mine);
  SetEndpoint(nullptr);
  EXPECT_THROW(TheEndpoint(), std::logic_error);
  SetEndpoint(before);
}

}  // namespace
}  // namespace orvu
