// The device panel: the bus device list, "Usuń nieaktywne" and "Zastąp".
#include <QLabel>

#include "tests/ui/window_fixture.h"
#include "ui/error_texts.h"

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
  StartSmall();
  EXPECT_EQ(ui->DevListBox->count(), 8);
  EXPECT_TRUE(ui->DelLostBtn->isEnabled());
  EXPECT_EQ(Items(ui->ReplCb), std::vector<int>{kPair});
  EXPECT_TRUE(ui->ReplCb->isEnabled());
  EXPECT_TRUE(ui->ReplLb->isEnabled());
  EXPECT_TRUE(ui->ReplaceBtn->isEnabled());
  EXPECT_TRUE(ui->ReplCb->itemText(0).contains(QStringLiteral(" <-- ")));
}

TEST_F(DevPanelTest, DeleteRemovesInactiveDevicesAndRereads) {
  StartSmall();
  SimDevice& ctrl = lan.Device(0);
  Click(ui->DelLostBtn);
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(ctrl.CountRequests('F'), 1u);
  EXPECT_EQ(ui->DevListBox->count(), 7);
  EXPECT_FALSE(ui->DelLostBtn->isEnabled());
  EXPECT_EQ(ui->ReplCb->count(), 0);
  EXPECT_FALSE(ui->ReplaceBtn->isEnabled());
  EXPECT_FALSE(ui->ReplLb->isEnabled());
}

TEST_F(DevPanelTest, ReplaceSendsTheChosenPairAndShowsTheNewDeviceInactive) {
  TMainWin& w = StartSmall();
  SimDevice& ctrl = lan.Device(0);
  Click(ui->ReplaceBtn);
  EXPECT_TRUE(errors.empty());
  ASSERT_EQ(ctrl.CountRequests('R'), 1u);
  std::vector<uint8_t> sent;
  for (const SimRequest& r : ctrl.Requests())
    if (r.cmd == 'R') sent = r.payload;
  EXPECT_EQ(sent, (std::vector<uint8_t>{kOldReader, kNewReader}));
  EXPECT_EQ(ui->DevListBox->count(), 7);
  EXPECT_TRUE(ui->DelLostBtn->isEnabled());  // the new device shows inactive for a while
  // Once the controller clears the mark, the tick redraws the panel.
  clock.Advance(kSimReplaceSettleMs + 1000);
  w.UDPTimerTimer();
  EXPECT_TRUE(errors.empty());
  EXPECT_FALSE(ui->DelLostBtn->isEnabled());
}

// The pair is the one the user saw: if it is no longer offered by the time the click is
// handled, nothing is sent and a box says so.
TEST_F(DevPanelTest, VanishedPairIsAnErrorAndNothingIsSent) {
  StartSmall();
  SimDevice& ctrl = lan.Device(0);
  WorkerState().cfg.devices[kOldReader].state = 0;  // the list changed under the shown one
  Click(ui->ReplaceBtn);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], PairGoneText());
  EXPECT_EQ(ctrl.CountRequests('R'), 0u);

  // Shown without the pair, the panel offers nothing to click; a job that gets no pair at all
  // refuses it the same way.
  errors.clear();
  CtrlConfig gone = Cfg();
  gone.devices[kOldReader].state = 0;
  ui->devicePanel->Show(gone, Devices().Current());
  ASSERT_EQ(ui->ReplCb->count(), 0);
  EXPECT_FALSE(ui->ReplaceBtn->isEnabled());
  Click(ui->ReplaceBtn);
  const LanOutcome none = ReplaceJob(WorkerState(), -1, std::string());
  ASSERT_EQ(none.failures.size(), 1u);
  EXPECT_EQ(std::get<StaleChoice>(none.failures[0].what), StaleChoice::kPairGone);
  EXPECT_EQ(ctrl.CountRequests('R'), 0u);
}

// A re-read after a deletion may bring fewer passages; the tabs follow, so no tab stands for a
// passage the model no longer holds.
TEST_F(DevPanelTest, RereadWithFewerPassagesTakesTheTabsAlong) {
  StartSmall();
  ASSERT_EQ(ui->DoorTc->count(), 3);
  ui->DoorTc->setCurrentIndex(2);
  CtrlConfig one;
  std::vector<uint8_t> payload = lan.Device(0).Passages();
  ASSERT_TRUE(DecodePassages(one, payload.data(), payload.size()));
  one.passageCount = 1;
  payload.resize(kMaxPassagePayload);
  payload.resize(EncodePassages(one, payload.data()));
  lan.Device(0).SetPassages(payload);
  Click(ui->DelLostBtn);
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(Cfg().passageCount, 1);
  EXPECT_EQ(ui->DoorTc->count(), 1);
  EXPECT_EQ(ui->DoorTc->currentIndex(), 0);
  EXPECT_EQ(ui->RygielCb->itemData(0).toInt(), Cfg().outRefs[0][kSlotBolt]);
}

TEST_F(DevPanelTest, RefusedCommandIsABoxAndThePanelStays) {
  StartSmall();
  lan.Device(0).SetForeignSession(SimForeignSession::kHeld);
  Click(ui->ReplaceBtn);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(ui->DevListBox->count(), 8);
  EXPECT_EQ(ui->ReplCb->count(), 1);
}

}  // namespace
}  // namespace orvu::test
