// Plain and secured transactions over real loopback sockets against a scripted peer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "comm/frames.h"
#include "comm/udpdev.h"
#include "tests/comm/loopback_peer.h"
#include "tests/comm/raised.h"

namespace orvu::test {
namespace {

constexpr uint32_t kId = ControllerId(4321);
constexpr uint8_t kKey[16] = {0x2b, 0x7e, 0x15, 0x16, 0x28, 0xae, 0xd2, 0xa6,
                              0xab, 0xf7, 0x15, 0x88, 0x09, 0xcf, 0x4f, 0x3c};
// Long enough that a prompt peer never misses it; used where silence is not under test.
constexpr int kPromptMs = 200;
// Where a case waits out silence and only the number of tries matters.
constexpr int kSilenceMs = 40;

// Leaves without closing its session, so that a case does not end by waiting for a peer
// that was never scripted for command 's'.
struct TestDev : UdpDev {
  ~TestDev() { online = false; }
};

void Prepare(UdpDev& dev, const LoopbackLan& lan, bool online, bool session) {
  dev.id = kId;
  dev.ip = lan.PeerAddress();
  dev.online = online;
  dev.session = session;
  std::memcpy(dev.key, kKey, 16);
}

Bytes Payload(size_t n) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(0xA0 + i);
  return b;
}

TEST(PlainTransact, IgnoresWhatIsNotTheReplyAndTakesTheReply) {
  LoopbackLan lan(1, kPromptMs);
  Bytes good = PlainReply('O', kId, {1, 2, 3, 4});  // 16 bytes: the shortest reply
  Bytes short15(good.begin(), good.begin() + 15);
  lan.Peer().Serve([&](const Bytes&) {
    return std::vector<Bytes>{
        short15,
        PlainReply('K', kId, {9, 9, 9, 9}),      // another command from the right device
        PlainReply('O', kId + 1, {9, 9, 9, 9}),  // another device
        SecuredReply(kKey, kId, 'O' | 0x80, {9, 9, 9, 9}),  // another kind of frame
        good,
    };
  });
  TestDev dev;
  Prepare(dev, lan, true, false);
  uint8_t dest[8] = {};
  EXPECT_EQ(dev.Transact('O', 8, dest), 4);
  EXPECT_EQ(Bytes(dest, dest + 4), (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(lan.Peer().Received().size(), 1u);
}

TEST(PlainTransact, WrongCrcIsRetriedThreeTimesOnlineOnceOffline) {
  for (bool online : {true, false}) {
    SCOPED_TRACE(online);
    LoopbackLan lan(1, kPromptMs);
    lan.Peer().Serve([](const Bytes&) {
      Bytes bad = PlainReply('O', kId, Payload(16));
      bad.back() ^= 1;
      return std::vector<Bytes>{bad};
    });
    TestDev dev;
    Prepare(dev, lan, online, false);
    uint8_t dest[16];
    EXPECT_EQ(dev.Transact('O', 16, dest), 0);
    auto sent = lan.Peer().Received();
    ASSERT_EQ(sent.size(), online ? 3u : 1u);
    const auto request = PlainRequest('O', kId);
    for (const Bytes& s : sent) EXPECT_EQ(s, Bytes(request.begin(), request.end()));
  }
}

TEST(PlainTransact, SilenceIsRetriedThreeTimesOnlineOnceOffline) {
  for (bool online : {true, false}) {
    SCOPED_TRACE(online);
    LoopbackLan lan(1, kSilenceMs);
    TestDev dev;
    Prepare(dev, lan, online, false);
    uint8_t dest[16];
    EXPECT_EQ(dev.Transact('O', 16, dest), 0);
    EXPECT_EQ(lan.Peer().Received().size(), online ? 3u : 1u);
  }
}

TEST(PlainTransact, CopiesAtMostTheCapacityAndReportsTheFullLength) {
  LoopbackLan lan(1, kPromptMs);
  const Bytes payload = Payload(20);
  // By value: the peer's thread still holds the script when the test's locals go.
  lan.Peer().Serve([payload](const Bytes&) { return std::vector<Bytes>{PlainReply('O', kId, payload)}; });
  TestDev dev;
  Prepare(dev, lan, true, false);
  uint8_t dest[20];
  std::memset(dest, 0xEE, sizeof dest);
  EXPECT_EQ(dev.Transact('O', 16, dest), 20);
  EXPECT_EQ(Bytes(dest, dest + 16), Bytes(payload.begin(), payload.begin() + 16));
  EXPECT_EQ(dest[16], 0xEE);
  EXPECT_EQ(dev.Transact('O', 0, dest + 16), 20);  // capacity 0 copies nothing
  EXPECT_EQ(dest[16], 0xEE);
}

TEST(SecTransact, IgnoresWhatIsNotTheReplyAndChecksTheSignedReply) {
  LoopbackLan lan(1, kPromptMs);
  const Bytes payload = Payload(5);
  lan.Peer().Serve([&](const Bytes&) {
    Bytes good = SecuredReply(kKey, kId, 'D' | 0x80, payload);
    Bytes noBit7 = SecuredReply(kKey, kId, 'D', payload);
    Bytes eighteen(good.begin(), good.begin() + 18);
    return std::vector<Bytes>{noBit7, eighteen, SecuredReply(kKey, kId + 1, 'D' | 0x80, payload),
                              SecuredReply(kKey, kId, 'C' | 0x80, payload),
                              PlainReply('C', kId, Payload(12)), good};
  });
  TestDev dev;
  Prepare(dev, lan, true, true);
  dev.seq = 41;
  uint8_t dest[16] = {};
  EXPECT_EQ(dev.SecTransact('D', nullptr, 0, 16, dest), 5);
  EXPECT_EQ(Bytes(dest, dest + 5), payload);
  auto sent = lan.Peer().Received();
  ASSERT_EQ(sent.size(), 1u);
  const Bytes& req = sent[0];
  ASSERT_EQ(req.size(), 19u);
  EXPECT_EQ(Bytes(req.begin(), req.begin() + 4), (Bytes{'M', 'M', 'D', 'C'}));
  EXPECT_EQ(Le32(&req[4]), kId);
  EXPECT_EQ(Le16(&req[8]), 42);
  EXPECT_EQ(req[10], 'D');
  EXPECT_TRUE(ReferenceSignatureValid(kKey, req));
}

TEST(SecTransact, EveryTryCarriesTheNextSequenceNumberAcrossTheWrap) {
  struct Case {
    bool online, session;
    size_t tries;
  };
  for (Case c : {Case{true, true, 3}, Case{true, false, 1}, Case{false, true, 1}}) {
    SCOPED_TRACE(testing::Message() << c.online << c.session);
    LoopbackLan lan(1, kSilenceMs);
    TestDev dev;
    Prepare(dev, lan, c.online, c.session);
    dev.seq = 65534;
    const uint8_t body[3] = {7, 8, 9};
    auto err = RaisedBy([&] { dev.SecTransact('C', body, 3, 16, nullptr); });
    ASSERT_TRUE(err);
    EXPECT_EQ(err->code, ErrCode::kNoReply);
    EXPECT_EQ(err->cmd, 'C');
    auto sent = lan.Peer().Received();
    ASSERT_EQ(sent.size(), c.tries);
    const uint16_t expected[3] = {65535, 0, 1};
    for (size_t i = 0; i < sent.size(); ++i) {
      ASSERT_EQ(sent[i].size(), 22u);
      EXPECT_EQ(Le16(&sent[i][8]), expected[i]);
      EXPECT_EQ(Bytes(&sent[i][11], &sent[i][14]), (Bytes{7, 8, 9}));
      EXPECT_TRUE(ReferenceSignatureValid(kKey, sent[i]));
    }
    EXPECT_EQ(dev.seq, expected[c.tries - 1]);
  }
}

TEST(SecTransact, BadSignatureFailsAtOnceWithoutRetry) {
  LoopbackLan lan(1, kPromptMs);
  lan.Peer().Serve([](const Bytes&) {
    Bytes r = SecuredReply(kKey, kId, 'D' | 0x80, Payload(4));
    r[r.size() - 8] ^= 0x40;
    return std::vector<Bytes>{r};
  });
  TestDev dev;
  Prepare(dev, lan, true, true);
  uint8_t dest[16];
  auto err = RaisedBy([&] { dev.SecTransact('D', nullptr, 0, 16, dest); });
  ASSERT_TRUE(err);
  EXPECT_EQ(err->code, ErrCode::kSignature);
  EXPECT_EQ(err->cmd, 'D');
  EXPECT_EQ(lan.Peer().Received().size(), 1u);
}

TEST(SecTransact, LongerThanCapacityDeliversTheFirstBytesThenFails) {
  LoopbackLan lan(1, kPromptMs);
  const Bytes payload = Payload(6);
  lan.Peer().Serve(
      [payload](const Bytes&) { return std::vector<Bytes>{SecuredReply(kKey, kId, 'D' | 0x80, payload)}; });
  TestDev dev;
  Prepare(dev, lan, true, true);
  uint8_t dest[6];
  std::memset(dest, 0xEE, sizeof dest);
  auto err = RaisedBy([&] { dev.SecTransact('D', nullptr, 0, 4, dest); });
  ASSERT_TRUE(err);
  EXPECT_EQ(err->code, ErrCode::kTooLong);
  EXPECT_EQ(Bytes(dest, dest + 4), Bytes(payload.begin(), payload.begin() + 4));
  EXPECT_EQ(dest[4], 0xEE);
}

TEST(SecCommand, AcceptsOnlyTheSingleAcknowledgementByte) {
  struct Case {
    Bytes reply;
    std::optional<ErrCode> code;  // nullopt: acknowledged
  };
  const Case cases[] = {
      {{0x06}, std::nullopt},
      {{}, ErrCode::kNoAck},            // a 19-byte reply carries no payload
      {{0x15}, ErrCode::kNoAck},
      {{0x06, 0x06}, ErrCode::kTooLong},  // too long before it is wrong
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply.size());
    LoopbackLan lan(1, kPromptMs);
    lan.Peer().Serve(
        [&](const Bytes&) { return std::vector<Bytes>{SecuredReply(kKey, kId, 'F' | 0x80, c.reply)}; });
    TestDev dev;
    Prepare(dev, lan, true, true);
    int result = 0;
    auto err = RaisedBy([&] { result = dev.SecCommand('F', nullptr, 0); });
    if (!c.code) {
      EXPECT_FALSE(err);
      EXPECT_EQ(result, 6);
    } else {
      ASSERT_TRUE(err);
      EXPECT_EQ(err->code, c.code);
      EXPECT_EQ(err->cmd, 'F');
    }
  }
}

// A peer that keeps sending datagrams that are never the reply, from its own thread.
class Flood {
 public:
  Flood(const LoopbackLan& lan, std::chrono::milliseconds gap)
      : thread_([this, &lan, gap] {
          const Bytes junk = PlainReply('X', 0x12345678, Payload(8));
          while (!stop_) {
            lan.peers[0]->SendTo("127.0.0.1", lan.endpoint->LocalPort(), junk);
            if (gap.count()) std::this_thread::sleep_for(gap);
          }
        }) {}
  ~Flood() {
    stop_ = true;
    thread_.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

TEST(Exchange, EndsUnderAStreamOfForeignDatagrams) {
  // Each discarded datagram restarts the wait; the stream below never lets a wait run out,
  // so only the bound on one try brings the transaction back.
  for (int gapMs : {0, 20}) {
    SCOPED_TRACE(gapMs);
    LoopbackLan lan(1, kPromptMs);
    Flood flood(lan, std::chrono::milliseconds(gapMs));
    TestDev dev;
    Prepare(dev, lan, false, false);
    uint8_t dest[16];
    EXPECT_EQ(dev.Transact('O', 16, dest), 0);
  }
}

// A socket cannot be made to fail its send on loopback, so this one endpoint is fake.
class UnreachableEndpoint : public Endpoint {
 public:
  int sends = 0;
  void Send(const std::string&, uint16_t, const uint8_t*, size_t) override {
    ++sends;
    throw std::system_error(ENETUNREACH, std::generic_category(), "UDP send");
  }
  void Broadcast(const uint8_t*, size_t) override {}
  size_t Receive(uint8_t*, size_t, int, std::string*) override { return 0; }
  uint16_t DevicePort() const override { return kUdpPort; }
};

TEST(Exchange, AFailedSendIsATryWithoutAnswer) {
  UnreachableEndpoint endpoint;
  SetEndpoint(&endpoint);
  {
    TestDev dev;
    dev.id = kId;
    dev.online = true;
    dev.session = true;
    EXPECT_FALSE(dev.Status());
    EXPECT_FALSE(dev.online);
    EXPECT_EQ(endpoint.sends, 3);
    auto err = RaisedBy([&] { dev.SecTransact('D', nullptr, 0, 0, nullptr); });
    ASSERT_TRUE(err);
    EXPECT_EQ(err->code, ErrCode::kNoReply);
  }
  SetEndpoint(nullptr);
}

// A socket whose receive fails (poll or recvfrom refused: a closed descriptor, no memory) is
// fake here for the same reason; it fails the way the POSIX endpoint does.
class DeafEndpoint : public Endpoint {
 public:
  int sends = 0;
  int receives = 0;
  void Send(const std::string&, uint16_t, const uint8_t*, size_t) override { ++sends; }
  void Broadcast(const uint8_t*, size_t) override {}
  size_t Receive(uint8_t*, size_t, int, std::string*) override {
    ++receives;
    throw std::system_error(ENOMEM, std::generic_category(), "UDP receive");
  }
  uint16_t DevicePort() const override { return kUdpPort; }
};

TEST(Exchange, AFailedReceiveIsATryWithoutAnswer) {
  DeafEndpoint endpoint;
  SetEndpoint(&endpoint);
  {
    TestDev dev;
    dev.id = kId;
    dev.online = true;
    dev.session = true;
    uint8_t dest[16];
    EXPECT_EQ(dev.Transact('O', sizeof dest, dest), 0);
    EXPECT_EQ(endpoint.receives, 3);
    EXPECT_FALSE(dev.Status());
    EXPECT_FALSE(dev.online);
    EXPECT_TRUE(dev.changed);
    EXPECT_EQ(endpoint.sends, 6);
    auto err = RaisedBy([&] { dev.SecTransact('D', nullptr, 0, 0, nullptr); });
    ASSERT_TRUE(err);
    EXPECT_EQ(err->code, ErrCode::kNoReply);
    EXPECT_EQ(endpoint.sends, 7);  // offline now: one try
  }
  SetEndpoint(nullptr);
  // The endpoint's own absence stays an error of its own.
  TestDev dev;
  EXPECT_THROW(dev.Transact('O', 0, nullptr), std::logic_error);
}

}  // namespace
}  // namespace orvu::test
