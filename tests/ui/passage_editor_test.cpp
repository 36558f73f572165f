// The passage editor: lists drawn from the model, the handlers' edits, and "Zapisz".
#include <QLineEdit>
#include <algorithm>

#include "sim/device_config.h"
#include "tests/ui/window_fixture.h"

namespace orvu::test {
namespace {

// The small installation plus an open-collector output device (index 8) and a second
// elevator module (index 9), so that NC flags on shared outputs and bolts on two modules can
// be tried.
SimDeviceConfig WiderInstallation(uint8_t mode) {
  SimDeviceConfig config = SmallInstallation(1201, "192.168.1.21", mode);
  config.bus.push_back(MakeBusRecord(MakeIdentity(201, 1501, 0, 0), 1, 0, 4, 4, 0, true));
  config.bus.push_back(MakeBusRecord(MakeIdentity(717, 1502, 0, 0), 2, 0, 8, 8, 0, true));
  return config;
}

class PassageEditorTest : public WindowTest {
 protected:
  TMainWin& StartWith(uint8_t mode) {
    lan.AddDevice(WiderInstallation(mode));
    TMainWin& w = Start();
    EXPECT_EQ(ui->DoorTc->count(), 3);
    EXPECT_TRUE(errors.empty());
    return w;
  }
  void ShowTab(int index) { ui->DoorTc->setCurrentIndex(index); }
};

TEST_F(PassageEditorTest, EditsThenZapiszStoreExactlyTheEditedPayload) {
  StartWith(2);
  SimDevice& ctrl = lan.Device(0);
  std::vector<uint8_t> expected = ctrl.Passages();

  ASSERT_TRUE(Choose(ui->RdCb[1], Ref(0, 0)));          // passage 1, reader 2: controller reader 1
  PutRef(expected, ReaderOffset(0, 1), Ref(0, 0));
  ASSERT_TRUE(Choose(ui->Alarm1Cb, Ref(0, 3)));          // passage 1, tamper
  PutRef(expected, InputOffset(0, 3), Ref(0, 3));
  ui->Alarm1NC->setChecked(true);
  PutRef(expected, InputOffset(0, 3), Ref(0, 3, true));
  ShowTab(1);
  ASSERT_TRUE(Choose(ui->RdCb[0], kNone));               // passage 2 loses its first reader
  PutRef(expected, ReaderOffset(1, 0), kNone);
  ShowTab(2);
  ASSERT_TRUE(Choose(ui->AlarmCb, Ref(0, 2)));           // passage 3 joins the shared alarm
  PutRef(expected, OutputOffset(2, 2), Ref(0, 2));
  expected[0] |= 0x80;  // written configurations carry bit 7 of the count

  Click(ui->WrCfgBtn);
  EXPECT_TRUE(errors.empty());
  ASSERT_EQ(ctrl.WrittenPassages().size(), 1u);
  EXPECT_EQ(ctrl.WrittenPassages()[0], expected);
}

TEST_F(PassageEditorTest, BoltOnAnotherDeviceClearsTheDetector) {
  StartWith(2);
  ASSERT_EQ(ui->OpenDetectCb->itemData(0).toInt(), Ref(1, 0, true));
  // Another output of the same module keeps the detector.
  ASSERT_TRUE(Choose(ui->RygielCb, Ref(1, 5)));
  EXPECT_EQ(Cfg().inRefs[0][kSlotOpenDetector], Ref(1, 0, true));
  EXPECT_EQ(ui->OpenDetectCb->itemData(0).toInt(), Ref(1, 0, true));
  // The second module's output clears it; only that module's inputs are offered then.
  ASSERT_TRUE(Choose(ui->RygielCb, Ref(9, 0)));
  EXPECT_EQ(Cfg().inRefs[0][kSlotOpenDetector], kNoRef);
  std::vector<int> items = Items(ui->OpenDetectCb);
  ASSERT_EQ(items.size(), 9u);
  EXPECT_EQ(items[0], kNone);
  for (size_t i = 1; i < items.size(); ++i) EXPECT_EQ(items[i] >> 8, 9);
  EXPECT_TRUE(ui->OpenDetectCb->isEnabled());
  // No bolt: the detector list is its binding and "  -----", disabled.
  ASSERT_TRUE(Choose(ui->RygielCb, kNone));
  EXPECT_EQ(Items(ui->OpenDetectCb), std::vector<int>{kNone});
  EXPECT_FALSE(ui->OpenDetectCb->isEnabled());
}

TEST_F(PassageEditorTest, SharedAlarmOutputListsAndNcAcrossTabs) {
  StartWith(2);
  // Passages 1 and 2 share 0:Out3 (a relay): the NC box stays disabled though bound.
  EXPECT_EQ(ui->AlarmCb->itemData(0).toInt(), Ref(0, 2));
  EXPECT_FALSE(ui->AlarmNC->isEnabled());
  // Passage 3 is unbound: "  -----", the shared output, the separator, the free outputs.
  ShowTab(2);
  std::vector<int> items = Items(ui->AlarmCb);
  ASSERT_GE(items.size(), 4u);
  EXPECT_EQ(items[0], kNone);
  EXPECT_EQ(items[1], Ref(0, 2));
  EXPECT_EQ(items[2], kNone);
  EXPECT_EQ(ui->AlarmCb->itemText(0), QStringLiteral("  -----"));

  // Move both passages to an open-collector output and tick NC on the first tab.
  ShowTab(0);
  ASSERT_TRUE(Choose(ui->AlarmCb, Ref(8, 1)));
  ShowTab(1);
  ASSERT_TRUE(Choose(ui->AlarmCb, Ref(8, 1)));
  ShowTab(0);
  EXPECT_TRUE(ui->AlarmNC->isEnabled());
  EXPECT_FALSE(ui->AlarmNC->isChecked());
  ui->AlarmNC->setChecked(true);
  ShowTab(1);
  EXPECT_EQ(ui->AlarmCb->itemData(0).toInt(), Ref(8, 1, true));
  EXPECT_TRUE(ui->AlarmNC->isChecked());
}

// A reader the user took off a passage is free for the others, and stays free when a tick
// brings a changed device list: the usage follows the edited passages, not the ones read.
TEST_F(PassageEditorTest, DeviceListRefreshKeepsAnUnboundReaderFree) {
  TMainWin& w = StartWith(2);
  SimDevice& ctrl = lan.Device(0);
  ShowTab(1);
  const int reader = ui->RdCb[0]->itemData(ui->RdCb[0]->currentIndex()).toInt();
  ASSERT_NE(reader, kNone);
  ASSERT_TRUE(Choose(ui->RdCb[0], kNone));
  ShowTab(0);
  auto offered = [&] {
    const std::vector<int> items = Items(ui->RdCb[1]);
    return std::find(items.begin(), items.end(), reader) != items.end();
  };
  ASSERT_TRUE(offered());

  std::vector<SimBusRecord> bus = ctrl.BusDevices();
  bus.back().info[1] ^= 0x10;  // one device's state changes: the device list differs
  ctrl.SetBusDevices(bus);
  const size_t listReads = ctrl.CountRequests('D');
  w.UDPTimerTimer();
  ASSERT_GT(ctrl.CountRequests('D'), listReads);
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(Cfg().rdRefs[1][0], kNone);  // the edit survived
  EXPECT_FALSE(Cfg().devices[RefDevice(reader)].usedReaders & (1u << RefChannel(reader)));
  EXPECT_TRUE(offered());
}

TEST_F(PassageEditorTest, RedrawTicksDoNotWriteBackIntoTheModel) {
  StartWith(3);
  // Passage 2 has handle opening; passage 1 not. Showing them must leave both as they are.
  uint8_t before[3] = {Cfg().params[0][2], Cfg().params[1][2], Cfg().params[2][2]};
  ShowTab(1);
  EXPECT_TRUE(ui->KlamkaCb->isChecked());
  ShowTab(2);
  ShowTab(0);
  EXPECT_FALSE(ui->KlamkaCb->isChecked());
  for (int p = 0; p < 3; ++p) EXPECT_EQ(Cfg().params[p][2], before[p]);
  // The user's tick does reach the model.
  ui->KlamkaCb->setChecked(true);
  EXPECT_EQ(Cfg().params[0][2], before[0] | 0x40);
}

TEST_F(PassageEditorTest, TimeTextsAreParsedAndShownNormalised) {
  StartWith(3);
  ASSERT_TRUE(ui->TstGrpBox->isEnabled());
  struct Case {
    const char* typed;
    int stored;
    const char* shown;
  } cases[] = {
      {"3,4", 6, "3"}, {"3,5", 7, "3,5"}, {"99", 127, "63,5"}, {"3.5", 6, "3"}, {"", 0, "0"},
      {"-4", 0, "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    TypeAndEnter(ui->RygTimEd, QString::fromUtf8(c.typed));
    EXPECT_EQ(Cfg().params[0][4], c.stored);
    EXPECT_EQ(ui->RygTimEd->text(), QString::fromUtf8(c.shown));
  }
  // A redraw in the middle of typing keeps the text; switching tabs stores it where typed.
  TypeOver(ui->OpenTimEd, QStringLiteral("7,5"));
  ui->editor->Show(OperatingMode::kInstalacja);
  EXPECT_EQ(ui->OpenTimEd->text(), QStringLiteral("7,5"));
  ShowTab(1);
  EXPECT_EQ(Cfg().params[0][6], 15);
  EXPECT_EQ(Cfg().params[1][6], 20);
  EXPECT_EQ(ui->OpenTimEd->text(), QStringLiteral("10"));
}

TEST_F(PassageEditorTest, TypeAndAirlockTouchOnlyTheirBits) {
  StartWith(3);
  CtrlConfig untyped = Cfg();
  untyped.params[0][0] = 0xA7;  // type 7 has no entry
  ui->editor->Show(untyped, OperatingMode::kInstalacja, false);
  EXPECT_EQ(ui->TypeCb->currentIndex(), -1);
  ui->TypeCb->setCurrentIndex(3);
  emit ui->TypeCb->activated(3);
  EXPECT_EQ(Cfg().params[0][0], 0xA3);

  ui->SluzaCb->setCurrentIndex(1);
  emit ui->SluzaCb->activated(1);
  EXPECT_EQ(AirlockOf(Cfg().params[0]), 0);
  TypeOver(ui->SluzaCb->lineEdit(), QStringLiteral("Śluza 9"));  // names no entry
  EXPECT_EQ(AirlockOf(Cfg().params[0]), -1);
}

TEST_F(PassageEditorTest, ModeDecidesTheTestGroup) {
  TMainWin& w = StartWith(2);
  EXPECT_TRUE(ui->DoorTc->isEnabled());
  EXPECT_FALSE(ui->TstGrpBox->isEnabled());
  EXPECT_FALSE(ui->RygTimEd->isEnabled());
  lan.Device(0).SetMode(3);
  w.UDPTimerTimer();
  EXPECT_TRUE(ui->TstGrpBox->isEnabled());
  EXPECT_TRUE(ui->RygTimEd->isEnabled());
  EXPECT_TRUE(ui->KlamkaCb->isEnabled());
}

TEST_F(PassageEditorTest, WriteFailureIsABoxAndTheModelStays) {
  StartWith(2);
  ASSERT_TRUE(Choose(ui->RdCb[1], Ref(0, 0)));
  SimFaults faults;
  faults.dropReply = 1;
  lan.Device(0).SetFaults(faults);
  Click(ui->WrCfgBtn);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(Cfg().rdRefs[0][1], Ref(0, 0));
  EXPECT_EQ(ui->RdCb[1]->itemData(0).toInt(), Ref(0, 0));
}

}  // namespace
}  // namespace orvu::test
