// Status, session opening with key derivation, keep-alive, closing, and the keep-alive
// schedule, against scripted controllers on loopback.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "comm/udpdev.h"
#include "tests/comm/loopback_peer.h"
#include "tests/comm/raised.h"
#include "tests/comm/scripted_controller.h"

namespace orvu::test {
namespace {

constexpr uint32_t kId = ControllerId(600);
constexpr int kSilenceMs = 40;

Bytes Seed(uint8_t first) {
  Bytes s(16);
  for (int i = 0; i < 16; ++i) s[i] = static_cast<uint8_t>(first + 13 * i);
  return s;
}

TEST(Status, RulesOfTheStatusBlock) {
  struct Case {
    const char* what;
    size_t size;
    uint8_t mark, reported;
    bool onlineBefore, sessionBefore;
    uint16_t modeBefore;
    bool result, online, changed, session;
    uint16_t mode;
  };
  const Case cases[] = {
      {"comes online", 16, '1', 0x02, false, false, 0x02, true, true, true, false, 0x02},
      {"nothing new", 16, '1', 0x02, true, false, 0x02, true, true, false, false, 0x02},
      {"mode changes", 16, '1', 0x03, true, false, 0x02, true, true, true, false, 0x03},
      {"mark 0 while online", 16, '0', 0x02, true, false, 0x02, false, false, true, false, 0x02},
      {"mark 0 while offline", 16, '0', 0x02, false, false, 0x02, false, false, false, false, 0x02},
      {"17-byte block", 17, '1', 0x02, true, true, 0x82, false, false, true, true, 0x82},
      {"session ended", 16, '1', 0x02, true, true, 0x82, true, true, true, false, 0x02},
      {"session held", 16, '1', 0x82, true, true, 0x82, true, true, false, true, 0x82},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LoopbackLan lan(1);
    lan.Peer().Serve([&](const Bytes&) {
      Bytes block(c.size, 0);
      block[2] = c.reported;
      block[3] = c.mark;
      return std::vector<Bytes>{PlainReply('O', kId, block)};
    });
    UdpDev dev(kId, lan.PeerAddress(), c.modeBefore);
    dev.online = c.onlineBefore;
    dev.session = c.sessionBefore;
    dev.changed = true;
    EXPECT_EQ(dev.Status(), c.result);
    EXPECT_EQ(dev.online, c.online);
    EXPECT_EQ(dev.changed, c.changed);
    EXPECT_EQ(dev.session, c.session);
    EXPECT_EQ(dev.mode, c.mode);
    dev.online = false;  // leave quietly
  }
}

TEST(Session, KeyIsTheSeedEncryptedUnderItselfAndSignsWhatTheControllerChecks) {
  LoopbackLan lan(1);
  ScriptedController ctrl(lan.Peer(), kId);
  UdpDev dev(kId, lan.PeerAddress(), 0x02);
  for (uint8_t first : {0x11, 0x77}) {
    const Bytes seed = Seed(first);
    ctrl.Edit([&](ScriptedController& c) { c.seed = seed; });
    dev.seq = 999;
    dev.OpenSession();
    EXPECT_TRUE(dev.session);
    EXPECT_EQ(dev.seq, 0);
    EXPECT_EQ(Bytes(dev.key, dev.key + 16), ReferenceAesEncrypt(seed.data(), seed.data()));
    dev.KeepAlive();
    EXPECT_EQ(dev.seq, 1);
  }
  EXPECT_EQ(ctrl.Commands(), "KOSKOS");
  EXPECT_TRUE(ctrl.AllSignaturesValid());
  dev.CloseSession();
  EXPECT_FALSE(dev.session);
  EXPECT_EQ(ctrl.Commands(), "KOSKOSOs");
  EXPECT_TRUE(ctrl.AllSignaturesValid());
}

TEST(Session, ASeedOfAnotherLengthIsRefused) {
  for (size_t size : {0u, 15u, 17u}) {
    SCOPED_TRACE(size);
    LoopbackLan lan(1, kSilenceMs);  // an empty seed makes a frame too short: silence
    ScriptedController ctrl(lan.Peer(), kId);
    ctrl.Edit([&](ScriptedController& c) { c.seed = Bytes(size, 0x33); });
    UdpDev dev(kId, lan.PeerAddress(), 0x02);
    std::memset(dev.key, 0xAB, 16);
    EXPECT_EQ(ErrorCode([&] { dev.OpenSession(); }), ErrCode::kSessionRefused);
    EXPECT_FALSE(dev.session);
    EXPECT_EQ(Bytes(dev.key, dev.key + 16), Bytes(16, 0xAB));
  }
}

TEST(Session, NeedSessionByState) {
  struct Case {
    const char* what;
    uint8_t controllerMode;
    bool session;
    std::optional<ErrCode> code;
    const char* sent;
    bool sessionAfter;
  };
  const Case cases[] = {
      {"own session", 0x82, true, std::nullopt, "O", true},
      {"foreign session", 0x82, false, ErrCode::kForeignSession, "O", false},
      {"free", 0x02, false, std::nullopt, "OK", true},
      {"lost session", 0x02, true, std::nullopt, "OK", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LoopbackLan lan(1);
    ScriptedController ctrl(lan.Peer(), kId);
    ctrl.Edit([&](ScriptedController& s) {
      s.mode = c.controllerMode;
      s.trackSession = false;
    });
    UdpDev dev(kId, lan.PeerAddress(), c.controllerMode);
    dev.session = c.session;
    dev.seq = 50;
    EXPECT_EQ(ErrorCode([&] { dev.NeedSession(); }), c.code);
    EXPECT_EQ(ctrl.Commands(), c.sent);
    EXPECT_EQ(dev.session, c.sessionAfter);
    if (std::string(c.sent) == "OK") {
      EXPECT_EQ(dev.seq, 0);
    }
    dev.online = false;
  }
}

TEST(Session, NeedSessionOfASilentDeviceRaisesCode1) {
  LoopbackLan lan(1, kSilenceMs);
  UdpDev dev(kId, lan.PeerAddress(), 0x02);
  EXPECT_EQ(ErrorCode([&] { dev.NeedSession(); }), ErrCode::kNoAnswer);
  EXPECT_FALSE(dev.online);
  EXPECT_EQ(lan.Peer().Received().size(), 3u);
}

TEST(Session, KeepAliveAndCloseSendNothingWithoutAnOnlineSession) {
  for (bool online : {false, true}) {
    LoopbackLan lan(1);
    ScriptedController ctrl(lan.Peer(), kId);
    UdpDev dev(kId, lan.PeerAddress(), 0x82);
    dev.online = online;
    dev.session = !online;
    dev.KeepAlive();
    dev.CloseSession();
    EXPECT_EQ(ctrl.Commands(), "");
  }
}

TEST(Session, FailuresLeaveTheSessionSet) {
  LoopbackLan lan(1, kSilenceMs);
  ScriptedController ctrl(lan.Peer(), kId);
  ctrl.Edit([](ScriptedController& c) {
    c.mode = 0x82;
    c.replies['S'] = {0x15};
  });
  uint8_t key[16] = {1, 2, 3};
  ctrl.SetKey(key);
  UdpDev dev(kId, lan.PeerAddress(), 0x82);
  dev.session = true;
  std::memcpy(dev.key, key, 16);

  EXPECT_EQ(ErrorCode([&] { dev.KeepAlive(); }), ErrCode::kNoAck);
  EXPECT_TRUE(dev.session);

  const size_t before = ctrl.Commands().size();
  ctrl.Edit([](ScriptedController& c) { c.statusSilent = true; });
  dev.CloseSession();  // the status query fails: nothing else is sent
  EXPECT_TRUE(dev.session);
  EXPECT_EQ(ctrl.Commands().substr(before), "OOO");
  dev.session = false;
}

TEST(Session, DestructionClosesTheSessionAndSwallowsFailure) {
  LoopbackLan lan(1, kSilenceMs);
  ScriptedController ctrl(lan.Peer(), kId);
  ctrl.Edit([](ScriptedController& c) { c.mode = 0x82; });
  {
    UdpDev dev(kId, lan.PeerAddress(), 0x82);
    dev.session = true;
    std::memcpy(dev.key, ctrl.Key(), 16);
  }
  const std::string closed = ctrl.Commands();
  EXPECT_EQ(closed.back(), 's');
  EXPECT_TRUE(ctrl.AllSignaturesValid());

  ctrl.Edit([](ScriptedController& c) {
    c.mode = 0x82;
    c.replies.erase('s');
  });
  EXPECT_NO_THROW({
    UdpDev dev(kId, lan.PeerAddress(), 0x82);
    dev.session = true;
    std::memcpy(dev.key, ctrl.Key(), 16);
  });
  const std::string unanswered = ctrl.Commands().substr(closed.size());
  EXPECT_EQ(std::count(unanswered.begin(), unanswered.end(), 's'), 3);  // every try, then gave up
}

TEST(Session, ClosingAllAtExitTriesEachSessionOnce) {
  LoopbackLan lan(1, kSilenceMs);
  ScriptedController ctrl(lan.Peer(), kId);
  ctrl.Edit([](ScriptedController& c) {
    c.mode = 0x82;
    c.replies.erase('s');
  });
  {
    UdpDevSet set;
    ASSERT_TRUE(set.Add(kId, lan.PeerAddress(), 0x82));
    set.dev[0].session = true;
    std::memcpy(set.dev[0].key, ctrl.Key(), 16);
    set.CloseAll();  // the close is never acknowledged
  }  // so the records' destruction must not wait for it all over again
  EXPECT_EQ(ctrl.Commands(), "Osss");
}

// Controllers on the peers of lan, each holding this tool's session, in set order.
std::vector<std::unique_ptr<ScriptedController>> HeldSessions(LoopbackLan& lan, int count,
                                                              UdpDevSet& set) {
  const uint8_t key[16] = {9, 8, 7};
  std::vector<std::unique_ptr<ScriptedController>> ctrls;
  for (int i = 0; i < count; ++i) {
    const uint32_t id = ControllerId(static_cast<uint16_t>(100 + i));
    ctrls.push_back(std::make_unique<ScriptedController>(lan.Peer(i), id));
    ctrls[i]->Edit([](ScriptedController& c) { c.mode = 0x82; });
    ctrls[i]->SetKey(key);
    EXPECT_TRUE(set.Add(id, lan.PeerAddress(i), 0x82));
    set.dev[i].session = true;
    std::memcpy(set.dev[i].key, key, 16);
  }
  return ctrls;
}

// The identities of the set's devices at the given indices.
std::vector<uint32_t> IdsAt(const UdpDevSet& set, const std::vector<int>& indices) {
  std::vector<uint32_t> ids;
  for (int i : indices) ids.push_back(set.dev[i].id);
  return ids;
}

TEST(KeepAliveSchedule, VisitsOneFifthOfTheSetPerTick) {
  constexpr int kDevices = 7;
  LoopbackLan lan(kDevices);
  UdpDevSet set;
  const auto ctrls = HeldSessions(lan, kDevices, set);
  KeepAliveSchedule schedule;
  const std::vector<std::vector<int>> expected = {{0, 5}, {1, 6}, {2}, {3}, {4}, {0, 5}};
  std::vector<size_t> before(kDevices, 0);
  for (const auto& visited : expected) {
    const std::vector<uint32_t> reported = schedule.Tick(set);
    std::vector<int> got;
    for (int i = 0; i < kDevices; ++i) {
      const size_t now = ctrls[i]->Commands().size();
      if (now != before[i]) got.push_back(i);
      before[i] = now;
    }
    EXPECT_EQ(got, visited);
    // What the tick reports is what the controllers heard.
    EXPECT_EQ(reported, IdsAt(set, visited));
  }
  for (const auto& c : ctrls) {
    EXPECT_TRUE(c->AllSignaturesValid());
    EXPECT_EQ(c->Commands().substr(0, 2), "OS");
  }
  set.CloseAll();
  for (const auto& c : ctrls) EXPECT_EQ(c->Commands().substr(c->Commands().size() - 2), "Os");
}

TEST(KeepAliveSchedule, AFailingDeviceDoesNotCostTheRestOfItsGroupTheirSessions) {
  constexpr int kDevices = 6;  // devices 0 and 5 share a tick
  LoopbackLan lan(kDevices, kSilenceMs);
  UdpDevSet set;
  const auto ctrls = HeldSessions(lan, kDevices, set);
  ctrls[0]->Edit([](ScriptedController& c) { c.replies['S'] = {0x15}; });
  KeepAliveSchedule schedule;
  try {
    schedule.Tick(set);
    FAIL() << "the refused keep-alive was not raised";
  } catch (const UErr& e) {
    EXPECT_EQ(e.code, ErrCode::kNoAck);
    EXPECT_EQ(e.dev, &set.dev[0]);
  }
  EXPECT_EQ(ctrls[5]->Commands(), "OS");
  // The failed tick still moved the schedule on.
  EXPECT_EQ(schedule.Tick(set), IdsAt(set, {1}));
  set.CloseAll();
}

TEST(KeepAliveSchedule, ReportsTheGroupItVisitedInSetOrder) {
  struct Case {
    int devices;
    std::vector<std::vector<int>> ticks;  // the indices each tick visits
  };
  const Case cases[] = {
      {0, {{}, {}, {}, {}, {}, {}}},
      {1, {{0}, {}, {}, {}, {}, {0}}},
      {5, {{0}, {1}, {2}, {3}, {4}, {0}}},
      {6, {{0, 5}, {1}, {2}, {3}, {4}, {0, 5}}},
      {11, {{0, 5, 10}, {1, 6}, {2, 7}, {3, 8}, {4, 9}, {0, 5, 10}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.devices);
    // No session is held, so a keep-alive sends nothing and the schedule alone is seen.
    UdpDevSet set;
    for (int i = 0; i < c.devices; ++i)
      ASSERT_TRUE(set.Add(ControllerId(static_cast<uint16_t>(300 + i)), 0x7F000002u + i, 0x02));
    KeepAliveSchedule schedule;
    for (const auto& visited : c.ticks) EXPECT_EQ(schedule.Tick(set), IdsAt(set, visited));
  }
}

}  // namespace
}  // namespace orvu::test
