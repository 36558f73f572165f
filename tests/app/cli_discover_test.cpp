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

}  // namespace
}  // namespace orvu::test
