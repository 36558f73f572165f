// The window's boxes for failures that are not UErr: each cause in the window's own Polish
// words, shown once while it lasts, with the system's words on the details line only.
//   ORVU_ERROR_SHOTS=docs ui_tests --gtest_filter='*ErrorBoxes*'   also saves pictures of them
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <functional>
#include <new>
#include <stdexcept>

#include "comm/failure_cause.h"
#include "comm/posix_udp.h"
#include "sim/udp_server.h"
#include "tests/comm/net_namespace.h"
#include "tests/sim/tool_endpoint.h"
#include "tests/ui/known_texts.h"
#include "tests/ui/window_fixture.h"
#include "ui/error_texts.h"
#include "ui/lokdlg.h"
#include "ui/whelp.h"

namespace orvu::test {
namespace {

// Another program's socket on a loopback UDP port, bound without address reuse.
class PortHolder {
 public:
  PortHolder() {
    fd_ = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof local;
    if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &len) != 0)
      throw std::system_error(errno, std::generic_category(), "holding a port");
    port_ = ntohs(local.sin_port);
  }
  ~PortHolder() { Release(); }
  void Release() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }
  uint16_t Port() const { return port_; }

 private:
  int fd_ = -1;
  uint16_t port_ = 0;
};

// The simulated LAN, whose broadcasts the system refuses with error while it is not 0.
class RefusingEndpoint : public EndpointRef {
 public:
  RefusingEndpoint(Endpoint& lan, const int& error) : EndpointRef(lan), error_(error) {}
  void Broadcast(const uint8_t* data, size_t len) override {
    if (error_)
      throw EndpointError(error_, "UDP send to 255.255.255.255:45389", "255.255.255.255", kUdpPort);
    EndpointRef::Broadcast(data, len);
  }

 private:
  const int& error_;
};

QString FirstLine(const QString& box) { return box.section(QLatin1Char('\n'), 0, 0); }

QString Happened(FailureCause cause, uint16_t port) {
  QString text = CommWords(cause).happened;
  return text.contains(QLatin1String("%1")) ? text.arg(port) : text;
}

QString SystemWords(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Closes every real modal message box as the user would, noting what it said and, when
// ORVU_ERROR_SHOTS names a folder, saving a picture of the first one under shotName. The
// first box stays open until mayCloseFirst says so.
class BoxCloser : public QObject {
 public:
  explicit BoxCloser(QString shotName = QString()) : shotName_(std::move(shotName)) {
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, [this] { CloseOpenBox(); });
    timer_.start();
  }
  struct Seen {
    QString title;
    QString text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
  };
  std::vector<Seen> seen;
  std::function<void()> whenFirstOpens;
  std::function<bool()> mayCloseFirst = [] { return true; };

 private:
  void CloseOpenBox() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    if (box != current_) {
      current_ = box;
      seen.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons()});
      if (seen.size() == 1) {
        const QString folder = qEnvironmentVariable("ORVU_ERROR_SHOTS");
        if (!folder.isEmpty() && !shotName_.isEmpty()) {
          EXPECT_TRUE(box->grab().save(QDir(folder).filePath(shotName_))) << shotName_.toStdString();
        }
        if (whenFirstOpens) whenFirstOpens();
      }
    }
    if (seen.size() == 1 && !mayCloseFirst()) return;
    box->button(QMessageBox::Ok)->click();
  }

  QString shotName_;
  QTimer timer_;
  QMessageBox* current_ = nullptr;
};

constexpr int kWaitMs = 10000;  // only a fault waits this long

// A second copy of the tool holds the port: one box at start, none from the ticks after it,
// and once the port is free the window opens its socket and makes its first search by itself.
TEST_F(WindowTest, ErrorBoxesHeldPortIsToldOnceThenTheWindowConnectsByItself) {
  SimUdpServer server(clock);
  server.AddDevice(SmallInstallation(1201, "127.0.0.2", 2));
  server.Start();
  PortHolder holder;
  UdpConfig config = ToolEndpointConfig(server);
  config.bindPort = holder.Port();
  win = std::make_unique<TMainWin>([config] { return std::make_unique<PosixUdpEndpoint>(config); },
                                   TMainWin::CommMode::kInline);
  ui.emplace(*win);
  ui->UDPTimer->stop();

  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(FirstLine(errors[0]), Happened(FailureCause::kPortHeld, holder.Port()));
  EXPECT_TRUE(MadeOfKnownTexts(errors[0], SystemWords(EADDRINUSE)));
  EXPECT_TRUE(errors[0].endsWith(QStringLiteral("127.0.0.1:%1: Address already in use").arg(holder.Port())))
      << errors[0].toStdString();
  for (int i = 0; i < 5; ++i) win->UDPTimerTimer();
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_EQ(ui->EthLstBox->count(), 0);

  holder.Release();
  win->UDPTimerTimer();
  EXPECT_EQ(errors.size(), 1u);
  ASSERT_EQ(ui->EthLstBox->count(), 1);
  EXPECT_TRUE(Line(ui->EthLstBox, 0).contains(QStringLiteral("K46_01201")));
  EXPECT_GT(ui->DevListBox->count(), 0);  // the controller was loaded, as at start-up
}

