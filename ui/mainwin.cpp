// The main window's frame and its Ethernet group: start-up, the list of network devices, the
// choice of the current controller, the poll tick, the error frame and shutdown.
#include "ui/mainwin.h"

#include <QDesktopServices>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTimer>
#include <QUrl>
#include <exception>

#include "commands/commands.h"
#include "comm/identity.h"
#include "ui/controls.h"
#include "ui/eth_list_box.h"
#include "ui/fonts.h"
#include "ui/qtext.h"
#include "ui/report_action.h"
#include "ui/whelp.h"

using namespace orvu;

namespace {

TMainWin::ErrorHook& ErrorHookSlot() {
  static TMainWin::ErrorHook hook;
  return hook;
}

// Restores a counter however the scope is left (errors travel through these frames).
class DepthGuard {
 public:
  explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
  ~DepthGuard() { --depth_; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;

 private:
  int& depth_;
};

constexpr int kTickMs = 1000;
constexpr int kListItemHeight = 14;

}  // namespace

TMainWin::EndpointRegistration::~EndpointRegistration() { SetEndpoint(nullptr); }

TMainWin::TMainWin(EndpointFactory makeEndpoint, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      makeEndpoint_(std::move(makeEndpoint)) {
  setObjectName(QStringLiteral("MainWin"));
  setWindowTitle(QStringLiteral("orvuQ46 Tmp 0.0.1"));
  setFont(ArialFont());
  setFixedSize(847, 590);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }

  Clear(Cfg);
  freeIo_.resize(kMaxFreeIo);
  scratch_.reserve(kMaxFreeIo + kMaxPassages + 2);

  BuildEthernetGroup();
  BuildDevPanel();
  BuildPassageGroup();  // built in tab order: Ethernet, device panel, passages

  UDPTimer = new QTimer(this);
  UDPTimer->setObjectName(QStringLiteral("UDPTimer"));
  UDPTimer->setInterval(kTickMs);
  connect(UDPTimer, &QTimer::timeout, this, &TMainWin::UDPTimerTimer);
  UDPTimer->start();

  FormCreate();
}

TMainWin::~TMainWin() {
  UDPTimer->stop();
  // Every held session is closed before the endpoint goes; a close that fails is swallowed
  // (the controller ends an idle session by itself), so shutdown always completes.
  DevSet.CloseAll();
}

void TMainWin::SetAuxWindows(THelpWin* helpWin, TLokalizDlg* lokalizDlg) {
  HelpWin = helpWin;
  LokalizDlg = lokalizDlg;
}

void TMainWin::SetErrorHook(ErrorHook hook) { ErrorHookSlot() = std::move(hook); }

void TMainWin::BuildEthernetGroup() {
  SelBox = Group("SelBox", QStringLiteral(" Ethernet "), this, 16, 8, 281, 209);
  Label18 = Label("Label18", QStringLiteral("Urządzenie       Adres IP          Stan"), SelBox, 28, 20);
  auto* ethList = new EthListBox(SelBox);
  ethList->onChoose = [this] { EthLstBoxClick(); };
  EthLstBox = LineList(ethList, "EthLstBox", 24, 40, 233, 113, kListItemHeight);
  HelpEthBtn = Button("HelpEthBtn", QStringLiteral("Pomoc"), SelBox, 24, 168, 57, 25);
  WwwBtn = Button("WwwBtn", QStringLiteral("www"), SelBox, 88, 168, 57, 25);
  SearchEthBtn = Button("SearchEthBtn", QStringLiteral("Przeszukaj sieć"), SelBox, 152, 168, 105, 25);

  setTabOrder(EthLstBox, HelpEthBtn);
  setTabOrder(HelpEthBtn, SearchEthBtn);
  setTabOrder(SearchEthBtn, WwwBtn);

  connect(HelpEthBtn, &QPushButton::clicked, this, [this] { HelpEthBtnClick(); });
  connect(WwwBtn, &QPushButton::clicked, this, [this] { WwwBtnClick(); });
  connect(SearchEthBtn, &QPushButton::clicked, this, [this] { SearchEthBtnClick(); });
}

// --- Error frame ---

void TMainWin::ErrorFrame(const std::function<void()>& work) {
  try {
    EnsureEndpoint();
    work();
  } catch (const UErr& err) {
    ShowError(QtText(ErrText(err)));
  } catch (const std::exception& err) {
    ShowError(QtText(err.what()));
  }
}

bool TMainWin::ErrorBoxWouldNest() const {
  // A tick runs inside any open box's modal loop. Were its failures stacked as further boxes,
  // a device failing every fifth tick would nest modal loops without end while nobody is at
  // the desk; the box already open tells the user, and the failure recurs after it closes.
  return tickDepth_ > 0 && errorBoxesOpen_ > 0;
}

void TMainWin::ShowError(const QString& text) {
  if (ErrorBoxWouldNest()) return;
  DepthGuard open(errorBoxesOpen_);
  if (ErrorHookSlot()) {
    ErrorHookSlot()(text);
    return;
  }
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Ok, this);
  box.exec();
}

void TMainWin::EnsureEndpoint() {
  if (UDP) return;
  UDP = makeEndpoint_();
  SetEndpoint(UDP.get());
}

UdpDev* TMainWin::CurrentDevice() {
  // A search that failed after adding devices leaves no device current; the list refresh
  // selects item 0 then, rather than letting an action use the stale index.
  if (!DevSet.Current() && DevSet.count > 0) RefreshEthList();
  return DevSet.Current();
}

void TMainWin::CollectAndRefresh() {
  if (DevSet.Collect(0)) RefreshEthList();
}

