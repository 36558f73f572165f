// The in-process LAN behaves as the tool's socket would: broadcasts reach every device,
// replies come from each device's address, and time-outs pass on the LAN's clock.
#include <gtest/gtest.h>

#include <set>

#include "commands/commands.h"
#include "comm/crc32.h"
#include "comm/identity.h"
#include "comm/udpdev.h"
#include "model/ctrlcfg.h"
#include "sim/lan.h"
#include "sim/scenario.h"

namespace orvu {
namespace {

std::vector<uint8_t> DiscoveryRequest() {
  std::vector<uint8_t> frame{'M', 'M', 'D', 'O', 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
  const uint32_t crc = Crc32(frame.data(), 8, kCrcInit);
  for (int i = 0; i < 4; ++i) frame[8 + i] = uint8_t(crc >> (8 * i));
  return frame;
}

struct LanFixture : testing::Test {
  ManualClock clock;
  SimLan lan{clock};
  void SetUp() override {
    AddScenario(lan, DemoScenario());
    SetEndpoint(&lan);
  }
  void TearDown() override { SetEndpoint(nullptr); }
};

TEST_F(LanFixture, BroadcastReachesEveryDeviceAndEachAnswersFromItsAddress) {
  lan.SetEchoBroadcast(false);
  UdpDevSet set;
  set.Search();
  // The terminal answers too, but the tool takes only controllers of its type.
  ASSERT_EQ(set.count, 3);
  std::set<std::string> addresses;
  for (int i = 0; i < set.count; ++i) addresses.insert(set.dev[i].IpText());
  EXPECT_EQ(addresses, (std::set<std::string>{"192.168.1.21", "192.168.1.22", "192.168.1.23"}));
  for (size_t i = 0; i < lan.DeviceCount(); ++i) EXPECT_EQ(lan.Device(i).CountRequests(0), 1u);
}

// Only a search counts as discovery: junk, a cut-off secured frame and a plain frame of
// command byte 0 carry no command either, but none of them is one. A search with a broken
// CRC is still a search that reached the device, and no status query.
TEST_F(LanFixture, DatagramsWithoutACommandAreNotCountedAsDiscovery) {
  SimDevice& device = *lan.Find("192.168.1.21");
  const std::vector<std::vector<uint8_t>> others = {
      {0x01, 0x02, 0x03},
      {'M', 'M', 'D', 'C', 0xFF, 0xFF, 0xFF, 0xFF, 1, 0},
      {'M', 'M', 'D', 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0},
  };
  for (const std::vector<uint8_t>& frame : others) device.Handle(frame.data(), frame.size());
  EXPECT_EQ(device.CountRequests(0), 0u);
  std::vector<uint8_t> discovery = DiscoveryRequest();
  device.Handle(discovery.data(), discovery.size());
  EXPECT_EQ(device.CountRequests(0), 1u);
  discovery.back() ^= 1;
  EXPECT_TRUE(device.Handle(discovery.data(), discovery.size()).empty());
  EXPECT_EQ(device.CountRequests(0), 2u);
  EXPECT_EQ(device.CountRequests('O'), 0u);
}

TEST_F(LanFixture, ReplyComesFromTheAddressedDeviceOnly) {
  SimDevice& terminal = *lan.Find("192.168.1.30");
  UdpDev dev(terminal.Id(), ParseIp("192.168.1.30"), 0);
  ASSERT_TRUE(dev.Status());
  EXPECT_EQ(dev.mode, 2);
  EXPECT_EQ(terminal.CountRequests('O'), 1u);
  EXPECT_EQ(lan.Find("192.168.1.21")->CountRequests('O'), 0u);
}

TEST_F(LanFixture, ZeroTimeOutReturnsAtOnceAndWaitsPassOnTheClock) {
  uint8_t buf[64];
  std::string from;
  const int64_t start = clock.NowMs();
  EXPECT_EQ(lan.Receive(buf, sizeof buf, 0, &from), 0u);
  EXPECT_EQ(clock.NowMs(), start);
  EXPECT_EQ(lan.Receive(buf, sizeof buf, kDefaultTimeout, &from), 0u);
  EXPECT_EQ(clock.NowMs(), start + kReceiveTimeoutMs);

  // A reply due later than now is not there for a zero wait; a longer wait ends when it
  // arrives, not at the time-out.
  SimFaults late;
  late.delayReply = 1;
  late.delayMs = 150;
  lan.Find("192.168.1.21")->SetFaults(late);
  const std::vector<uint8_t> discovery = DiscoveryRequest();
  lan.Send("192.168.1.21", lan.DevicePort(), discovery.data(), discovery.size());
  const int64_t sent = clock.NowMs();
  EXPECT_EQ(lan.Receive(buf, sizeof buf, 0, &from), 0u);
  EXPECT_EQ(clock.NowMs(), sent);
  EXPECT_EQ(lan.Receive(buf, sizeof buf, kDefaultTimeout, &from), 28u);
  EXPECT_EQ(from, "192.168.1.21");
  EXPECT_EQ(clock.NowMs(), sent + 150);
}

TEST_F(LanFixture, ToolHearsItsOwnBroadcastLikeOnASocket) {
  uint8_t frame[12] = {'M', 'M', 'D', 'O', 1, 2, 3, 4, 5, 6, 7, 8};
  lan.Broadcast(frame, sizeof frame);
  uint8_t buf[64];
  std::string from;
  ASSERT_EQ(lan.Receive(buf, sizeof buf, 0, &from), 12u);
  EXPECT_EQ(from, lan.ToolIp());
  EXPECT_EQ(lan.Receive(buf, sizeof buf, 0, &from), 0u);
}

TEST_F(LanFixture, DemoControllerReadsCompletely) {
  UdpDevSet set;
  set.Search();
  ASSERT_GE(set.count, 1);
  UdpDev* serwis = nullptr;
  for (int i = 0; i < set.count; ++i)
    if (set.dev[i].IpText() == "192.168.1.21") serwis = &set.dev[i];
  ASSERT_NE(serwis, nullptr);
  CtrlConfig cfg;
  ReadCfg(*serwis, cfg);
  EXPECT_EQ(cfg.deviceCount, 8);
  EXPECT_EQ(cfg.passageCount, 3);
  EXPECT_TRUE(HasInactive(cfg));
  ReplacePair pairs[kMaxReplacePairs];
  EXPECT_EQ(ReplacePairs(cfg, pairs), 1);
  EXPECT_TRUE(lan.Find("192.168.1.21")->HoldsOwnSession());
}

}  // namespace
}  // namespace orvu
