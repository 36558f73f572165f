// The tool's communication layer and controller commands against simulated controllers over
// real loopback UDP: each operation does to the controller what it should, and the controller
// holds what the tool sent.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "commands/commands.h"
#include "comm/identity.h"
#include "model/ctrlcfg.h"
#include "sim/scenario.h"
#include "tests/sim/udp_fixture.h"

namespace orvu {
namespace {

constexpr uint16_t kSerial = 1201;

std::vector<uint8_t> Encoded(const CtrlConfig& cfg) {
  std::vector<uint8_t> out(kMaxPassagePayload);
  out.resize(EncodePassages(cfg, out.data()));
  return out;
}

class ControllerOverUdp : public UdpFixture {
 protected:
  void SetUp() override {
    sim = &server.AddDevice(SmallInstallation(kSerial, "127.0.0.2", 2));
    Serve();
    dev = &Tool(*sim);
  }
  // Secured requests of one command, in order of arrival.
  std::vector<SimRequest> Secured(uint8_t cmd) const {
    std::vector<SimRequest> out;
    for (const SimRequest& r : sim->Requests()) {
      if (r.kind == SimFrameKind::kSecured && r.cmd == cmd) out.push_back(r);
    }
    return out;
  }

  SimDevice* sim = nullptr;
  UdpDev* dev = nullptr;
  CtrlConfig cfg;
};

using DemoOverUdp = UdpFixture;

TEST_F(DemoOverUdp, DiscoveryFindsEveryControllerInOrderFromItsOwnAddress) {
  Scenario demo = DemoScenario();
  RebaseAddresses(demo, "127.0.0.2");
  AddScenario(server, demo);
  Serve();
  set.Search();
  // Three controllers; the terminal answers too but is not of the tool's type.
  ASSERT_EQ(set.count, 3);
  for (int i = 0; i < 3; ++i) {
    SimDevice* sim = server.Find(set.dev[i].IpText());
    ASSERT_NE(sim, nullptr);
    EXPECT_EQ(set.dev[i].id, sim->Id());
    EXPECT_EQ(set.dev[i].mode, sim->Mode());
    if (i > 0) {
      EXPECT_LT(OrderingKey(set.dev[i - 1].id), OrderingKey(set.dev[i].id));
    }
  }
  EXPECT_EQ(server.Find("127.0.0.5")->CountRequests(0), 1u);  // the terminal heard it once
}

TEST_F(ControllerOverUdp, ReadTakesTheStoredListAndPassages) {
  ReadCfg(*dev, cfg);
  EXPECT_EQ(cfg.deviceCount, 8);
  EXPECT_EQ(cfg.listedCount, 8);
  ASSERT_EQ(cfg.passageCount, 3);
  EXPECT_EQ(cfg.devices[0].id, sim->BusDevices()[0].id);
  std::vector<uint8_t> stored = sim->Passages();
  std::vector<uint8_t> read = Encoded(cfg);
  stored[0] |= 0x80;  // the tool marks what it writes; the rest must be byte for byte
  EXPECT_EQ(read, stored);
  // The first secured request of a session carries 1.
  ASSERT_EQ(Secured('D').size(), 1u);
  EXPECT_EQ(Secured('D')[0].seq, 1);
  EXPECT_EQ(Secured('C')[0].seq, 2);
}

TEST_F(ControllerOverUdp, WriteStoresExactlyWhatWasSentAndReadsBackEqual) {
  ReadCfg(*dev, cfg);
  SetOutput(cfg, 0, kSlotBolt, IoRef(1 * 256 + 5), false);  // same device: detector stays
  SetInput(cfg, 1, kSlotExitButton, IoRef(0 * 256 + 3), true);
  SetReader(cfg, 2, 2, IoRef(7 * 256 + 0));
  cfg.params[2][6] = 99;
  const std::vector<uint8_t> sent = Encoded(cfg);
  WriteCfg(*dev, cfg);

  EXPECT_EQ(sim->Passages(), sent);
  EXPECT_EQ(sim->WrittenPassages(), std::vector<std::vector<uint8_t>>{sent});
  // Writing accepts every new device.
  for (const SimBusRecord& r : sim->BusDevices()) EXPECT_FALSE(r.State() & kStateNew);

  CtrlConfig again;
  ReadCfg(*dev, again);
  EXPECT_EQ(Encoded(again), sent);
}

TEST_F(ControllerOverUdp, DeleteDropsInactiveDevicesAndTheirBindings) {
  ReadCfg(*dev, cfg);
  ASSERT_TRUE(HasInactive(cfg));
  const IoRef stillBound = cfg.rdRefs[2][1];  // the keypad, device 5
  DelLost(*dev);
  ReadCfg(*dev, cfg);
  EXPECT_FALSE(HasInactive(cfg));
  EXPECT_EQ(cfg.deviceCount, 8);  // indices stay; the slot is empty
  EXPECT_EQ(cfg.listedCount, 7);
  EXPECT_EQ(cfg.devices[6].id, kEmptySlotId);
  EXPECT_EQ(cfg.inRefs[2][kSlotAlarmDetector], kNoRef);
  EXPECT_EQ(cfg.rdRefs[2][0], kNoRef);
  EXPECT_EQ(cfg.rdRefs[2][1], stillBound);
}

TEST_F(ControllerOverUdp, ReplaceHandsTheBindingsToTheNewDevice) {
  ReadCfg(*dev, cfg);
  ReplacePair pairs[kMaxReplacePairs];
  ASSERT_EQ(ReplacePairs(cfg, pairs), 1);
  ASSERT_EQ(pairs[0], ReplacePair(7 * 256 + 6));
  Replace(*dev, pairs[0]);

  ReadCfg(*dev, cfg);
  EXPECT_EQ(cfg.devices[6].id, kEmptySlotId);
  EXPECT_EQ(cfg.rdRefs[2][0], IoRef(7 * 256 + 0));
  EXPECT_EQ(cfg.inRefs[2][kSlotAlarmDetector], IoRef(7 * 256 + 0));
  // The newcomer shows inactive while it settles in, then as an ordinary device.
  EXPECT_EQ(cfg.devices[7].state, kStateInactive);
  ASSERT_TRUE(dev->Status());
  clock.Advance(kSimReplaceSettleMs);
  EXPECT_TRUE(CheckDevList(*dev, cfg));
  EXPECT_EQ(cfg.devices[7].state, 0);

  // The same pair again is refused: the old device is gone.
  EXPECT_THROW(
      try { Replace(*dev, pairs[0]); } catch (const UErr& e) {
        EXPECT_EQ(e.code, ErrCode::kNoAck);
        throw;
      },
      UErr);
}

TEST_F(ControllerOverUdp, DeleteRightAfterReplaceKeepsTheSettlingNewcomer) {
  ReadCfg(*dev, cfg);
  Replace(*dev, ReplacePair(7 * 256 + 6));
  ReadCfg(*dev, cfg);
  ASSERT_TRUE(HasInactive(cfg));  // the newcomer shows inactive while it settles in
  DelLost(*dev);
  ReadCfg(*dev, cfg);
  EXPECT_NE(cfg.devices[7].id, kEmptySlotId);
  EXPECT_EQ(cfg.rdRefs[2][0], IoRef(7 * 256 + 0));
}

TEST_F(ControllerOverUdp, KeepAliveRefreshesAndCloseEndsTheSession) {
  ReadCfg(*dev, cfg);
  clock.Advance(kSimSessionIdleMs - 1000);
  dev->KeepAlive();
  clock.Advance(kSimSessionIdleMs - 1000);  // past the first idle end: the keep-alive counted
  EXPECT_TRUE(sim->HoldsOwnSession());
  EXPECT_EQ(Secured('S').size(), 1u);

  dev->CloseSession();
  EXPECT_FALSE(dev->session);
  EXPECT_FALSE(sim->HoldsOwnSession());
  EXPECT_EQ(Secured('s').size(), 1u);
  EXPECT_EQ(sim->Mode() & 0x80, 0);
}

TEST_F(ControllerOverUdp, IdleSessionEndsAndTheNextOneRestartsTheSequence) {
  ReadCfg(*dev, cfg);
  dev->KeepAlive();
  clock.Advance(kSimSessionIdleMs);
  EXPECT_FALSE(sim->HoldsOwnSession());
  ASSERT_TRUE(dev->Status());
  EXPECT_FALSE(dev->session);  // bit 7 clear: the tool lets go of its session

  sim->ClearRequests();
  ReadCfg(*dev, cfg);
  EXPECT_EQ(sim->CountRequests('K'), 1u);
  ASSERT_EQ(Secured('D').size(), 1u);
  EXPECT_EQ(Secured('D')[0].seq, 1);
  EXPECT_EQ(cfg.passageCount, 3);
}

TEST_F(ControllerOverUdp, ForeignSessionIsLeftAloneUntilItEnds) {
  sim->SetForeignSession(SimForeignSession::kIdle);
  sim->ClearRequests();
  try {
    ReadCfg(*dev, cfg);
    FAIL() << "read through a foreign session";
  } catch (const UErr& e) {
    EXPECT_EQ(e.code, ErrCode::kForeignSession);
  }
  EXPECT_FALSE(CheckDevList(*dev, cfg));
  for (const SimRequest& r : sim->Requests()) EXPECT_EQ(r.cmd, 'O') << "sent more than a status query";

  clock.Advance(kSimSessionIdleMs);
  ReadCfg(*dev, cfg);
  EXPECT_EQ(cfg.passageCount, 3);
}

TEST_F(ControllerOverUdp, ModeThatForbidsConfigurationRefusesReadAndWrite) {
  ReadCfg(*dev, cfg);
  sim->SetMode(1);  // Konfiguracja: switched on the web page while the tool holds a session
  ASSERT_TRUE(dev->Status());
  CtrlConfig empty;
  ReadCfg(*dev, empty);  // the tool does not ask
  EXPECT_EQ(empty.passageCount, 0);
  EXPECT_THROW(WriteCfg(*dev, cfg), UErr);  // the controller does not take it
  EXPECT_TRUE(sim->WrittenPassages().empty());
}

}  // namespace
}  // namespace orvu
