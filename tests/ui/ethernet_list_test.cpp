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
  EXPECT_EQ(w.windowTitle(), QStringLiteral("orvuQ46 Tmp 0.0.1"));
  EXPECT_EQ(w.size(), QSize(847, 590));
  EXPECT_EQ(w.EthLstBox->count(), 0);
  EXPECT_FALSE(w.WwwBtn->isEnabled());
  EXPECT_TRUE(w.SelDevBox->title().isEmpty());
  EXPECT_EQ(w.DevListBox->count(), 0);
  EXPECT_EQ(w.DoorTc->count(), 0);
  EXPECT_EQ(w.SluzaCb->count(), 0);
  EXPECT_FALSE(w.DoorTc->isEnabled());
  EXPECT_FALSE(w.WrCfgBtn->isEnabled());
  EXPECT_FALSE(w.RapCfgBtn->isEnabled());
  EXPECT_TRUE(errors.empty());
  w.UDPTimerTimer();
  w.WwwBtnClick();
  EXPECT_TRUE(errors.empty());
}

TEST_F(WindowTest, LoadsTheFirstControllerWithoutAClick) {
  AddScenario(lan, DemoScenario());
  TMainWin& w = Start();
  EXPECT_TRUE(errors.empty());
  ASSERT_GE(w.EthLstBox->count(), 3);
  EXPECT_EQ(w.EthLstBox->currentRow(), 0);
  EXPECT_TRUE(Line(w.EthLstBox, 0).contains(QStringLiteral("192.168.1.21")));
  EXPECT_TRUE(Line(w.EthLstBox, 0).contains(QStringLiteral("Serwis")));
  EXPECT_EQ(w.SelDevBox->title(), QStringLiteral(" K46_01201 "));
  EXPECT_EQ(w.DevListBox->count(), 8);
  EXPECT_EQ(w.DoorTc->count(), 3);
  EXPECT_EQ(w.DoorTc->tabText(2), QStringLiteral("3"));
  EXPECT_TRUE(w.DoorTc->isEnabled());
  EXPECT_TRUE(w.WrCfgBtn->isEnabled());
  // Three passages give one airlock.
  ASSERT_EQ(w.SluzaCb->count(), 2);
  EXPECT_EQ(w.SluzaCb->itemText(0), QStringLiteral("  -----"));
  EXPECT_EQ(w.SluzaCb->itemText(1), QStringLiteral("Śluza 1"));
  // In Serwis the test group stays disabled although the editor is enabled.
  EXPECT_FALSE(w.TstGrpBox->isEnabled());
  EXPECT_EQ(w.RygielCb->itemData(0).toInt(), Ref(1, 0));
}

TEST_F(WindowTest, LateAnswerIsMergedByTheTickAndLoadedWithoutAClick) {
  SimDeviceConfig late = SmallInstallation(1201, "192.168.1.21", 2);
  late.faults.delayReply = 1;
  late.faults.delayMs = 2000;  // every answer to the first search comes after it ended
  SimDevice& device = lan.AddDevice(late);
  TMainWin& w = Start();
  ASSERT_EQ(w.EthLstBox->count(), 0);
  device.SetFaults(SimFaults{});
  clock.Advance(3000);
  w.UDPTimerTimer();
  EXPECT_TRUE(errors.empty());
  ASSERT_EQ(w.EthLstBox->count(), 1);
  EXPECT_EQ(w.EthLstBox->currentRow(), 0);
  EXPECT_EQ(w.DoorTc->count(), 3);
}

TEST_F(WindowTest, ChoosingControllersByMode) {
  AddScenario(lan, DemoScenario());
  lan.AddController(1210, "192.168.1.40", 1);  // Konfiguracja
  SimDevice& foreign = lan.AddController(1211, "192.168.1.41", 2);
  foreign.SetForeignSession(SimForeignSession::kHeld);
  TMainWin& w = Start();
  ASSERT_EQ(w.EthLstBox->count(), 5);

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
    EXPECT_EQ(w.DevSet.sel, c.row);
    if (!c.error) {
      EXPECT_TRUE(errors.empty());
    } else {
      ASSERT_EQ(errors.size(), 1u);
      EXPECT_TRUE(errors[0].contains(Message(*c.error))) << errors[0].toStdString();
    }
    EXPECT_EQ(w.Cfg.passageCount, c.passages);
    EXPECT_EQ(w.DoorTc->count(), c.passages);
    EXPECT_EQ(w.DoorTc->isEnabled(), c.passages > 0);
    EXPECT_EQ(w.WrCfgBtn->isEnabled(), c.passages > 0);
  }
  EXPECT_TRUE(w.TstGrpBox->isEnabled() == false);
  ChooseDevice(1);
  EXPECT_TRUE(w.TstGrpBox->isEnabled());  // Instalacja opens the test parameters
  EXPECT_TRUE(w.RygTimEd->isEnabled());
}

