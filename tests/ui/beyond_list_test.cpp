// A controller whose passages reference device indices beyond its device list, chosen after a
// controller with a longer list: the editor and the report name the empty record R00_00000,
// never the other controller's device, and "Zapisz" gives the references back unchanged.
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "sim/device_config.h"
#include "tests/ui/dialog_answer.h"
#include "tests/ui/window_fixture.h"
#include "ui/lokdlg.h"
#include "ui/whelp.h"

namespace orvu::test {
namespace {

constexpr int kBoltBeyond = Ref(9, 2, true);  // index 9: the longer list's second module
constexpr int kTamperBeyond = Ref(20, 4, true);
constexpr int kReaderAtTheEnd = Ref(127, 1);

class ReferenceBeyondTheList : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    // Ten devices; index 9 is an elevator module D17_01502.
    SimDeviceConfig longer = SmallInstallation(1201, "192.168.1.21", 2);
    longer.bus.push_back(MakeBusRecord(MakeIdentity(201, 1501, 0, 0), 1, 0, 4, 4, 0, true));
    longer.bus.push_back(MakeBusRecord(MakeIdentity(717, 1502, 0, 0), 2, 0, 8, 8, 0, true));
    lan.AddDevice(longer);
    // Eight devices, indices 0-7.
    SimDeviceConfig shorter = SmallInstallation(1202, "192.168.1.22", 2);
    PutRef(shorter.passages, OutputOffset(0, kSlotBolt), kBoltBeyond);
    PutRef(shorter.passages, InputOffset(0, kSlotTamper), kTamperBeyond);
    PutRef(shorter.passages, ReaderOffset(0, 1), kReaderAtTheEnd);
    read = shorter.passages;
    lan.AddDevice(shorter);
  }

  std::vector<uint8_t> read;
};

TEST_F(ReferenceBeyondTheList, ShownReportedAndWrittenBackUnchanged) {
  TMainWin& w = Start();
  ASSERT_EQ(Cfg().deviceCount, 10);
  ChooseDevice(1);
  ASSERT_TRUE(errors.empty()) << errors[0].toStdString();
  ASSERT_EQ(Cfg().deviceCount, 8);

  EXPECT_EQ(ui->RygielCb->currentText().toStdString(), "R00_00000:Out3");
  EXPECT_EQ(ui->Alarm1Cb->currentText().toStdString(), "R00_00000:In5");
  EXPECT_TRUE(ui->Alarm1NC->isChecked());
  EXPECT_EQ(ui->RdCb[1]->currentText().toStdString(), "R00_00000:Rd2");

  ReportRig rig(w);
  TLokalizDlg& lokaliz = rig.lokaliz;
  ASSERT_TRUE(rig.dir.isValid());
  const QString path = rig.Path(QStringLiteral("raport.txt"));
  w.SaveRapDlg().SetNextAnswer(path);
  AnswerWhenShown(lokaliz, [&](QDialog&) { lokaliz.OKBtn->click(); });
  ui->RapCfgBtn->click();
  EXPECT_TRUE(errors.empty());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray report = file.readAll();
  EXPECT_TRUE(report.contains("  R00_00000:Out3[NC]")) << report.toStdString();
  EXPECT_TRUE(report.contains("  R00_00000:In5 [NC]")) << report.toStdString();
  EXPECT_TRUE(report.contains("  R00_00000:Rd2     ")) << report.toStdString();
  EXPECT_FALSE(report.contains("D17_01502")) << "the other controller's device";

  Click(ui->WrCfgBtn);
  EXPECT_TRUE(errors.empty());
  SimDevice& ctrl = lan.Device(1);
  ASSERT_EQ(ctrl.WrittenPassages().size(), 1u);
  std::vector<uint8_t> expected = read;
  expected[0] |= 0x80;  // written configurations carry bit 7 of the count
  EXPECT_EQ(ctrl.WrittenPassages()[0], expected);
}

}  // namespace
}  // namespace orvu::test
