// Start-up, the Ethernet list, the choice of a controller and the poll tick.
#include <QCheckBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <stdexcept>
#include <system_error>

#include "comm/udpdev.h"
#include "tests/ui/window_fixture.h"
#include "ui/qtext.h"

namespace orvu::test {
namespace {

QString Message(ErrCode code) { return QtText(ErrMessage(code)); }

TEST_F(WindowTest, StartsEmptyWhenNothingAnswers) {
  TMainWin& w = Start();
  EXPECT_EQ(w.windowTitle(), QStringLiteral("orvuQ46 Tmp 0.0.1[*]"));  // "*" marks unsaved edits
  EXPECT_FALSE(w.isWindowModified());
  EXPECT_EQ(w.size(), QSize(847, 590));
  EXPECT_EQ(ui->EthLstBox->count(), 0);
  EXPECT_FALSE(ui->WwwBtn->isEnabled());
  EXPECT_TRUE(ui->SelDevBox->title().isEmpty());
  EXPECT_EQ(ui->DevListBox->count(), 0);
  EXPECT_EQ(ui->DoorTc->count(), 0);
  EXPECT_EQ(ui->SluzaCb->count(), 0);
  EXPECT_FALSE(ui->DoorTc->isEnabled());
  EXPECT_FALSE(ui->WrCfgBtn->isEnabled());
  EXPECT_FALSE(ui->RapCfgBtn->isEnabled());
  EXPECT_TRUE(errors.empty());
  w.UDPTimerTimer();
  Click(ui->WwwBtn);
  EXPECT_TRUE(errors.empty());
}

TEST_F(WindowTest, LoadsTheFirstControllerWithoutAClick) {
  AddScenario(lan, DemoScenario());
  Start();
  EXPECT_TRUE(errors.empty());
  ASSERT_GE(ui->EthLstBox->count(), 3);
  EXPECT_EQ(ui->EthLstBox->currentRow(), 0);
  EXPECT_TRUE(Line(ui->EthLstBox, 0).contains(QStringLiteral("192.168.1.21")));
  EXPECT_TRUE(Line(ui->EthLstBox, 0).contains(QStringLiteral("Serwis")));
  EXPECT_EQ(ui->SelDevBox->title(), QStringLiteral(" K46_01201 "));
  EXPECT_EQ(ui->DevListBox->count(), 8);
  EXPECT_EQ(ui->DoorTc->count(), 3);
  EXPECT_EQ(ui->DoorTc->tabText(2), QStringLiteral("3"));
  EXPECT_TRUE(ui->DoorTc->isEnabled());
  EXPECT_TRUE(ui->WrCfgBtn->isEnabled());
  // Three passages give one airlock.
  ASSERT_EQ(ui->SluzaCb->count(), 2);
  EXPECT_EQ(ui->SluzaCb->itemText(0), QStringLiteral("  -----"));
  EXPECT_EQ(ui->SluzaCb->itemText(1), QStringLiteral("Śluza 1"));
  // In Serwis the test group stays disabled although the editor is enabled.
  EXPECT_FALSE(ui->TstGrpBox->isEnabled());
  EXPECT_EQ(ui->RygielCb->itemData(0).toInt(), Ref(1, 0));
}

TEST_F(WindowTest, LateAnswerIsMergedByTheTickAndLoadedWithoutAClick) {
  SimDeviceConfig late = SmallInstallation(1201, "192.168.1.21", 2);
  late.faults.delayReply = 1;
  late.faults.delayMs = 2000;  // every answer to the first search comes after it ended
  SimDevice& device = lan.AddDevice(late);
  TMainWin& w = Start();
  ASSERT_EQ(ui->EthLstBox->count(), 0);
  device.SetFaults(SimFaults{});
  clock.Advance(3000);
  w.UDPTimerTimer();
  EXPECT_TRUE(errors.empty());
  ASSERT_EQ(ui->EthLstBox->count(), 1);
  EXPECT_EQ(ui->EthLstBox->currentRow(), 0);
  EXPECT_EQ(ui->DoorTc->count(), 3);
}

TEST_F(WindowTest, ChoosingControllersByMode) {
  AddScenario(lan, DemoScenario());
  lan.AddController(1210, "192.168.1.40", 1);  // Konfiguracja
  SimDevice& foreign = lan.AddController(1211, "192.168.1.41", 2);
  foreign.SetForeignSession(SimForeignSession::kHeld);
  Start();
  ASSERT_EQ(ui->EthLstBox->count(), 5);

  struct Case {
    int row;
    std::optional<ErrCode> error;  // nullopt: read without a box
    int passages;
  } cases[] = {
      {1, std::nullopt, 1},               // 1202 in Instalacja
      {2, ErrCode::kModeForbids, 0},      // 1203 in Blokada
      {3, ErrCode::kModeForbids, 0},      // 1210 in Konfiguracja
      {4, ErrCode::kForeignSession, 0},   // 1211 held by another program
      {0, std::nullopt, 3},               // 1201 in Serwis again
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    errors.clear();
    ChooseDevice(c.row);
    EXPECT_EQ(Devices().sel, c.row);
    if (!c.error) {
      EXPECT_TRUE(errors.empty());
    } else {
      ASSERT_EQ(errors.size(), 1u);
      EXPECT_TRUE(errors[0].contains(Message(*c.error))) << errors[0].toStdString();
    }
    EXPECT_EQ(Cfg().passageCount, c.passages);
    EXPECT_EQ(ui->DoorTc->count(), c.passages);
    EXPECT_EQ(ui->DoorTc->isEnabled(), c.passages > 0);
    EXPECT_EQ(ui->WrCfgBtn->isEnabled(), c.passages > 0);
  }
  EXPECT_TRUE(ui->TstGrpBox->isEnabled() == false);
  ChooseDevice(1);
  EXPECT_TRUE(ui->TstGrpBox->isEnabled());  // Instalacja opens the test parameters
  EXPECT_TRUE(ui->RygTimEd->isEnabled());
}

// A click or a keyboard move chooses a device exactly once; a click on the current line reads
// it again.
TEST_F(WindowTest, ClickAndKeyboardChooseOnce) {
  AddScenario(lan, DemoScenario());
  TMainWin& w = Start();
  w.show();
  auto click = [&](int row) {
    QRect line = ui->EthLstBox->visualItemRect(ui->EthLstBox->item(row));
    QTest::mouseClick(ui->EthLstBox->viewport(), Qt::LeftButton, {}, line.center());
  };
  click(2);  // Blokada
  EXPECT_EQ(Devices().sel, 2);
  EXPECT_EQ(errors.size(), 1u);
  errors.clear();
  QTest::keyClick(ui->EthLstBox, Qt::Key_Up);  // Instalacja
  EXPECT_EQ(Devices().sel, 1);
  EXPECT_EQ(ui->DoorTc->count(), 1);
  const size_t reads = lan.Device(1).CountRequests('C');
  click(1);
  EXPECT_EQ(lan.Device(1).CountRequests('C'), reads + 1);
  EXPECT_TRUE(errors.empty());
}

// A Ctrl-click on the current line takes its selection away: nothing is chosen, so nothing is
// read again and the edits stay.
TEST_F(WindowTest, ClickThatLeavesNoLineSelectedChoosesNothing) {
  AddScenario(lan, DemoScenario());
  TMainWin& w = Start();
  w.show();
  ASSERT_TRUE(Choose(ui->AlarmCb, Ref(0, 1)));
  const size_t reads = lan.Device(0).CountRequests('C');
  QRect line = ui->EthLstBox->visualItemRect(ui->EthLstBox->item(0));
  QTest::mouseClick(ui->EthLstBox->viewport(), Qt::LeftButton, Qt::ControlModifier, line.center());
  ASSERT_TRUE(ui->EthLstBox->selectedItems().isEmpty());
  EXPECT_EQ(lan.Device(0).CountRequests('C'), reads);
  EXPECT_EQ(Cfg().outRefs[0][kSlotAlarm], Ref(0, 1));
  EXPECT_TRUE(errors.empty());
}

TEST_F(WindowTest, SilentControllerKeepsItsEditorAndShowsNoBox) {
  AddScenario(lan, DemoScenario());
  TMainWin& w = Start();
  ASSERT_EQ(ui->DoorTc->count(), 3);
  ASSERT_TRUE(Choose(ui->AlarmCb, Ref(0, 1)));  // an edit that must survive
  lan.Device(0).SetSilent(true);
  w.UDPTimerTimer();
  w.UDPTimerTimer();
  EXPECT_TRUE(errors.empty());
  EXPECT_TRUE(Line(ui->EthLstBox, 0).contains(QStringLiteral("Niedostępny")));
  EXPECT_TRUE(ui->DoorTc->isEnabled());
  EXPECT_EQ(ui->DoorTc->count(), 3);
  EXPECT_EQ(ui->RygielCb->itemData(0).toInt(), Ref(1, 0));
  EXPECT_EQ(ui->AlarmCb->itemData(0).toInt(), Ref(0, 1));
}

// A newly chosen device that does not answer must never have the previous controller's
// configuration shown, compared with its list or written as its own.
TEST_F(WindowTest, SilentNewlyChosenDeviceNeverInheritsTheShownConfiguration) {
  AddScenario(lan, DemoScenario());
  TMainWin& w = Start();
  ASSERT_EQ(ui->DoorTc->count(), 3);
  SimDevice& second = lan.Device(1);
  second.SetSilent(true);
  ChooseDevice(1);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_TRUE(errors[0].contains(Message(ErrCode::kNoAnswer)));
  EXPECT_EQ(Cfg().passageCount, 0);
  EXPECT_EQ(Cfg().listedCount, 0);
  EXPECT_FALSE(ui->DoorTc->isEnabled());
  EXPECT_FALSE(ui->WrCfgBtn->isEnabled());
  EXPECT_EQ(ui->DevListBox->count(), 0);
  Click(ui->WrCfgBtn);
  w.UDPTimerTimer();
  EXPECT_EQ(second.CountRequests('c'), 0u);
  EXPECT_TRUE(lan.Device(0).WrittenPassages().empty());

  // Once it answers again, the poll loads its own configuration.
  second.SetSilent(false);
  errors.clear();
  w.UDPTimerTimer();
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(ui->SelDevBox->title(), QStringLiteral(" K46_01202 "));
  EXPECT_EQ(ui->DoorTc->count(), 1);
}

TEST_F(WindowTest, ErrorBoxOfASilentNewlyChosenDeviceStandsBeforeAnEmptyView) {
  AddScenario(lan, DemoScenario());
  Start();
  ASSERT_GT(ui->DevListBox->count(), 0);
  lan.Device(1).SetSilent(true);
  int panelLinesBehindBox = -1;
  bool editorEnabledBehindBox = true;
  TMainWin::SetErrorHook([&](const QString& text) {
    errors.push_back(text);
    panelLinesBehindBox = ui->DevListBox->count();
    editorEnabledBehindBox = ui->DoorTc->isEnabled();
  });
  ChooseDevice(1);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(panelLinesBehindBox, 0);
  EXPECT_FALSE(editorEnabledBehindBox);
}

TEST_F(WindowTest, ModeSwitchedOnTheDeviceIsPickedUpByTheTick) {
  lan.AddDevice(SmallInstallation(1201, "192.168.1.21", 0));  // Blokada
  TMainWin& w = Start();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_TRUE(errors[0].contains(Message(ErrCode::kModeForbids)));
  EXPECT_EQ(ui->DoorTc->count(), 0);
  lan.Device(0).SetMode(2);
  errors.clear();
  w.UDPTimerTimer();
  EXPECT_TRUE(errors.empty());
  EXPECT_TRUE(Line(ui->EthLstBox, 0).contains(QStringLiteral("Serwis")));
  EXPECT_EQ(ui->DoorTc->count(), 3);
}

TEST_F(WindowTest, InvalidSelectionIsRecoveredBeforeAnyAction) {
  AddScenario(lan, DemoScenario());
  TMainWin& w = Start();
  // As a search that failed after adding devices leaves it: devices, none current.
  WorkerState().devSet.sel = -1;
  Clear(WorkerState().cfg);
  CtrlConfig empty;
  Clear(empty);
  ui->editor->Show(empty, OperatingMode::kBlokada, true);
  w.UDPTimerTimer();
  EXPECT_EQ(Devices().sel, 0);
  EXPECT_EQ(ui->EthLstBox->currentRow(), 0);
  EXPECT_EQ(ui->DoorTc->count(), 3);
  EXPECT_TRUE(errors.empty());
}

TEST_F(WindowTest, SearchAgainKeepsKnownDevicesAndTheCurrentOne) {
  lan.AddDevice(SmallInstallation(1205, "192.168.1.25", 2));
  Start();
  ASSERT_EQ(ui->EthLstBox->count(), 1);
  lan.AddController(1201, "192.168.1.21", 2);  // sorts before the current device
  Click(ui->SearchEthBtn);
  ASSERT_EQ(ui->EthLstBox->count(), 2);
  EXPECT_EQ(Devices().sel, 1);
  EXPECT_EQ(ui->EthLstBox->currentRow(), 1);
  EXPECT_EQ(ui->SelDevBox->title(), QStringLiteral(" K46_01205 "));
  EXPECT_TRUE(errors.empty());
}

class UrlRecorder : public QObject {
  Q_OBJECT
 public:
  std::vector<QUrl> urls;
  Q_INVOKABLE void open(const QUrl& url) { urls.push_back(url); }
};

TEST_F(WindowTest, WwwOpensTheCurrentDevicesPage) {
  AddScenario(lan, DemoScenario());
  Start();
  UrlRecorder recorder;
  QDesktopServices::setUrlHandler(QStringLiteral("http"), &recorder, "open");
  ChooseDevice(1);
  Click(ui->WwwBtn);
  QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
  ASSERT_EQ(recorder.urls.size(), 1u);
  EXPECT_EQ(recorder.urls[0].toString(), QStringLiteral("http://192.168.1.22"));
}

// A socket that cannot be opened (the port held by another program) is one box at start; the
// failing ticks after it add none, as the user has been told, and use up the box of their run:
// a failure of another cause at the next tick stays silent too. The window recovers once the
// port is free. (ErrorFrameTest shows a tick that reaches its end arming the box again.)
TEST_F(WindowTest, EndpointFailureIsOneBoxPerRunAndRecovers) {
  AddScenario(lan, DemoScenario());
  int openError = EADDRINUSE;
  win = std::make_unique<TMainWin>([&]() -> std::unique_ptr<Endpoint> {
    if (openError)
      throw std::system_error(openError, std::generic_category(), "bind 0.0.0.0:45389");
    return std::make_unique<EndpointRef>(lan);
  }, TMainWin::CommMode::kInline);
  ui.emplace(*win);
  ui->UDPTimer->stop();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_TRUE(errors[0].contains(QStringLiteral("45389")));
  EXPECT_EQ(ui->EthLstBox->count(), 0);
  for (int i = 0; i < 3; ++i) win->UDPTimerTimer();
  EXPECT_EQ(errors.size(), 1u);
  openError = EMFILE;  // no lasting cause: only the run's used-up box keeps it silent
  win->UDPTimerTimer();
  EXPECT_EQ(errors.size(), 1u);

  openError = 0;
  Click(ui->SearchEthBtn);
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_EQ(ui->DoorTc->count(), 3);
  win->UDPTimerTimer();
  EXPECT_EQ(errors.size(), 1u);
}

// Ticks that fail while another box is open show nothing; they must not use up the one box
// their run of failures is owed once that box has been closed. (A failure of no lasting cause:
// a lasting one the user has been told of stays silent in any case.)
TEST_F(WindowTest, SocketFailureSeenOnlyInsideAnOpenBoxIsShownAfterIt) {
  win = std::make_unique<TMainWin>([]() -> std::unique_ptr<Endpoint> {
    throw std::system_error(EMFILE, std::generic_category(), "UDP socket for 0.0.0.0:45389");
  }, TMainWin::CommMode::kInline);
  ui.emplace(*win);
  ui->UDPTimer->stop();
  ASSERT_EQ(errors.size(), 1u);
  TMainWin::SetErrorHook([&](const QString& text) {
    errors.push_back(text);
    for (int i = 0; i < 3; ++i) win->UDPTimerTimer();  // the timer fires while this box is open
  });
  Click(ui->SearchEthBtn);
  ASSERT_EQ(errors.size(), 2u);
  TMainWin::SetErrorHook([&](const QString& text) { errors.push_back(text); });
  win->UDPTimerTimer();
  EXPECT_EQ(errors.size(), 3u);
  win->UDPTimerTimer();
  EXPECT_EQ(errors.size(), 3u);
}

// A tick runs inside an open box's modal loop; its failure must not stack another box on it.
// The same failure at later ticks stays silent until the device has had a tick without it.
TEST_F(WindowTest, TickInsideAnOpenErrorBoxAddsNoSecondBox) {
  AddScenario(lan, DemoScenario());
  TMainWin& w = Start();
  ASSERT_EQ(ui->DoorTc->count(), 3);
  SimFaults faults;
  faults.corruptSignature = 1;
  lan.Device(0).SetFaults(faults);
  int nested = 0;
  TMainWin::SetErrorHook([&](const QString& text) {
    errors.push_back(text);
    if (nested++ == 0) w.UDPTimerTimer();  // the timer fires while this box is open
  });
  w.UDPTimerTimer();
  EXPECT_EQ(errors.size(), 1u);
  w.UDPTimerTimer();  // the same failure once the box has closed: already shown
  EXPECT_EQ(errors.size(), 1u);
  lan.Device(0).SetFaults(SimFaults{});
  w.UDPTimerTimer();  // a tick without failure
  lan.Device(0).SetFaults(faults);
  w.UDPTimerTimer();
  EXPECT_EQ(errors.size(), 2u);
}

// Another controller whose session keeps failing is visited every fifth tick: one box, not
// one per visit, until a visit succeeds; then a new failure is news again.
TEST_F(WindowTest, FailingKeepAliveIsOneBoxUntilTheDeviceRecovers) {
  AddScenario(lan, DemoScenario());
  TMainWin& w = Start();
  ChooseDevice(1);
  ChooseDevice(0);
  ASSERT_TRUE(errors.empty());
  SimFaults faults;
  faults.corruptSignature = 1;
  lan.Device(1).SetFaults(faults);
  for (int i = 0; i < 10; ++i) w.UDPTimerTimer();
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_TRUE(ui->DoorTc->isEnabled());
  lan.Device(1).SetFaults(SimFaults{});
  for (int i = 0; i < 5; ++i) w.UDPTimerTimer();
  EXPECT_EQ(errors.size(), 1u);
  lan.Device(1).SetFaults(faults);
  for (int i = 0; i < 10; ++i) w.UDPTimerTimer();
  EXPECT_EQ(errors.size(), 2u);
}

TEST_F(WindowTest, ShutdownClosesHeldSessionsAndCompletesWhenACloseFails) {
  AddScenario(lan, DemoScenario());
  Start();
  ChooseDevice(1);
  ChooseDevice(0);
  ASSERT_TRUE(lan.Device(0).HoldsOwnSession());
  ASSERT_TRUE(lan.Device(1).HoldsOwnSession());
  lan.Device(1).SetSilent(true);  // its close gets no answer
  win.reset();
  EXPECT_FALSE(lan.Device(0).HoldsOwnSession());
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace orvu::test

#include "ethernet_list_test.moc"
