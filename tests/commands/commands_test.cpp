// The controller commands against a scripted controller on loopback.
#include "commands/commands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <optional>

#include "tests/comm/loopback_peer.h"
#include "tests/comm/raised.h"
#include "tests/comm/scripted_controller.h"

namespace orvu::test {
namespace {

constexpr uint32_t kId = ControllerId(700);
constexpr int kSilenceMs = 40;
constexpr uint32_t kReader = (1u << 16) | 42;  // R01_00042
constexpr uint32_t kModule = (717u << 16) | 5;

// count, identity words, info records (suffix number, state, outputs/readers, inputs).
Bytes DevListPayload(const std::vector<std::pair<uint32_t, uint8_t>>& devices) {
  Bytes p = {static_cast<uint8_t>(devices.size()), 0};
  for (auto [id, state] : devices)
    for (int i = 0; i < 4; ++i) p.push_back(static_cast<uint8_t>(id >> (8 * i)));
  for (auto [id, state] : devices) {
    p.push_back(1);
    p.push_back(state);
    p.push_back(0x04);
    p.push_back(0x04);
  }
  return p;
}

// One passage: bolt on output 0 of device 1, everything else empty.
Bytes PassagePayload() {
  Bytes p = {0x81, 18};
  for (int r = 0; r < 18; ++r) {
    const uint16_t ref = r == 0 ? 0x0100 : 0xFFFF;
    p.push_back(static_cast<uint8_t>(ref));
    p.push_back(static_cast<uint8_t>(ref >> 8));
  }
  for (int b = 0; b < 8; ++b) p.push_back(static_cast<uint8_t>(b + 1));
  return p;
}

const Bytes kDevList = DevListPayload({{kId, 0}, {kModule, 0}, {kReader, 0x10}});

struct Bench {
  explicit Bench(int timeoutMs = kReceiveTimeoutMs)
      : lan(1, timeoutMs), ctrl(lan.Peer(), kId), dev(kId, lan.PeerAddress(), 0x02) {
    ctrl.Edit([](ScriptedController& c) {
      c.replies['D'] = kDevList;
      c.replies['C'] = PassagePayload();
    });
  }
  ~Bench() { dev.online = false; }  // leave without closing

