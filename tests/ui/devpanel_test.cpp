// The device panel: the bus device list, "Usuń nieaktywne" and "Zastąp".
#include <QLabel>

#include "tests/ui/window_fixture.h"

namespace orvu::test {
namespace {

class DevPanelTest : public WindowTest {
 protected:
  TMainWin& StartSmall() {
    lan.AddDevice(SmallInstallation(1201, "192.168.1.21", 2));
    TMainWin& w = Start();
    EXPECT_TRUE(errors.empty());
    return w;
  }
};

constexpr int kOldReader = 6, kNewReader = 7;
constexpr int kPair = kNewReader * 256 + kOldReader;

TEST_F(DevPanelTest, OffersTheInactiveDeviceForReplacement) {
  TMainWin& w = StartSmall();
  EXPECT_EQ(w.DevListBox->count(), 8);
  EXPECT_TRUE(w.DelLostBtn->isEnabled());
  EXPECT_EQ(Items(w.ReplCb), std::vector<int>{kPair});
  EXPECT_TRUE(w.ReplCb->isEnabled());
  EXPECT_TRUE(w.ReplLb->isEnabled());
  EXPECT_TRUE(w.ReplaceBtn->isEnabled());
  EXPECT_TRUE(w.ReplCb->itemText(0).contains(QStringLiteral(" <-- ")));
}

TEST_F(DevPanelTest, DeleteRemovesInactiveDevicesAndRereads) {
  TMainWin& w = StartSmall();
  SimDevice& ctrl = lan.Device(0);
  w.DelLostBtnClick();
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(ctrl.CountRequests('F'), 1u);
  EXPECT_EQ(w.DevListBox->count(), 7);
  EXPECT_FALSE(w.DelLostBtn->isEnabled());
  EXPECT_EQ(w.ReplCb->count(), 0);
  EXPECT_FALSE(w.ReplaceBtn->isEnabled());
  EXPECT_FALSE(w.ReplLb->isEnabled());
}

TEST_F(DevPanelTest, ReplaceSendsTheChosenPairAndShowsTheNewDeviceInactive) {
  TMainWin& w = StartSmall();
  SimDevice& ctrl = lan.Device(0);
  w.ReplaceBtnClick();
  EXPECT_TRUE(errors.empty());
  ASSERT_EQ(ctrl.CountRequests('R'), 1u);
  std::vector<uint8_t> sent;
  for (const SimRequest& r : ctrl.Requests())
    if (r.cmd == 'R') sent = r.payload;
  EXPECT_EQ(sent, (std::vector<uint8_t>{kOldReader, kNewReader}));
  EXPECT_EQ(w.DevListBox->count(), 7);
  EXPECT_TRUE(w.DelLostBtn->isEnabled());  // the new device shows inactive for a while
  // Once the controller clears the mark, the tick redraws the panel.
  clock.Advance(kSimReplaceSettleMs + 1000);
  w.UDPTimerTimer();
  EXPECT_TRUE(errors.empty());
  EXPECT_FALSE(w.DelLostBtn->isEnabled());
}

// The pair is the one the user saw: if it is no longer offered by the time the click is
// handled, nothing is sent and a box says so.
TEST_F(DevPanelTest, VanishedPairIsAnErrorAndNothingIsSent) {
  TMainWin& w = StartSmall();
  SimDevice& ctrl = lan.Device(0);
  w.InlineCommState().cfg.devices[kOldReader].state = 0;  // the list changed under the shown one
  w.ReplaceBtnClick();
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_EQ(ctrl.CountRequests('R'), 0u);

  errors.clear();
  w.Cfg.devices[kOldReader].state = 0;
  w.RefreshDevPanel();
  ASSERT_EQ(w.ReplCb->count(), 0);
  w.ReplaceBtnClick();
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_EQ(ctrl.CountRequests('R'), 0u);
}

// A re-read after a deletion may bring fewer passages; the tabs follow, so no tab stands for a
// passage the model no longer holds.
TEST_F(DevPanelTest, RereadWithFewerPassagesTakesTheTabsAlong) {
  TMainWin& w = StartSmall();
  ASSERT_EQ(w.DoorTc->count(), 3);
  w.DoorTc->setCurrentIndex(2);
  CtrlConfig one;
  std::vector<uint8_t> payload = lan.Device(0).Passages();
  ASSERT_TRUE(DecodePassages(one, payload.data(), payload.size()));
  one.passageCount = 1;
  payload.resize(kMaxPassagePayload);
  payload.resize(EncodePassages(one, payload.data()));
  lan.Device(0).SetPassages(payload);
  w.DelLostBtnClick();
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(w.Cfg.passageCount, 1);
  EXPECT_EQ(w.DoorTc->count(), 1);
  EXPECT_EQ(w.DoorTc->currentIndex(), 0);
  EXPECT_EQ(w.RygielCb->itemData(0).toInt(), w.Cfg.outRefs[0][kSlotBolt]);
}

TEST_F(DevPanelTest, RefusedCommandIsABoxAndThePanelStays) {
  TMainWin& w = StartSmall();
  lan.Device(0).SetForeignSession(SimForeignSession::kHeld);
  w.ReplaceBtnClick();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(w.DevListBox->count(), 8);
  EXPECT_EQ(w.ReplCb->count(), 1);
}

}  // namespace
}  // namespace orvu::test
