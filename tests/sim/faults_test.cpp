// Each fault knob, and each reason a controller keeps silent, seen from the tool over the
// in-process LAN (no waiting: the LAN's clock advances through the time-outs).
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "commands/commands.h"
#include "comm/crc32.h"
#include "comm/udpdev.h"
#include "model/ctrlcfg.h"
#include "sim/lan.h"
#include "sim/scenario.h"
#include "tests/comm/raised.h"

namespace orvu {
namespace {

using test::ErrorCode;

struct FaultsFixture : testing::Test {
  ManualClock clock;
  SimLan lan{clock};
  SimDevice* sim = nullptr;
  UdpDevSet set;
  UdpDev* dev = nullptr;
  CtrlConfig cfg;

  void SetUp() override {
    SetEndpoint(&lan);
    lan.SetEchoBroadcast(false);
    sim = &lan.AddDevice(SmallInstallation(1201, "192.168.1.21", 2));
    set.Add(sim->Id(), ParseIp(sim->Ip()), sim->Mode());
    dev = &set.dev[0];
  }
  void TearDown() override {
    sim->SetFaults({});
    set.CloseAll();
    SetEndpoint(nullptr);
  }
  size_t Verdicts(SimVerdict verdict) const {
    size_t n = 0;
    for (const SimRequest& r : sim->Requests()) n += r.verdict == verdict;
    return n;
  }
};

TEST_F(FaultsFixture, EachReplyFaultEndsAsTheToolMustTakeIt) {
  struct Case {
    const char* name;
    SimFaults faults;
    bool statusAnswered;  // the plain status query
    std::optional<ErrCode> readError;  // UErr code of a full read with a session open
  };
  auto with = [](auto set) {
    SimFaults f;
    set(f);
    return f;
  };
  const Case cases[] = {
      {"none", {}, true, std::nullopt},
      {"corrupt CRC", with([](SimFaults& f) { f.corruptCrc = 1; }), false, std::nullopt},
      {"corrupt signature", with([](SimFaults& f) { f.corruptSignature = 1; }), true, ErrCode::kSignature},
      {"other identity", with([](SimFaults& f) { f.otherIdentity = 1; }), false, ErrCode::kNoReply},
      {"junk before every reply", with([](SimFaults& f) { f.junk = 1; }), true, std::nullopt},
      {"every reply twice", with([](SimFaults& f) { f.duplicateReply = 1; }), true, std::nullopt},
      {"late beyond the wait", with([](SimFaults& f) { f.delayReply = 1; f.delayMs = 1000; }), false, ErrCode::kNoReply},
      {"requests lost", with([](SimFaults& f) { f.dropRequest = 1; }), false, ErrCode::kNoReply},
      {"replies lost", with([](SimFaults& f) { f.dropReply = 1; }), false, ErrCode::kNoReply},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    lan.DropPending();
    ReadCfg(*dev, cfg);  // the session is opened on a sound link
    ASSERT_TRUE(dev->session);
    sim->SetFaults(c.faults);
    dev->online = true;
    EXPECT_EQ(dev->Status(), c.statusAnswered);
    dev->online = true;  // the secured tries count as for a device still online
    dev->mode = sim->Mode();
    lan.DropPending();
    EXPECT_EQ(ErrorCode([&] {
                uint8_t buf[kCfgBufferSize];
                dev->SecTransact('D', nullptr, 0, sizeof buf, buf);
                dev->SecTransact('C', nullptr, 0, sizeof buf, buf);
              }),
              c.readError);
    sim->SetFaults({});
    lan.DropPending();
    sim->EndSession();
    dev->session = false;
  }
}

TEST_F(FaultsFixture, RequestsTheControllerMustNotAnswer) {
  ReadCfg(*dev, cfg);
  sim->ClearRequests();

  dev->key[0] ^= 1;  // the tool signs with a key the controller does not hold
  EXPECT_EQ(ErrorCode([&] { dev->KeepAlive(); }), ErrCode::kNoReply);
  EXPECT_EQ(Verdicts(SimVerdict::kBadSignature), 3u);

  sim->EndSession();  // power-cycled: no session, but the tool still thinks it has one
  dev->session = true;
  uint8_t buf[kCfgBufferSize];
  EXPECT_EQ(ErrorCode([&] { dev->SecTransact('D', nullptr, 0, sizeof buf, buf); }),
            ErrCode::kNoReply);
  EXPECT_EQ(Verdicts(SimVerdict::kNoSession), 3u);

  // Plain frames with a bad CRC, for another device, of the wrong length, or unknown.
  auto plain = [](uint8_t cmd, uint32_t id, bool goodCrc, size_t len) {
    std::vector<uint8_t> f{'M', 'M', 'D', cmd};
    for (int i = 0; i < 4; ++i) f.push_back(uint8_t(id >> (8 * i)));
    uint32_t crc = Crc32(f.data(), 8, kCrcInit) ^ (goodCrc ? 0 : 1);
    for (int i = 0; i < 4; ++i) f.push_back(uint8_t(crc >> (8 * i)));
    f.resize(len);
    return f;
  };
  struct Raw {
    std::vector<uint8_t> frame;
    SimVerdict verdict;
  };
  const Raw raws[] = {
      {plain('O', sim->Id(), false, 12), SimVerdict::kBadCrc},
      {plain('O', sim->Id() ^ 1, true, 12), SimVerdict::kOtherIdentity},
      {plain('O', sim->Id(), true, 11), SimVerdict::kMalformed},
      {plain('Z', sim->Id(), true, 12), SimVerdict::kUnknownCommand},
      {{'x', 'y'}, SimVerdict::kMalformed},
  };
  for (const Raw& raw : raws) {
    sim->ClearRequests();
    lan.Send(sim->Ip(), lan.DevicePort(), raw.frame.data(), raw.frame.size());
    EXPECT_EQ(lan.Pending(), 0u);
    ASSERT_EQ(sim->Requests().size(), 1u);
    EXPECT_EQ(sim->Requests()[0].verdict, raw.verdict);
  }
}

TEST_F(FaultsFixture, SilentDeviceHearsNothingAndComesBackWithItsSession) {
  ReadCfg(*dev, cfg);
  sim->SetSilent(true);
  EXPECT_FALSE(dev->Status());
  // Offline: the tool does not even try.
  EXPECT_EQ(ErrorCode([&] { ReadCfg(*dev, cfg); }), std::nullopt);
  EXPECT_EQ(ErrorCode([&] { WriteCfg(*dev, cfg); }), ErrCode::kNoAnswer);
  EXPECT_EQ(Verdicts(SimVerdict::kSilent), 3u + 1u);  // three status tries, then one
  sim->SetSilent(false);
  EXPECT_TRUE(dev->Status());
  EXPECT_TRUE(dev->session);  // nothing passed on the clock: the session is still there
}

TEST_F(FaultsFixture, PassagesTheControllerRefusesToStore) {
  ReadCfg(*dev, cfg);
  const std::vector<uint8_t> before = sim->Passages();
  const std::vector<std::vector<uint8_t>> bad = {
      {0x81, 18},                                 // announces a passage it does not carry
      {0x91, 18},                                 // 17 passages
      std::vector<uint8_t>(2 + 44, 0),            // 18 references missing from byte 1
      {0x80, 18, 0},                              // a byte too many
  };
  for (const std::vector<uint8_t>& payload : bad) {
    EXPECT_EQ(ErrorCode([&] { dev->SecCommand('c', payload.data(), int(payload.size())); }),
              ErrCode::kNoAck);
  }
  EXPECT_EQ(sim->Passages(), before);
  EXPECT_TRUE(sim->WrittenPassages().empty());
}

}  // namespace
}  // namespace orvu