// A click or a keyboard move chooses a device exactly once; a click on the current line reads
// it again.
TEST_F(WindowTest, ClickAndKeyboardChooseOnce) {
  AddScenario(lan, DemoScenario());
  TMainWin& w = Start();
  w.show();
  auto click = [&](int row) {
    QRect line = w.EthLstBox->visualItemRect(w.EthLstBox->item(row));
    QTest::mouseClick(w.EthLstBox->viewport(), Qt::LeftButton, {}, line.center());
  };
  click(2);  // Blokada
  EXPECT_EQ(w.DevSet.sel, 2);
  EXPECT_EQ(errors.size(), 1u);
  errors.clear();
  QTest::keyClick(w.EthLstBox, Qt::Key_Up);  // Instalacja
  EXPECT_EQ(w.DevSet.sel, 1);
  EXPECT_EQ(w.DoorTc->count(), 1);
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
  ASSERT_TRUE(Choose(w.AlarmCb, Ref(0, 1)));
  const size_t reads = lan.Device(0).CountRequests('C');
  QRect line = w.EthLstBox->visualItemRect(w.EthLstBox->item(0));
  QTest::mouseClick(w.EthLstBox->viewport(), Qt::LeftButton, Qt::ControlModifier, line.center());
  ASSERT_TRUE(w.EthLstBox->selectedItems().isEmpty());
  EXPECT_EQ(lan.Device(0).CountRequests('C'), reads);
  EXPECT_EQ(w.Cfg.outRefs[0][kSlotAlarm], Ref(0, 1));
  EXPECT_TRUE(errors.empty());
}

TEST_F(WindowTest, SilentControllerKeepsItsEditorAndShowsNoBox) {
  AddScenario(lan, DemoScenario());
  TMainWin& w = Start();
  ASSERT_EQ(w.DoorTc->count(), 3);
  ASSERT_TRUE(Choose(w.AlarmCb, Ref(0, 1)));  // an edit that must survive
  lan.Device(0).SetSilent(true);
  w.UDPTimerTimer();
  w.UDPTimerTimer();
  EXPECT_TRUE(errors.empty());
  EXPECT_TRUE(Line(w.EthLstBox, 0).contains(QStringLiteral("Niedostępny")));
  EXPECT_TRUE(w.DoorTc->isEnabled());
  EXPECT_EQ(w.DoorTc->count(), 3);
  EXPECT_EQ(w.RygielCb->itemData(0).toInt(), Ref(1, 0));
  EXPECT_EQ(w.AlarmCb->itemData(0).toInt(), Ref(0, 1));
}

// A newly chosen device that does not answer must never have the previous controller's
// configuration shown, compared with its list or written as its own.
TEST_F(WindowTest, SilentNewlyChosenDeviceNeverInheritsTheShownConfiguration) {
  AddScenario(lan, DemoScenario());
  TMainWin& w = Start();
  ASSERT_EQ(w.DoorTc->count(), 3);
  SimDevice& second = lan.Device(1);
  second.SetSilent(true);
  ChooseDevice(1);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_TRUE(errors[0].contains(Message(ErrCode::kNoAnswer)));
  EXPECT_EQ(w.Cfg.passageCount, 0);
  EXPECT_EQ(w.Cfg.listedCount, 0);
  EXPECT_FALSE(w.DoorTc->isEnabled());
  EXPECT_FALSE(w.WrCfgBtn->isEnabled());
  EXPECT_EQ(w.DevListBox->count(), 0);
  w.WrCfgBtnClick();
  w.UDPTimerTimer();
  EXPECT_EQ(second.CountRequests('c'), 0u);
  EXPECT_TRUE(lan.Device(0).WrittenPassages().empty());

  // Once it answers again, the poll loads its own configuration.
  second.SetSilent(false);
  errors.clear();
  w.UDPTimerTimer();
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(w.SelDevBox->title(), QStringLiteral(" K46_01202 "));
  EXPECT_EQ(w.DoorTc->count(), 1);
}

