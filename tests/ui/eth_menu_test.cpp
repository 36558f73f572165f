// The Ethernet list's menu: backup, restore and comparison of a controller's configuration
// through real files, and the addresses every search also asks directly.
// First: a member of the backup records is named like one of Qt's keywords.
#include "backup/backup_io.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <string>

#include "comm/identity.h"
#include "comm/posix_udp.h"
#include "sim/udp_server.h"
#include "tests/sim/tool_endpoint.h"
#include "tests/ui/window_fixture.h"
#include "ui/backup_texts.h"
#include "ui/error_texts.h"
#include "ui/router_addresses.h"

namespace orvu::test {
namespace {

class EthMenuTest : public WindowTest {
 public:
  void SetUp() override {
    WindowTest::SetUp();
    SaveAddresses({});
  }

  // The demo LAN: K46_01201 (Serwis) on line 0, K46_01202 (Instalacja) on 1, K46_01203
  // (Blokada) on 2.
  TMainWin& StartDemo() {
    AddScenario(lan, DemoScenario());
    TMainWin& w = Start();
    w.show();
    return w;
  }

  // The lines window of that name: its heading and lines noted, then the button clicked.
  void AnswerLines(const char* dialog, const char* button) {
    WhenShown(QString::fromLatin1(dialog), [this, button](QWidget& open) {
      shownHeading = Named<QLabel>(open, "LinesHeading")->text();
      shownLines = Named<QPlainTextEdit>(open, "LinesText")->toPlainText();
      Click(Named<QPushButton>(open, button));
    });
  }

  QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