// No interface to search on (a namespace of the test's own with no network at all, or an
// endpoint whose broadcasts the system refuses): one box at start while it lasts; a click
// on "Przeszukaj sieć" is always answered.
TEST_F(WindowTest, ErrorBoxesNoNetworkAndARefusedBroadcastAreToldOnceWhileTheyLast) {
  const struct {
    const char* name;
    bool realNamespace;
    int error;
    FailureCause cause;
  } cases[] = {
      {"a computer without network", true, ENETUNREACH, FailureCause::kNoNetwork},
      {"sends refused: no route", false, ENETUNREACH, FailureCause::kNoNetwork},
      {"sends refused: a firewall rule", false, EPERM, FailureCause::kBroadcastRefused},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    errors.clear();
    int refusal = c.error;
    TMainWin::EndpointFactory make;
    if (c.realNamespace) {
      int refused = 0;
      auto endpoint = MadeWithoutNetwork(
          [] {
            UdpConfig config;
            config.bindPort = 0;
            return std::make_shared<std::unique_ptr<Endpoint>>(std::make_unique<PosixUdpEndpoint>(config));
          },
          &refused);
      if (!endpoint) {
        std::cout << "[ NOTE     ] not run, no network namespace: " << std::strerror(refused) << '\n';
        continue;
      }
      make = [endpoint = *endpoint] { return std::move(*endpoint); };
    } else {
      AddScenario(lan, DemoScenario());
      make = [this, &refusal] { return std::make_unique<RefusingEndpoint>(lan, refusal); };
    }
    win = std::make_unique<TMainWin>(make, TMainWin::CommMode::kInline);
    ui.emplace(*win);
    ui->UDPTimer->stop();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(FirstLine(errors[0]), Happened(c.cause, kUdpPort));
    EXPECT_TRUE(MadeOfKnownTexts(errors[0], SystemWords(c.error)));
    for (int i = 0; i < 3; ++i) win->UDPTimerTimer();
    EXPECT_EQ(errors.size(), 1u);
    Click(ui->SearchEthBtn);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[1], errors[0]);

    if (!c.realNamespace) {  // the network comes back
      refusal = 0;
      Click(ui->SearchEthBtn);
      EXPECT_EQ(errors.size(), 2u);
      EXPECT_EQ(ui->EthLstBox->count(), 3);
    }
    win.reset();
  }
}

// A failure of no known cause is still told in the window's words, what it was standing on the
// details line only; one of a run of ticks is shown, as before.
TEST_F(WindowTest, ErrorBoxesAFailureOfNoKnownCauseIsToldInTheWindowsWords) {
  const struct {
    const char* name;
    std::function<void()> fail;
    QString systemWords;
  } cases[] = {
      {"no socket left",
       [] { throw EndpointError(EMFILE, "UDP socket for 0.0.0.0:45389", "0.0.0.0", kUdpPort); },
       QStringLiteral("UDP socket for 0.0.0.0:45389: Too many open files")},
      {"a fault of the program", [] { throw std::logic_error("no endpoint registered"); },
       QStringLiteral("no endpoint registered")},
      {"out of memory", [] { throw std::bad_alloc(); }, QStringLiteral("std::bad_alloc")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    errors.clear();
    win = std::make_unique<TMainWin>(
        [&c]() -> std::unique_ptr<Endpoint> {
          c.fail();
          return nullptr;
        },
        TMainWin::CommMode::kInline);
    ui.emplace(*win);
    ui->UDPTimer->stop();
    for (int i = 0; i < 3; ++i) win->UDPTimerTimer();
    ASSERT_EQ(errors.size(), 2u);  // start-up's box, and one for the run of ticks
    for (const QString& box : errors) {
      EXPECT_EQ(FirstLine(box), CommWords(FailureCause::kOther).happened);
      EXPECT_TRUE(MadeOfKnownTexts(box, c.systemWords));
    }
    win.reset();
  }
}

// "Zapisz" for a controller that stopped being the current one before the write could start:
// the window's own words, and nothing is written.
TEST_F(WindowTest, ErrorBoxesControllerChangedBeforeTheWriteIsTheWindowsOwnMessage) {
  AddScenario(lan, DemoScenario());
  Start();
  ASSERT_TRUE(ui->WrCfgBtn->isEnabled());
  ASSERT_GE(WorkerState().devSet.count, 2);
  WorkerState().devSet.sel = 1;  // the worker has moved on to another device
  Click(ui->WrCfgBtn);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], ControllerChangedText());
  for (size_t i = 0; i < lan.DeviceCount(); ++i) EXPECT_EQ(lan.Device(i).CountRequests('c'), 0u);
}