  LoopbackLan lan;
  ScriptedController ctrl;
  UdpDev dev;
  CtrlConfig cfg;
};

TEST(ReadCfg, ReadsBothPayloadsInASessionAndDecodesThem) {
  Bench b;
  ReadCfg(b.dev, b.cfg);
  EXPECT_EQ(b.ctrl.Commands(), "OKDC");
  EXPECT_TRUE(b.ctrl.AllSignaturesValid());
  EXPECT_EQ(b.cfg.deviceCount, 3);
  EXPECT_EQ(b.cfg.devices[2].id, kReader);
  EXPECT_EQ(b.cfg.passageCount, 1);
  EXPECT_EQ(b.cfg.outRefs[0][0], 0x0100);
}

TEST(ReadCfg, DoesNothingOfflineOrWhenTheModeForbidsReading) {
  for (bool online : {false, true}) {
    Bench b;
    b.dev.online = online;
    b.dev.mode = 0x01;  // "Konfiguracja"
    if (!online) b.dev.mode = 0x02;
    ReadCfg(b.dev, b.cfg);
    EXPECT_EQ(b.ctrl.Commands(), "");
    EXPECT_FALSE(CheckDevList(b.dev, b.cfg));
    EXPECT_EQ(b.ctrl.Commands(), "");
  }
}

TEST(ReadCfg, AFailureLeavesTheModelAsItWas) {
  struct Case {
    const char* what;
    std::function<void(ScriptedController&)> script;
    ErrCode code;
  };
  const Case cases[] = {
      {"no reply to C",
       [](ScriptedController& c) {
         c.replies['D'] = DevListPayload({{kId, 0x80}});  // would show if decoded early
         c.replies.erase('C');
       },
       ErrCode::kNoReply},
      {"device list too long", [](ScriptedController& c) { c.replies['D'] = Bytes(1001, 0); },
       ErrCode::kTooLong},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bench b(kSilenceMs);
    ReadCfg(b.dev, b.cfg);
    ASSERT_EQ(b.cfg.deviceCount, 3);
    b.ctrl.Edit(c.script);
    EXPECT_EQ(ErrorCode([&] { ReadCfg(b.dev, b.cfg); }), c.code);
    EXPECT_EQ(b.cfg.deviceCount, 3);
    EXPECT_EQ(b.cfg.devices[2].id, kReader);
    EXPECT_EQ(b.cfg.devices[0].state, 0);
    EXPECT_EQ(b.cfg.passageCount, 1);
    EXPECT_EQ(b.cfg.outRefs[0][0], 0x0100);
  }
}

TEST(CheckDevList, TakesTheListOnlyWhenItChanged) {
  Bench b;
  ReadCfg(b.dev, b.cfg);
  EXPECT_FALSE(CheckDevList(b.dev, b.cfg));
  b.ctrl.Edit([](ScriptedController& c) {
    c.replies['D'] = DevListPayload({{kId, 0}, {kModule, 0x80}, {kReader, 0x10}});
  });
  EXPECT_TRUE(CheckDevList(b.dev, b.cfg));
  EXPECT_EQ(b.cfg.devices[1].state, 0x80);
  EXPECT_EQ(b.cfg.devices[1].usedOutputs, 1u);  // the bolt is marked again
  EXPECT_EQ(b.ctrl.Commands(), "OKDCDD");  // no status query of its own
}

TEST(CheckDevList, OpensTheSessionItselfAndLeavesAForeignSessionAlone) {
  Bench b;
  EXPECT_TRUE(CheckDevList(b.dev, b.cfg));
  EXPECT_EQ(b.ctrl.Commands(), "KD");
  EXPECT_EQ(b.cfg.deviceCount, 3);

  Bench foreign;
  foreign.dev.mode = 0x82;
  EXPECT_FALSE(CheckDevList(foreign.dev, foreign.cfg));
  EXPECT_EQ(foreign.ctrl.Commands(), "");
}

TEST(WriteCfg, SendsTheEncodedPassagesAcknowledged) {
  Bench b;
  ReadCfg(b.dev, b.cfg);
  b.cfg.params[0][0] = 0x33;
  WriteCfg(b.dev, b.cfg);
  EXPECT_EQ(b.ctrl.Commands(), "OKDCOc");
  Bytes expected = PassagePayload();
  expected[2 + 36] = 0x33;
  EXPECT_EQ(b.ctrl.SecuredPayload('c'), expected);
  EXPECT_TRUE(b.ctrl.AllSignaturesValid());
}

TEST(WriteCfg, AConfigurationBeyondTheBufferSendsNothing) {
  // 23 passages would need 1014 bytes; 17 fit the buffer but not the model's tables; a count
  // near the top of its type must be refused without computing an overflowing length.
  for (int passages : {23, 17, -1, std::numeric_limits<int32_t>::max()}) {
    SCOPED_TRACE(passages);
    Bench b;
    b.cfg.passageCount = passages;
    auto code = ErrorCode([&] { WriteCfg(b.dev, b.cfg); });
    EXPECT_EQ(code, ErrCode::kBufferSize);
    EXPECT_EQ(b.ctrl.Commands(), "");
  }
}

TEST(Commands, DeleteAndReplaceAreAcknowledgedCommandsInASession) {
  Bench b;
  DelLost(b.dev);
  Replace(b.dev, static_cast<ReplacePair>(7 * 256 + 3));
  EXPECT_EQ(b.ctrl.Commands(), "OKFOR");
  EXPECT_EQ(b.ctrl.SecuredPayload('R'), (Bytes{3, 7}));
  EXPECT_EQ(b.ctrl.SecuredPayload('F'), Bytes{});

  b.ctrl.Edit([](ScriptedController& c) { c.replies['R'] = {0x15}; });
  EXPECT_EQ(ErrorCode([&] { Replace(b.dev, 0x0102); }), ErrCode::kNoAck);
  b.ctrl.Edit([](ScriptedController& c) { c.mode = 0x02; });  // the session ended meanwhile
  b.dev.session = false;
  b.ctrl.Edit([](ScriptedController& c) { c.mode = 0x82; });  // and someone else took one
  EXPECT_EQ(ErrorCode([&] { DelLost(b.dev); }), ErrCode::kForeignSession);
}

}  // namespace
}  // namespace orvu::test