  QTemporaryDir dir;
  QString shownHeading, shownLines;
};

TEST_F(EthMenuTest, ItemsInOrderAndOnlyAReadableControllerOffersItsConfiguration) {
  StartDemo();
  ChooseInMenu(0, "none");
  EXPECT_EQ(menuItems, (std::vector<QString>{QStringLiteral("Kopia ustawień…"),
                                             QStringLiteral("Przywróć z kopii…"),
                                             QStringLiteral("Porównaj z kopią…"), QStringLiteral("-"),
                                             QStringLiteral("Adresy kontrolerów za routerem…")}));
  ChooseInMenu(2, "none");  // locked in Blokada
  EXPECT_EQ(menuItems, (std::vector<QString>{QStringLiteral("Kopia ustawień… (off)"),
                                             QStringLiteral("Przywróć z kopii… (off)"),
                                             QStringLiteral("Porównaj z kopią… (off)"), QStringLiteral("-"),
                                             QStringLiteral("Adresy kontrolerów za routerem…")}));
  // The menu key and Shift+F10 open it on the current line.
  for (auto [key, modifiers] : {std::pair{Qt::Key_Menu, Qt::NoModifier}, std::pair{Qt::Key_F10, Qt::ShiftModifier}}) {
    menuItems.clear();
    WhenShown(QStringLiteral("EthMenu"), [this](QWidget& open) { Pick(open, "none"); });
    QTest::keyClick(ui->EthLstBox, key, modifiers);
    EXPECT_EQ(menuItems.size(), 5u);
    EXPECT_EQ(menuItems[0], QStringLiteral("Kopia ustawień…"));
  }
  EXPECT_TRUE(errors.empty());
}

// The backup is the CLI's file; the real save dialog proposes "NAME.json".
TEST_F(EthMenuTest, BackupWritesTheControllersFileThroughTheRealDialog) {
  StartDemo();
  QDir::setCurrent(dir.path());
  QString preset;
  WhenShown(QStringLiteral("BackupFileDlg"), [&](QWidget& open) {
    auto& dialog = static_cast<QFileDialog&>(open);
    auto* name = Named<QLineEdit>(dialog, "fileNameEdit");
    preset = name->text();
    name->setText(QStringLiteral("site A"));  // no suffix typed
    QTest::keyClick(name, Qt::Key_Return);
    if (dialog.isVisible()) {
      ADD_FAILURE() << "the save dialog did not take the name";
      dialog.reject();
    }
  });
  ChooseInMenu(1, "BackupAct");
  EXPECT_EQ(preset, QStringLiteral("K46_01202.json"));
  EXPECT_TRUE(errors.empty());
  const Backup file = ReadBackupFile(Path("site A.json").toStdString());
  EXPECT_EQ(DevName(file.controllerId), "K46_01202");
  EXPECT_EQ(file.passages.size(), 1u);
  EXPECT_EQ(Devices().sel, 0);  // the window's own controller stays
}

TEST_F(EthMenuTest, AFileThatCannotBeWrittenOrReadIsToldLikeAReport) {
  StartDemo();
  win->BackupDlg().SetNextAnswer(Path("no such folder/K46_01201.json"));
  ChooseInMenu(0, "BackupAct");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Nie udało się zapisać kopii ustawień w pliku:")))
      << errors[0].toStdString();
  win->BackupDlg().SetNextAnswer(Path("missing.json"));
  ChooseInMenu(0, "CompareAct");
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_TRUE(errors[1].startsWith(QStringLiteral("Nie udało się odczytać kopii ustawień z pliku:")));
  QFile junk(Path("junk.json"));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("{}");
  junk.close();
  win->BackupDlg().SetNextAnswer(junk.fileName());
  ChooseInMenu(0, "RestoreAct");
  ASSERT_EQ(errors.size(), 3u);
  EXPECT_TRUE(errors[2].startsWith(QStringLiteral("Plik nie jest poprawną kopią ustawień")));
}

// Compared right after the backup: no difference; after an edit written: the difference, as
// the CLI's diff prints it.
TEST_F(EthMenuTest, CompareListsTheDifferencesOrSaysThereAreNone) {
  StartDemo();
  win->BackupDlg().SetNextAnswer(Path("a.json"));
  ChooseInMenu(0, "BackupAct");
  win->BackupDlg().SetNextAnswer(Path("a.json"));
  AnswerLines("CompareDlg", "LinesCloseBtn");
  ChooseInMenu(0, "CompareAct");
  EXPECT_TRUE(shownHeading.startsWith(QStringLiteral("Bez różnic"))) << shownHeading.toStdString();
  ASSERT_TRUE(Choose(ui->AlarmCb, Ref(0, 1)));
  Click(ui->WrCfgBtn);
  win->BackupDlg().SetNextAnswer(Path("a.json"));
  AnswerLines("CompareDlg", "LinesCloseBtn");
  ChooseInMenu(0, "CompareAct");
  EXPECT_TRUE(shownHeading.startsWith(QStringLiteral("A: ") + Path("a.json")));
  EXPECT_TRUE(shownLines.contains(QStringLiteral("passage 1, alarm")));
  EXPECT_TRUE(shownLines.contains(QStringLiteral(" -> ")));
  EXPECT_TRUE(errors.empty());
}

// A file whose devices the controller does not have: every reason listed, nothing written.
TEST_F(EthMenuTest, ARefusedRestoreListsItsReasonsAndWritesNothing) {
  StartDemo();
  win->BackupDlg().SetNextAnswer(Path("other.json"));
  ChooseInMenu(1, "BackupAct");
  win->BackupDlg().SetNextAnswer(Path("other.json"));
  WhenShown(QStringLiteral("RestoreDlg"), [this](QWidget& open) {
    shownHeading = Named<QLabel>(open, "LinesHeading")->text();
    EXPECT_EQ(open.findChild<QPushButton*>(QStringLiteral("LinesActionBtn")), nullptr);
    Click(Named<QPushButton>(open, "LinesCloseBtn"));
  });
  ChooseInMenu(0, "RestoreAct");
  EXPECT_TRUE(shownHeading.startsWith(QStringLiteral("Kopii z pliku"))) << shownHeading.toStdString();
  EXPECT_EQ(lan.Device(0).WrittenPassages().size(), 0u);
  EXPECT_TRUE(errors.empty());
}

// Restored and read back: the box says it is verified, and the window shows what the controller
// holds now.
TEST_F(EthMenuTest, AVerifiedRestoreIsToldAndShown) {
  StartDemo();
  const int alarm = Cfg().outRefs[0][kSlotAlarm];
  win->BackupDlg().SetNextAnswer(Path("before.json"));
  ChooseInMenu(0, "BackupAct");
  ASSERT_TRUE(Choose(ui->AlarmCb, Ref(0, 1)));
  Click(ui->WrCfgBtn);
  ASSERT_EQ(lan.Device(0).WrittenPassages().size(), 1u);

  win->BackupDlg().SetNextAnswer(Path("before.json"));
  AnswerLines("RestoreDlg", "LinesActionBtn");
  ChooseInMenu(0, "RestoreAct");
  EXPECT_TRUE(shownLines.contains(QStringLiteral("passage 1, alarm")));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], RestoreVerifiedText(QStringLiteral("K46_01201")));
  EXPECT_EQ(lan.Device(0).WrittenPassages().size(), 2u);
  EXPECT_EQ(Cfg().outRefs[0][kSlotAlarm], alarm);
  EXPECT_EQ(ui->AlarmCb->itemData(0).toInt(), alarm == kNone ? kNone : alarm);
  EXPECT_FALSE(win->isWindowModified());
}

