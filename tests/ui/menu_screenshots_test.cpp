// Pictures of the Ethernet list's menu and its windows for the README, into the folder
// ORVU_SHOTS names (scripts/screenshots.sh): ethernet-menu.png (the window with the menu open on
// a controller, taken from the screen, so under Xvfb), restore-dialog.png (the changes a
// restore would write) and addresses-dialog.png (each window's own picture, taken offscreen).
#include <QDir>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryDir>

#include "tests/ui/window_fixture.h"

namespace orvu::test {
namespace {

void Save(const QPixmap& picture, const char* name) {
  const QString suffix = picture.devicePixelRatio() > 1 ? QStringLiteral("@2x") : QString();
  const QString file =
      QDir(qEnvironmentVariable("ORVU_SHOTS")).absoluteFilePath(QString::fromLatin1(name) + suffix + ".png");
  EXPECT_TRUE(picture.save(file)) << file.toStdString();
}

TEST_F(WindowTest, MenuScreenshotsOfTheEthernetListsMenuAndItsWindows) {
  if (qEnvironmentVariable("ORVU_SHOTS").isEmpty()) GTEST_SKIP() << "ORVU_SHOTS not set";
  AddScenario(lan, DemoScenario());
  TMainWin& w = Start();
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

  // A popup is a window of its own: the screen shows the two together.
  WhenShown(QStringLiteral("EthMenu"), [&](QWidget& menu) {
    QTest::qWait(200);
    const QRect area = w.frameGeometry().united(menu.geometry());
    Save(QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()),
         "ethernet-menu");
    menu.close();
  });
  ChooseInMenu(0, "none");
  EXPECT_TRUE(errors.empty());
}

TEST_F(WindowTest, MenuScreenshotsOfTheRestoreAndAddressesWindows) {
  if (qEnvironmentVariable("ORVU_SHOTS").isEmpty()) GTEST_SKIP() << "ORVU_SHOTS not set";
  AddScenario(lan, DemoScenario());
  TMainWin& w = Start();
  w.show();
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("K46_01201.json"));
  w.BackupDlg().SetNextAnswer(file);
  ChooseInMenu(0, "BackupAct");
  ASSERT_TRUE(Choose(ui->AlarmCb, Ref(0, 1)));
  ASSERT_TRUE(Choose(ui->RdCb[0], kNone));
  Click(ui->WrCfgBtn);
  w.BackupDlg().SetNextAnswer(file);
  WhenShown(QStringLiteral("RestoreDlg"), [](QWidget& dialog) {
    QTest::qWait(100);
    Save(dialog.grab(), "restore-dialog");
    static_cast<QDialog&>(dialog).reject();
  });
  ChooseInMenu(0, "RestoreAct");

  WhenShown(QStringLiteral("AddressesDlg"), [](QWidget& dialog) {
    Named<QPlainTextEdit>(dialog, "AddressesEd")->setPlainText(QStringLiteral("10.20.1.15\n10.20.2.15:45389"));
    QTest::qWait(100);
    Save(dialog.grab(), "addresses-dialog");
    static_cast<QDialog&>(dialog).reject();
  });
  ChooseInMenu(0, "AddressesAct");
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace orvu::test
