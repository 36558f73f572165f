// The device set: ordering, selection, capacity, texts, and discovery over loopback.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "comm/cp1250.h"
#include "comm/frames.h"
#include "comm/udpdev.h"
#include "tests/comm/loopback_peer.h"

namespace orvu::test {
namespace {

constexpr uint32_t kIp = 0x0A000102;  // 10.0.1.2

std::vector<uint32_t> Ids(const UdpDevSet& set) {
  std::vector<uint32_t> ids;
  for (int i = 0; i < set.count; ++i) ids.push_back(set.dev[i].id);
  return ids;
}

TEST(DevSet, KeepsOrderByKeyAndArrivalOrderAmongEqualKeys) {
  UdpDevSet set;
  const uint32_t a = ControllerId(30), b = ControllerId(10), c = ControllerId(20);
  const uint32_t bSuffix2 = ControllerId(10, 2), bSuffix1 = ControllerId(10, 1);
  for (uint32_t id : {a, b, bSuffix2, c, bSuffix1}) EXPECT_TRUE(set.Add(id, kIp, 2));
  EXPECT_EQ(Ids(set), (std::vector<uint32_t>{b, bSuffix2, bSuffix1, c, a}));
  EXPECT_TRUE(set.dev[0].online);
  EXPECT_FALSE(set.dev[0].session);
}

TEST(DevSet, RejectsDevicesOutsideTheTypeFilter) {
  UdpDevSet set;
  EXPECT_FALSE(set.Add((2u << 28) | (345u << 16) | 1, kIp, 2));  // another type
  EXPECT_FALSE(set.Add((1u << 28) | (346u << 16) | 1, kIp, 2));  // another marker
  EXPECT_EQ(set.count, 0);
}

TEST(DevSet, KnownDeviceUpdatesAddressAndModeInPlaceOnly) {
  UdpDevSet set;
  const uint32_t id = ControllerId(5);
  set.Add(id, kIp, 2);
  set.dev[0].seq = 77;
  set.dev[0].online = false;
  set.dev[0].session = true;
  EXPECT_TRUE(set.Add(id, kIp + 1, 2));
  EXPECT_FALSE(set.Add(id, kIp + 1, 2));
  EXPECT_TRUE(set.Add(id, kIp + 1, 3));
  EXPECT_EQ(set.count, 1);
  EXPECT_EQ(set.dev[0].ip, kIp + 1);
  EXPECT_EQ(set.dev[0].mode, 3);
  EXPECT_EQ(set.dev[0].seq, 77);
  EXPECT_FALSE(set.dev[0].online);
  EXPECT_TRUE(set.dev[0].session);
  set.dev[0].session = false;
}

TEST(DevSet, SelectionFollowsItsDeviceWhenEntriesAreInserted) {
  struct Case {
    const char* what;
    int sel;
    uint32_t newId;
    int selAfter;
  };
  // The set holds serials 10, 20, 30; entry 1 (serial 20) is chosen unless sel is -1.
  const Case cases[] = {
      {"before it", 1, ControllerId(5), 2},
      {"at its index", 1, ControllerId(15), 2},
      {"equal key goes after it", 1, ControllerId(20, 1), 1},
      {"after it", 1, ControllerId(25), 1},
      {"nothing chosen", -1, ControllerId(5), -1},
  };
  for (const Case& c : cases) {
    UdpDevSet set;
    for (uint16_t s : {10, 20, 30}) set.Add(ControllerId(s), kIp, 2);
    set.sel = c.sel;
    ASSERT_TRUE(set.Add(c.newId, kIp, 2));
    EXPECT_EQ(set.sel, c.selAfter) << c.what;
    if (c.sel >= 0) {
      EXPECT_EQ(set.dev[set.sel].id, ControllerId(20)) << c.what;
    }
  }
}

TEST(DevSet, AFullSetDropsNewcomersButStillUpdatesKnownDevices) {
  UdpDevSet set;
  for (uint16_t s = 0; s < UdpDevSet::kCapacity; ++s) ASSERT_TRUE(set.Add(ControllerId(s * 2 + 1), kIp, 2));
  set.sel = 50;
  EXPECT_FALSE(set.Add(ControllerId(0), kIp, 2));    // would be first
  EXPECT_FALSE(set.Add(ControllerId(100), kIp, 2));  // would be in the middle
  EXPECT_FALSE(set.Add(ControllerId(999), kIp, 2));  // would be last
  EXPECT_EQ(set.count, 100);
  EXPECT_EQ(set.sel, 50);
  EXPECT_EQ(set.dev[0].id, ControllerId(1));
  EXPECT_TRUE(set.Add(ControllerId(199), kIp + 9, 2));
  EXPECT_EQ(set.dev[99].ip, kIp + 9);
}

TEST(DevSet, Texts) {
  UdpDev dev(ControllerId(42), 0xC0A80A05, 0x82);  // 192.168.10.5
  EXPECT_EQ(dev.IpText(), "192.168.10.5");
  EXPECT_EQ(ParseIp(dev.IpText()), dev.ip);
  EXPECT_EQ(ParseIp("255.255.255.255"), 0xFFFFFFFFu);
  EXPECT_EQ(dev.ModeText(), "Serwis");
  EXPECT_EQ(dev.ListText(), " K46_00042,  192.168.10.5,  Serwis");
  const char* modes[] = {"Blokada", "Konfiguracja", "Serwis", "Instalacja"};
  for (uint16_t m = 0; m < 4; ++m) {
    dev.mode = m;
    EXPECT_EQ(dev.ModeText(), modes[m]);
  }
  dev.online = false;
  EXPECT_EQ(dev.ModeText(), Cp1250FromUtf8("Niedostępny"));
}

TEST(OperatingMode, ReadFromBitsZeroAndOneOfTheModeByte) {
  struct Case {
    uint16_t modeByte;
    OperatingMode mode;
    int number;
    bool readable;
    const char* name;
  };
  const Case cases[] = {
      {0x00, OperatingMode::kBlokada, 0, false, "Blokada"},
      {0x01, OperatingMode::kKonfiguracja, 1, false, "Konfiguracja"},
      {0x02, OperatingMode::kSerwis, 2, true, "Serwis"},
      {0x03, OperatingMode::kInstalacja, 3, true, "Instalacja"},
      {0x80, OperatingMode::kBlokada, 0, false, "Blokada"},  // a session held changes nothing
      {0x82, OperatingMode::kSerwis, 2, true, "Serwis"},
      {0x7D, OperatingMode::kKonfiguracja, 1, false, "Konfiguracja"},  // other bits neither
      {0xFF, OperatingMode::kInstalacja, 3, true, "Instalacja"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.modeByte);
    EXPECT_EQ(ModeOf(c.modeByte), c.mode);
    EXPECT_EQ(ModeNumber(ModeOf(c.modeByte)), c.number);
    EXPECT_EQ(ConfigReadable(ModeOf(c.modeByte)), c.readable);
    EXPECT_EQ(ModeName(ModeOf(c.modeByte)), c.name);
  }
}

TEST(ErrText, Forms) {
  UdpDev dev(ControllerId(42), 0x7F000001, 2);
  struct Case {
    int32_t code;  // 0 and 10 stand for codes that are never raised
    uint8_t cmd;
    bool online;
    const char* utf8;
  };
  const Case cases[] = {
      {3, 0, true, "K46_00042, tryb: Serwis.\n\nBłąd nr 3: Odmowa nawiązania sesji.\n"},
      {6, 'D', true,
       "K46_00042, tryb: Serwis.\n\nBłąd nr 6 (r.'D'): Brak odpowiedzi na rozkaz.\n"},
      {1, 0, false, "K46_00042, tryb: Niedostępny.\n\nBłąd nr 1: Urządzenie nie odpowiada.\n"},
      {0, 0, true, "K46_00042, tryb: Serwis.\n\nBłąd nr 0: Brak opisu błędu.\n"},
      {10, 'c', true, "K46_00042, tryb: Serwis.\n\nBłąd nr 10 (r.'c'): Brak opisu błędu.\n"},
      {9, 0, true,
       "K46_00042, tryb: Serwis.\n\nBłąd nr 9: Kontroler nie pozwala odczytać ustawień "
       "przejść.\nUstaw go w tryb 'Service'\n"},
  };
  for (const Case& c : cases) {
    dev.online = c.online;
    EXPECT_EQ(ErrText(UErr(dev, static_cast<ErrCode>(c.code), c.cmd)), Cp1250FromUtf8(c.utf8))
        << c.code;
  }
  EXPECT_EQ(std::string(UErr(dev, ErrCode::kSignature, 'D').what()),
            Cp1250FromUtf8("Błąd podpisu ramki."));
  EXPECT_EQ(ErrMessage(ErrCode::kForeignSession), Cp1250FromUtf8(
                               "Kontroler ma obcą sesję.\n\nMożliwe przyczyny:\n - kontroler "
                               "połączony z inną kopią programu,\n - kontroler pamięta sesję z "
                               "poprzednim wywołaniem programu.\nW tym drugim przypadku należy "
                               "poczekać około 30s."));
}

// Discovery over loopback: peers at 127.0.0.2 and 127.0.0.3 answer the broadcast.
TEST(Discovery, CollectTakesOnlyValidAnswersWithTheSendersAddress) {
  LoopbackLan lan(2);
  UdpDevSet set;
  EXPECT_FALSE(set.Collect(0));  // nothing queued: returns at once

  const uint16_t port = lan.endpoint->LocalPort();
  const uint32_t a = ControllerId(1), b = ControllerId(2);
  Bytes good = DiscoveryAnswerFrame(a, 0x02);
  Bytes badCrc = good;
  badCrc[20] ^= 1;
  Bytes twentyNine = good;
  twentyNine.push_back(0);
  const auto own = DiscoveryRequest();
  for (const Bytes& junk : {Bytes(good.begin(), good.end() - 1), twentyNine, badCrc,
                            DiscoveryAnswerFrame(0xFFFFFFFF, 2),
                            DiscoveryAnswerFrame((a & 0x0FFFFFFF) | 0x30000000, 2),
                            Bytes(own.begin(), own.end())})
    lan.Peer(0).SendTo("127.0.0.1", port, junk);
  lan.Peer(0).SendTo("127.0.0.1", port, DiscoveryAnswerFrame(b, 0x83));
  lan.Peer(1).SendTo("127.0.0.1", port, good);

  EXPECT_TRUE(set.Collect(100));
  ASSERT_EQ(set.count, 2);
  EXPECT_EQ(set.dev[0].id, a);
  EXPECT_EQ(set.dev[0].IpText(), "127.0.0.3");
  EXPECT_EQ(set.dev[0].mode, 0x02);
  EXPECT_EQ(set.dev[1].id, b);
  EXPECT_EQ(set.dev[1].IpText(), "127.0.0.2");
  EXPECT_EQ(set.dev[1].mode, 0x83);
}

TEST(Discovery, SearchStopsAtTheFirstChangeAndOtherwiseBroadcastsThreeTimes) {
  LoopbackLan lan(2);
  const uint32_t id = ControllerId(9);
  lan.Peer(1).Serve([&](const Bytes& req) {
    const auto expected = DiscoveryRequest();
    if (req != Bytes(expected.begin(), expected.end())) return std::vector<Bytes>{};
    return std::vector<Bytes>{DiscoveryAnswerFrame(id, 0x02)};
  });
  UdpDevSet set;
  set.Search();
  ASSERT_EQ(set.count, 1);
  EXPECT_EQ(set.dev[0].IpText(), "127.0.0.3");
  EXPECT_EQ(lan.Peer(0).Received().size(), 1u);  // the broadcast reaches every peer

  set.Search();  // the same answer again changes nothing
  EXPECT_EQ(set.count, 1);
  EXPECT_EQ(lan.Peer(0).Received().size(), 4u);
}

TEST(Discovery, ABurstOfAHundredAnswersIsTakenWhole) {
  // All devices answer one broadcast at once; the socket must queue every answer.
  LoopbackLan lan(1);
  for (uint16_t s = 0; s < UdpDevSet::kCapacity; ++s)
    lan.Peer().SendTo("127.0.0.1", lan.endpoint->LocalPort(), DiscoveryAnswerFrame(ControllerId(s), 2));
  UdpDevSet set;
  EXPECT_TRUE(set.Collect(100));
  EXPECT_EQ(set.count, UdpDevSet::kCapacity);
}

TEST(Discovery, CollectEndsUnderAStreamOfAnswers) {
  LoopbackLan lan(1);
  std::atomic<bool> stop{false};
  std::thread flood([&] {
    const Bytes answer = DiscoveryAnswerFrame(ControllerId(3), 2);
    while (!stop) lan.Peer().SendTo("127.0.0.1", lan.endpoint->LocalPort(), answer);
  });
  UdpDevSet set;
  // Without a bound neither call would return while the stream lasts.
  EXPECT_TRUE(set.Collect(1000));
  EXPECT_FALSE(set.Collect(1000));
  EXPECT_FALSE(set.Collect(0));
  stop = true;
  flood.join();
  EXPECT_EQ(set.count, 1);
}

}  // namespace
}  // namespace orvu::test