// The same held port through the real modal box and the real communication thread, closed by
// the test: caption "Error", the error icon, one OK button; a tick that runs while it is open
// adds no box, nor do ticks after it.
TEST_F(WindowTest, ErrorBoxesHeldPortInTheRealBox) {
  TMainWin::SetErrorHook(nullptr);
  PortHolder holder;
  UdpConfig config;
  config.bindIp = "127.0.0.1";
  config.bindPort = holder.Port();
  config.broadcastTo = {};
  BoxCloser closer(QStringLiteral("error-port-held.png"));
  bool tickedUnderTheBox = false;
  closer.whenFirstOpens = [&] {
    win->UDPTimerTimer();
    tickedUnderTheBox = win->Busy();
  };
  closer.mayCloseFirst = [&] { return !win->Busy(); };
  win = std::make_unique<TMainWin>([config] { return std::make_unique<PosixUdpEndpoint>(config); },
                                   TMainWin::CommMode::kThread);
  ui.emplace(*win);
  ui->UDPTimer->stop();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !closer.seen.empty() && !win->Busy(); }, kWaitMs));
  EXPECT_TRUE(tickedUnderTheBox);
  for (int i = 0; i < 3; ++i) {
    win->UDPTimerTimer();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !win->Busy(); }, kWaitMs));
  }
  QTest::qWait(50);  // a box queued by the last tick would open here

  ASSERT_EQ(closer.seen.size(), 1u);
  const BoxCloser::Seen& box = closer.seen[0];
  EXPECT_EQ(box.title, QStringLiteral("Error"));
  EXPECT_EQ(box.icon, QMessageBox::Critical);
  EXPECT_EQ(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  EXPECT_EQ(FirstLine(box.text), Happened(FailureCause::kPortHeld, holder.Port()));
  EXPECT_TRUE(MadeOfKnownTexts(box.text, SystemWords(EADDRINUSE)));
}

// A report whose folder has gone: the real box names the file, the cause and what to do.
TEST_F(WindowTest, ErrorBoxesReportFailureInTheRealBox) {
  AddScenario(lan, DemoScenario());
  TMainWin& w = Start();
  ASSERT_TRUE(ui->RapCfgBtn->isEnabled());
  ReportRig rig(w);
  TLokalizDlg& lokaliz = rig.lokaliz;
  ASSERT_TRUE(rig.dir.isValid());
  const QString path = rig.Path(QStringLiteral("Budynek A/2024-05-07 K46_01201.txt"));
  w.SaveRapDlg().SetNextAnswer(path);
  QTimer::singleShot(0, &lokaliz, [&lokaliz] { lokaliz.OKBtn->click(); });
  TMainWin::SetErrorHook(nullptr);
  BoxCloser closer(QStringLiteral("error-report.png"));
  ui->RapCfgBtn->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !closer.seen.empty(); }, kWaitMs));
  QTest::qWait(50);

  ASSERT_EQ(closer.seen.size(), 1u);
  const QString& text = closer.seen[0].text;
  EXPECT_EQ(closer.seen[0].title, QStringLiteral("Error"));
  EXPECT_TRUE(text.contains(QStringLiteral("„%1”").arg(path)));
  EXPECT_TRUE(text.contains(FileWords(FailureCause::kFolderMissing).happened));
  EXPECT_TRUE(MadeOfKnownTexts(text, SystemWords(ENOENT)));
  EXPECT_FALSE(QFileInfo::exists(path));
}

}  // namespace
}  // namespace orvu::test