// The simulated LAN loses every acknowledgement of the write: the outcome is told as unknown,
// with what reading back found.
class AckLosingLan : public EndpointRef {
 public:
  using EndpointRef::EndpointRef;
  size_t Receive(uint8_t* buf, size_t cap, int timeoutMs, std::string* from) override {
    for (;;) {
      const size_t n = EndpointRef::Receive(buf, cap, timeoutMs, from);
      const bool writeAck = n > 10 && std::string(reinterpret_cast<char*>(buf), 4) == "MMDC" &&
                            buf[10] == ('c' | 0x80);
      if (!writeAck) return n;
    }
  }
};

TEST_F(EthMenuTest, ARestoreWhoseAcknowledgementIsLostIsToldAsUnknown) {
  AddScenario(lan, DemoScenario());
  bool losing = false;
  win = std::make_unique<TMainWin>(
      [&]() -> std::unique_ptr<Endpoint> {
        if (losing) return std::make_unique<AckLosingLan>(lan);
        return std::make_unique<EndpointRef>(lan);
      },
      TMainWin::CommMode::kInline);
  ui.emplace(*win);
  ui->UDPTimer->stop();
  win->show();
  win->BackupDlg().SetNextAnswer(Path("before.json"));
  ChooseInMenu(0, "BackupAct");
  ASSERT_TRUE(Choose(ui->AlarmCb, Ref(0, 1)));
  Click(ui->WrCfgBtn);
  // The window's endpoint is made once: a second window on the losing LAN.
  ui.reset();
  win.reset();
  losing = true;
  win = std::make_unique<TMainWin>([&] { return std::make_unique<AckLosingLan>(lan); },
                                   TMainWin::CommMode::kInline);
  ui.emplace(*win);
  ui->UDPTimer->stop();
  win->show();
  win->BackupDlg().SetNextAnswer(Path("before.json"));
  AnswerLines("RestoreDlg", "LinesActionBtn");
  ChooseInMenu(0, "RestoreAct");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_TRUE(errors[0].contains(QStringLiteral("nie potwierdził zapisu"))) << errors[0].toStdString();
  EXPECT_TRUE(errors[0].contains(QStringLiteral("są takie jak w pliku")));
  EXPECT_GE(lan.Device(0).WrittenPassages().size(), 2u);
}

// The list is checked line by line, remembered across runs, and OK searches with it: a
// controller that no broadcast reaches is found (real sockets on loopback).
TEST_F(EthMenuTest, AddressesBehindARouterAreCheckedRememberedAndAskedByEverySearch) {
  SimUdpServer server(clock);
  server.AddDevice(SmallInstallation(1209, "127.0.0.2", 2));
  server.Start();
  UdpConfig config = ToolEndpointConfig(server);
  config.broadcastTo = {{"127.0.0.3", server.Port()}};  // where no controller listens
  auto open = [&] {
    ui.reset();
    win.reset();  // closes its sessions first, as a window that was closed
    win = std::make_unique<TMainWin>([config] { return std::make_unique<PosixUdpEndpoint>(config); },
                                     TMainWin::CommMode::kInline);
    ui.emplace(*win);
    ui->UDPTimer->stop();
    win->show();
  };
  open();
  ASSERT_EQ(ui->EthLstBox->count(), 0);

  const QString target = QStringLiteral("127.0.0.2:%1").arg(server.Port());
  // A bad line is refused with its reason, the dialog stays open, nothing is saved.
  WhenShown(QStringLiteral("AddressesDlg"), [&](QWidget& dialog) {
    auto* edit = Named<QPlainTextEdit>(dialog, "AddressesEd");
    edit->setPlainText(QStringLiteral("  %1 \n\n10.1.2.300\n").arg(target));
    Click(Named<QPushButton>(dialog, "AddressesOkBtn"));
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], AddressRefusedText(2, QStringLiteral("10.1.2.300"), false));
    edit->setPlainText(QStringLiteral("  %1 \n").arg(target));
    QTest::keyClick(edit, Qt::Key_Return, Qt::ControlModifier);  // Ctrl+Enter is OK
  });
  ChooseInMenu(0, "AddressesAct");
  EXPECT_EQ(SavedAddresses(), QStringList{target});
  ASSERT_EQ(ui->EthLstBox->count(), 1);
  EXPECT_TRUE(Line(ui->EthLstBox, 0).contains(QStringLiteral("K46_01209")));

  // A new run asks the saved address from its first search on.
  open();
  ASSERT_EQ(ui->EthLstBox->count(), 1);
  EXPECT_EQ(ui->DoorTc->count(), 3);
  WhenShown(QStringLiteral("AddressesDlg"), [&](QWidget& dialog) {
    EXPECT_EQ(Named<QPlainTextEdit>(dialog, "AddressesEd")->toPlainText(), target);
    static_cast<QDialog&>(dialog).reject();
  });
  ChooseInMenu(0, "AddressesAct");
  EXPECT_EQ(errors.size(), 1u) << errors.back().toStdString();
  ui.reset();
  win.reset();
}

}  // namespace
}  // namespace orvu::test
