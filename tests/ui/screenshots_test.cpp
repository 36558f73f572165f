// Writes the pictures of the windows into the folder ORVU_SHOTS names, for the README; run
// under Xvfb at scale factors 1 and 2 by scripts/screenshots.sh. The main window over the large
// built-in scenario (16 passages), then "Raport" as a user goes through it: the location dialog
// and the save dialog. Files main-window.png, location-dialog.png, save-dialog.png, with "@2x"
// before ".png" at scale factor 2.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "sim/clock.h"
#include "sim/lan.h"
#include "sim/scenario.h"
#include "ui/endpoint_ref.h"
#include "ui/lokdlg.h"
#include "ui/mainwin.h"
#include "ui/multi_row_tab_bar.h"
#include "ui/whelp.h"

namespace orvu {
namespace {

class Shots {
 public:
  explicit Shots(QString folder) : folder_(std::move(folder)) {}

  void Take(QWidget& window, const char* name) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
    const QPixmap picture = window.grab();
    const QString suffix = picture.devicePixelRatio() > 1 ? QStringLiteral("@2x") : QString();
    const QString file = QDir(folder_).filePath(QString::fromLatin1(name) + suffix + ".png");
    EXPECT_TRUE(picture.save(file)) << file.toStdString();
    ++taken_;
  }
  int Taken() const { return taken_; }

 private:
  QString folder_;
  int taken_ = 0;
};

TEST(Screenshots, MainWindowAndTheReportDialogs) {
  const QString folder = QDir().absoluteFilePath(qEnvironmentVariable("ORVU_SHOTS"));
  if (qEnvironmentVariable("ORVU_SHOTS").isEmpty()) GTEST_SKIP() << "ORVU_SHOTS not set";
  Shots shots(folder);

  // The save dialog opens in the current directory: a folder of earlier reports.
  QTemporaryDir home;
  ASSERT_TRUE(home.isValid());
  const QString reports = QDir(home.path()).filePath(QStringLiteral("raporty"));
  ASSERT_TRUE(QDir().mkpath(reports));
  for (const char* name : {"2024-05-06 K46_01201.txt", "2024-05-06 K46_01202.txt"}) {
    QFile file(QDir(reports).filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Kontroler:    K46_01201\r\n");
  }
  const QString before = QDir::currentPath();
  QDir::setCurrent(reports);

  ManualClock clock;
  SimLan lan(clock);
  lan.SetEchoBroadcast(false);
  Scenario large = BuiltinScenario("large");
  RebaseAddresses(large, "192.168.1.50");  // as the demo shows it
  AddScenario(lan, large);
  // Inline: the simulated LAN runs on a manual clock, so the first load is done at creation.
  TMainWin win([&lan] { return std::make_unique<EndpointRef>(lan); }, TMainWin::CommMode::kInline);
  win.findChild<QTimer*>(QStringLiteral("UDPTimer"))->stop();
  THelpWin helpWin;
  TLokalizDlg lokalizDlg;
  win.SetAuxWindows(&helpWin, &lokalizDlg);
  win.show();
  ASSERT_EQ(win.findChild<MultiRowTabBar*>(QStringLiteral("DoorTc"))->count(), 16);
  shots.Take(win, "main-window");

  // "Raport": each dialog is taken when it shows, then answered as a user would.
  QTimer answer;
  bool locationDone = false;
  answer.setInterval(50);
  QObject::connect(&answer, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == &lokalizDlg && !locationDone) {
      locationDone = true;
      lokalizDlg.LokEdit->setText(QStringLiteral("Budynek A, parter, klatka schodowa B"));
      shots.Take(lokalizDlg, "location-dialog");
      lokalizDlg.OKBtn->click();
    } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
      answer.stop();
      shots.Take(*dialog, "save-dialog");
      dialog->reject();
    }
  });
  answer.start();
  win.findChild<QPushButton*>(QStringLiteral("RapCfgBtn"))->click();
  answer.stop();
  QDir::setCurrent(before);
  EXPECT_EQ(shots.Taken(), 3);
}

}  // namespace
}  // namespace orvu