// --- Start-up and the Ethernet list ---

void TMainWin::FormCreate() {
  ErrorFrame([this] {
    DevSet.Search();
    RefreshEthList();
  });
}

void TMainWin::RefreshEthList() {
  QSignalBlocker blockList(EthLstBox);
  EthLstBox->clear();
  WwwBtn->setEnabled(DevSet.count > 0);
  if (DevSet.count == 0) {
    RefreshPassage();
    return;
  }
  QStringList lines;
  lines.reserve(DevSet.count);
  for (int i = 0; i < DevSet.count; ++i) lines << QtText(DevSet.dev[i].ListText());
  EthLstBox->addItems(lines);

  if (UdpDev* current = DevSet.Current()) {
    EthLstBox->setCurrentRow(DevSet.sel);
    blockList.unblock();
    if (!(current->mode & kModeReadable) || current->HasForeignSession() || EditorEnabled()) {
      RefreshPassage();
      return;
    }
    SelectController();
    return;
  }
  EthLstBox->setCurrentRow(0);
  blockList.unblock();
  SelectController();
}

void TMainWin::EthLstBoxClick() { SelectController(); }

void TMainWin::SelectController() {
  // The selected line, not merely the current one: a Ctrl-click can leave the current line
  // unselected, and then nothing is chosen.
  const QList<QListWidgetItem*> selected = EthLstBox->selectedItems();
  if (selected.isEmpty()) return;
  const int i = EthLstBox->row(selected.first());
  if (i < 0) return;
  if (i < DevSet.count) DevSet.sel = i;
  UdpDev* dev = DevSet.Current();
  if (!dev) return;
  // Emptied before the query: should the newly chosen device not answer, the previous
  // controller's configuration must never be shown, compared or written as its own. The view
  // follows at once, so nothing of it stays on screen behind the error box either.
  Clear(Cfg);
  ConfigReplaced();
  RebuildTabs();
  ErrorFrame([&] {
    if (!dev->Status()) throw UErr(*dev, ErrCode::kNoAnswer, 0);
    if (QListWidgetItem* item = EthLstBox->item(DevSet.sel)) item->setText(QtText(dev->ListText()));
    if (IsController(dev->id)) {
      if (!(dev->mode & kModeReadable)) throw UErr(*dev, ErrCode::kModeForbids, 0);
      ReadCfg(*dev, Cfg);
      ConfigReplaced();
    }
  });
  RebuildTabs();
}

void TMainWin::SearchEthBtnClick() {
  ErrorFrame([this] {
    DevSet.Search();
    RefreshEthList();
  });
}

void TMainWin::WwwBtnClick() {
  if (DevSet.count == 0) return;
  ErrorFrame([this] {
    if (UdpDev* dev = CurrentDevice())
      QDesktopServices::openUrl(QUrl(QStringLiteral("http://") + QtText(dev->IpText())));
  });
}

void TMainWin::ShowHelp(int page) {
  if (!HelpWin) return;
  HelpWin->SetPage(page);
  HelpWin->exec();
}

void TMainWin::HelpEthBtnClick() { ShowHelp(0); }
void TMainWin::HelpDevBtnClick() { ShowHelp(1); }
void TMainWin::HelpDoorBtnClick() { ShowHelp(2); }

void TMainWin::RapCfgBtnClick() {
  if (!LokalizDlg) return;
  RunReportAction(this, *LokalizDlg, SaveRapDlg, Cfg, DevSet,
                  [this](const QString& text) { ShowError(text); });
}

// --- Poll tick ---

void TMainWin::UDPTimerTimer() {
  DepthGuard ticking(tickDepth_);
  try {
    RunTick();
  } catch (const UErr& err) {
    ShowError(QtText(ErrText(err)));
  } catch (const std::exception& err) {
    // One box for a run of such failures (a lost socket fails every tick); a tick that
    // reaches its end arms the next. A failure that no box can show yet leaves the box owed.
    if (ErrBoxArmed && !ErrorBoxWouldNest()) {
      ErrBoxArmed = false;
      ShowError(QtText(err.what()));
    }
  }
}

void TMainWin::RunTick() {
  EnsureEndpoint();
  if (DevSet.Collect(0)) RefreshEthList();
  if (DevSet.count == 0) return;
  UdpDev* dev = CurrentDevice();
  if (!dev) return;
  bool answered = dev->Status();
  if (dev->changed) RefreshEthList();
  dev = DevSet.Current();
  if (dev && answered && IsController(dev->id) && CheckDevList(*dev, Cfg)) {
    if (Cfg.passageCount == 0) {
      ReadCfg(*dev, Cfg);
      ConfigReplaced();
      RebuildTabs();
    } else {
      RefreshDevPanel();
    }
  }
  keepAlive_.Tick(DevSet);
  ErrBoxArmed = true;
}

// --- Actions on the current controller ---

void TMainWin::DelLostBtnClick() {
  ErrorFrame([this] {
    CollectAndRefresh();
    UDPTimerTimer();  // shows its own failures; the deletion goes on in any case
    UdpDev* dev = CurrentDevice();
    if (!dev) return;
    DelLost(*dev);
    ReadCfg(*dev, Cfg);
    ConfigReplaced();
    RefreshDevPanel();
  });
}

void TMainWin::WrCfgBtnClick() {
  CommitPendingEdits();
  ErrorFrame([this] {
    CollectAndRefresh();
    UdpDev* dev = CurrentDevice();
    // An empty model (nothing read, or a refused payload) is never written over a
    // controller's passages.
    if (!dev || Cfg.passageCount == 0) return;
    WriteCfg(*dev, Cfg);
  });
}
