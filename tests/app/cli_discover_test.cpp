#include <nlohmann/json.hpp>

#include "comm/identity.h"
#include "sim/scenario.h"
#include "tests/app/cli_fixture.h"

namespace orvu::test {
namespace {

class CliDiscover : public CliFixture {
 protected:
  void SetUp() override {
    server.AddDevice(SmallInstallation(1201, "127.0.0.2", 2));
    SimDeviceConfig locked = SmallInstallation(77, "127.0.0.3", 0);
    locked.mode = 0;  // Blokada, and a session held by another program
    locked.foreignSession = SimForeignSession::kHeld;
    server.AddDevice(locked);
    SimDeviceConfig terminal;  // answers discovery, but is no controller of ours
    terminal.id = MakeIdentity(101, 5);
    terminal.ip = "127.0.0.4";
    server.AddDevice(terminal);
    Serve();
  }
};

// Set order is identity order, not the order of the answers; the terminal fails the filter.
TEST_F(CliDiscover, ListsTheControllersInSetOrder) {
  const CliRun run = Run({"discover"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, " K46_00077,  127.0.0.3,  Blokada\n K46_01201,  127.0.0.2,  Serwis\n");
  EXPECT_EQ(run.err, "");
}

TEST_F(CliDiscover, JsonCarriesTheSameDevicesAsData) {
  const CliRun run = Run({"discover", "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto list = nlohmann::json::parse(run.out);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0]["name"], "K46_00077");
  EXPECT_EQ(list[0]["id"], MakeIdentity(346, 77));
  EXPECT_EQ(list[0]["ip"], "127.0.0.3");
  EXPECT_EQ(list[0]["mode"], 0);
  EXPECT_EQ(list[0]["modeText"], "Blokada");
  EXPECT_EQ(list[0]["session"], true);
  EXPECT_EQ(list[1]["name"], "K46_01201");
  EXPECT_EQ(list[1]["modeText"], "Serwis");
  EXPECT_EQ(list[1]["session"], false);
}

// Where a search sends, without searching: here the lab's device addresses, nothing else.
TEST_F(CliDiscover, InterfacesListsTheTargetsOfASearchAndSendsNothing) {
  const std::string port = std::to_string(server.Port());
  auto pad = [](std::string address) {
    address.resize(21, ' ');
    return address;
  };
  const CliRun run = Run({"discover", "--interfaces"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, pad("127.0.0.2:" + port) + "  asked directly\n" + pad("127.0.0.3:" + port) +
                         "  asked directly\n" + pad("127.0.0.4:" + port) + "  asked directly\n");
  EXPECT_EQ(run.err, "");
  uint8_t datagram[64];
  EXPECT_EQ(endpoint->Receive(datagram, sizeof datagram, 100), 0u);  // no answer: nothing was asked

  const auto list = nlohmann::json::parse(Run({"discover", "--interfaces", "--json"}).out);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0]["ip"], "127.0.0.2");
  EXPECT_EQ(list[0]["port"], server.Port());
  EXPECT_EQ(list[0]["interface"], "");
}

}  // namespace
}  // namespace orvu::test