TEST_F(WindowTest, ErrorBoxOfASilentNewlyChosenDeviceStandsBeforeAnEmptyView) {
  AddScenario(lan, DemoScenario());
  TMainWin& w = Start();
  ASSERT_GT(w.DevListBox->count(), 0);
  lan.Device(1).SetSilent(true);
  int panelLinesBehindBox = -1;
  bool editorEnabledBehindBox = true;
  TMainWin::SetErrorHook([&](const QString& text) {
    errors.push_back(text);
    panelLinesBehindBox = w.DevListBox->count();
    editorEnabledBehindBox = w.DoorTc->isEnabled();
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
  EXPECT_EQ(w.DoorTc->count(), 0);
  lan.Device(0).SetMode(2);
  errors.clear();
  w.UDPTimerTimer();
  EXPECT_TRUE(errors.empty());
  EXPECT_TRUE(Line(w.EthLstBox, 0).contains(QStringLiteral("Serwis")));
  EXPECT_EQ(w.DoorTc->count(), 3);
}

TEST_F(WindowTest, InvalidSelectionIsRecoveredBeforeAnyAction) {
  AddScenario(lan, DemoScenario());
  TMainWin& w = Start();
  // As a search that failed after adding devices leaves it: devices, none current.
  w.InlineCommState().devSet.sel = -1;
  Clear(w.InlineCommState().cfg);
  Clear(w.Cfg);
  w.RefreshPassage();
  w.UDPTimerTimer();
  EXPECT_EQ(w.DevSet.sel, 0);
  EXPECT_EQ(w.EthLstBox->currentRow(), 0);
  EXPECT_EQ(w.DoorTc->count(), 3);
  EXPECT_TRUE(errors.empty());
}

TEST_F(WindowTest, SearchAgainKeepsKnownDevicesAndTheCurrentOne) {
  lan.AddDevice(SmallInstallation(1205, "192.168.1.25", 2));
  TMainWin& w = Start();
  ASSERT_EQ(w.EthLstBox->count(), 1);
  lan.AddController(1201, "192.168.1.21", 2);  // sorts before the current device
  w.SearchEthBtnClick();
  ASSERT_EQ(w.EthLstBox->count(), 2);
  EXPECT_EQ(w.DevSet.sel, 1);
  EXPECT_EQ(w.EthLstBox->currentRow(), 1);
  EXPECT_EQ(w.SelDevBox->title(), QStringLiteral(" K46_01205 "));
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
  TMainWin& w = Start();
  UrlRecorder recorder;
  QDesktopServices::setUrlHandler(QStringLiteral("http"), &recorder, "open");
  ChooseDevice(1);
  w.WwwBtnClick();
  QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
  ASSERT_EQ(recorder.urls.size(), 1u);
  EXPECT_EQ(recorder.urls[0].toString(), QStringLiteral("http://192.168.1.22"));
}

// A socket that cannot be opened (the port held by another program) is one box at start and
// one box for a run of failing ticks; the window recovers once the port is free.
TEST_F(WindowTest, EndpointFailureIsOneBoxPerRunAndRecovers) {
  AddScenario(lan, DemoScenario());
  bool portTaken = true;
  win = std::make_unique<TMainWin>([&]() -> std::unique_ptr<Endpoint> {
    if (portTaken)
      throw std::system_error(EADDRINUSE, std::generic_category(), "bind 0.0.0.0:45389");
    return std::make_unique<EndpointRef>(lan);
  }, TMainWin::CommMode::kInline);
  win->UDPTimer->stop();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_TRUE(errors[0].contains(QStringLiteral("45389")));
  EXPECT_EQ(win->EthLstBox->count(), 0);
  for (int i = 0; i < 3; ++i) win->UDPTimerTimer();
  EXPECT_EQ(errors.size(), 2u);
  EXPECT_FALSE(win->ErrBoxArmed);

  portTaken = false;
  win->SearchEthBtnClick();
  EXPECT_EQ(errors.size(), 2u);
  EXPECT_EQ(win->DoorTc->count(), 3);
  win->UDPTimerTimer();
  EXPECT_TRUE(win->ErrBoxArmed);
}

// Ticks that fail while another box is open show nothing; they must not use up the one box
// their run of failures is owed once that box has been closed.
TEST_F(WindowTest, SocketFailureSeenOnlyInsideAnOpenBoxIsShownAfterIt) {
  win = std::make_unique<TMainWin>([]() -> std::unique_ptr<Endpoint> {
    throw std::system_error(EADDRINUSE, std::generic_category(), "bind 0.0.0.0:45389");
  }, TMainWin::CommMode::kInline);
  win->UDPTimer->stop();
  ASSERT_EQ(errors.size(), 1u);
  TMainWin::SetErrorHook([&](const QString& text) {
    errors.push_back(text);
    for (int i = 0; i < 3; ++i) win->UDPTimerTimer();  // the timer fires while this box is open
  });
  win->SearchEthBtnClick();
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
  ASSERT_EQ(w.DoorTc->count(), 3);
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
  EXPECT_TRUE(w.DoorTc->isEnabled());
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
