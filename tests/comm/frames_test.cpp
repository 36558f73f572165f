// Frame building and the acceptance rules, as pure functions.
#include "comm/frames.h"

#include <gtest/gtest.h>

#include "comm/aes.h"
#include "tests/comm/loopback_peer.h"

namespace orvu::test {
namespace {

constexpr uint32_t kId = ControllerId(77);

TEST(Frames, RequestsCarryTagIdentityAndChecksum) {
  const auto plain = PlainRequest('O', kId);
  EXPECT_EQ(Bytes(plain.begin(), plain.begin() + 4), (Bytes{'M', 'M', 'D', 'O'}));
  EXPECT_EQ(Le32(&plain[4]), kId);
  EXPECT_EQ(Le32(&plain[8]), Crc(plain.data(), 8));

  const auto discovery = DiscoveryRequest();
  EXPECT_EQ(Bytes(discovery.begin(), discovery.begin() + 8),
            (Bytes{'M', 'M', 'D', 'O', 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(Le32(&discovery[8]), Crc(discovery.data(), 8));
}

TEST(Frames, ReplyAcceptanceRules) {
  const Bytes plain = PlainReply('D', kId, {1, 2, 3, 4});
  uint8_t key[16] = {};
  const Bytes secured = SecuredReply(key, kId, 'D' | 0x80, {});
  struct Case {
    const char* what;
    Bytes frame;
    size_t n;
    uint32_t tag;
    uint8_t replyCmd;
    ReplyVerdict verdict;
  };
  const Case cases[] = {
      {"plain, 16 bytes", plain, 16, PlainTag('D'), 0, ReplyVerdict::kAccepted},
      {"plain, 15 bytes", plain, 15, PlainTag('D'), 0, ReplyVerdict::kTooShort},
      {"plain, other command", plain, 16, PlainTag('C'), 0, ReplyVerdict::kOtherTag},
      {"secured, 19 bytes", secured, 19, kTagSecured, 'D', ReplyVerdict::kAccepted},
      {"secured, 18 bytes", secured, 18, kTagSecured, 'D', ReplyVerdict::kTooShort},
      {"secured, other command", secured, 19, kTagSecured, 'C', ReplyVerdict::kOtherCommand},
      {"secured, bit 7 missing", SecuredReply(key, kId, 'D', {}), 19, kTagSecured, 'D',
       ReplyVerdict::kOtherCommand},
      {"secured, other device", SecuredReply(key, kId ^ 1, 'D' | 0x80, {}), 19, kTagSecured, 'D',
       ReplyVerdict::kOtherDevice},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CheckReply(c.frame.data(), c.n, c.tag, kId, c.replyCmd), c.verdict) << c.what;
}

TEST(Frames, SecuredRequestIsSignedOverEverythingBeforeTheSignature) {
  uint8_t key[16];
  for (int i = 0; i < 16; ++i) key[i] = static_cast<uint8_t>(i * 17);
  AES128 aes;
  aes.SetKey(key);
  Cmac mac(aes);
  const uint8_t body[2] = {3, 7};
  auto frame = SecuredRequest(kId, 'R', body, 2);
  ASSERT_EQ(frame.size(), 21u);
  StampSecured(frame, 0xBEEF, mac);
  EXPECT_EQ(Le16(&frame[8]), 0xBEEF);
  EXPECT_EQ(frame[10], 'R');
  EXPECT_EQ(frame[11], 3);
  EXPECT_EQ(frame[12], 7);
  EXPECT_TRUE(ReferenceSignatureValid(key, frame));
  EXPECT_TRUE(SignatureValid(frame.data(), frame.size(), mac));
  for (size_t i = frame.size() - 8; i < frame.size(); ++i) {
    frame[i] ^= 1;
    EXPECT_FALSE(SignatureValid(frame.data(), frame.size(), mac)) << i;
    frame[i] ^= 1;
  }
}

TEST(Frames, DiscoveryAnswerFilter) {
  const Bytes good = DiscoveryAnswerFrame(kId, 0x82);
  Bytes badCrc = good;
  badCrc[12] ^= 1;
  const auto own = DiscoveryRequest();
  struct Case {
    const char* what;
    Bytes frame;
    bool taken;
  };
  Bytes twentyNine = good;
  twentyNine.push_back(0);
  const Case cases[] = {
      {"valid", good, true},
      {"27 bytes", Bytes(good.begin(), good.end() - 1), false},
      {"29 bytes", twentyNine, false},
      {"bad CRC", badCrc, false},
      {"other tag", PlainReply('D', kId, Bytes(16, 0)), false},
      {"every-device identity", DiscoveryAnswerFrame(0xFFFFFFFF, 2), false},
      {"marker 1", DiscoveryAnswerFrame((kId & 0x0FFFFFFF) | 0x10000000, 2), false},
      {"marker 3", DiscoveryAnswerFrame((kId & 0x0FFFFFFF) | 0x30000000, 2), false},
      {"own request", Bytes(own.begin(), own.end()), false},
  };
  for (const Case& c : cases) {
    auto answer = ParseDiscoveryAnswer(c.frame.data(), c.frame.size());
    EXPECT_EQ(answer.has_value(), c.taken) << c.what;
  }
  auto answer = ParseDiscoveryAnswer(good.data(), good.size());
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->id, kId);
  EXPECT_EQ(answer->mode, 0x82);
}

}  // namespace
}  // namespace orvu::test
