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
#include <algorithm>
#include <iterator>

#include "ui/after_first_paint.h"
#include "ui/controls.h"
#include "ui/error_texts.h"
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

TMainWin::TMainWin(EndpointFactory makeEndpoint, CommMode commMode, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
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

  worker_ = new CommWorker(std::make_unique<CommState>(std::move(makeEndpoint)), commMode, this);

  UDPTimer = new QTimer(this);
  UDPTimer->setObjectName(QStringLiteral("UDPTimer"));
  UDPTimer->setInterval(kTickMs);
  connect(UDPTimer, &QTimer::timeout, this, &TMainWin::UDPTimerTimer);
  UDPTimer->start();

  FormCreate();
  AfterFirstPaint(this, [this] { PrepareValueListPopups(this); });
}

TMainWin::~TMainWin() {
  UDPTimer->stop();
  // Every held session is closed before the endpoint goes; a close that fails is given up
  // (the controller ends an idle session by itself), so shutdown always completes.
  worker_->Finish([](CommState& state) { state.devSet.CloseAll(); });
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

// --- Jobs on the communication worker ---

void TMainWin::StartJob(JobKind kind, std::function<JobResult(CommState&)> job) {
  ++PendingCount(kind);
  UpdateBusyControls();
  worker_->Start([this, kind, job = std::move(job)](CommState& state) -> CommWorker::Apply {
    return [this, kind, result = job(state)] {
      JobDone(kind);
      Apply(result);
    };
  });
}

int& TMainWin::PendingCount(JobKind kind) { return pending_[static_cast<int>(kind)]; }

bool TMainWin::Pending(JobKind kind) const { return pending_[static_cast<int>(kind)] > 0; }

void TMainWin::JobDone(JobKind kind) {
  --PendingCount(kind);
  UpdateBusyControls();
}

bool TMainWin::Busy() const {
  for (int n : pending_)
    if (n > 0) return true;
  return false;
}

CommState& TMainWin::InlineCommState() { return worker_->InlineState(); }

void TMainWin::UpdateBusyControls() {
  // While a read that replaces the model is pending, neither the editor nor the panel takes
  // edits or clicks that the read would silently discard.
  const bool rereading = Pending(JobKind::kSelect) || Pending(JobKind::kReread);
  SearchEthBtn->setEnabled(!Pending(JobKind::kSearch));
  WwwBtn->setEnabled(DevSet.count > 0 && !Pending(JobKind::kWww));
  SelDevBox->setEnabled(!rereading);
  DoorGrpBox->setEnabled(!rereading);
  WrCfgBtn->setEnabled(EditorEnabled() && !Pending(JobKind::kWrite));
  bool userWork = false;
  for (int kind = 0; kind < static_cast<int>(JobKind::kCount); ++kind)
    userWork |= kind != static_cast<int>(JobKind::kTick) && Pending(static_cast<JobKind>(kind));
  if (userWork) setCursor(Qt::WaitCursor);
  else unsetCursor();
}

void TMainWin::Apply(const JobResult& result) {
  DevSet = result.devices;
  for (const ListChange& change : result.list) ApplyListChange(change);
  // The list shows the current device, unless the user has already chosen another.
  if (!Pending(JobKind::kSelect) && DevSet.Current() &&
      EthLstBox->currentRow() != DevSet.sel && DevSet.sel < EthLstBox->count()) {
    QSignalBlocker quiet(EthLstBox);
    EthLstBox->setCurrentRow(DevSet.sel);
  }

  if (result.cfgChange == JobResult::CfgChange::kReplaced && result.cfg) {
    Cfg = *result.cfg;
    ConfigReplaced();
  } else if (result.cfgChange == JobResult::CfgChange::kDevicePart && result.cfg) {
    // The periodic refresh touches only the device part and the usage derived from the
    // passages: the user's edits survive it.
    TakeDevicePart(Cfg, *result.cfg);
  }
  switch (result.redraw) {
    case JobResult::Redraw::kTabs: RebuildTabs(); break;
    case JobResult::Redraw::kDevPanel: RefreshDevPanel(); break;
    case JobResult::Redraw::kPassage: RefreshPassage(); break;
    case JobResult::Redraw::kNone: break;
  }
  UpdateBusyControls();

  if (result.endpointOpen) lastingFailures_.Gone(FailureCause::kPortHeld);
  if (result.searched) {
    lastingFailures_.Gone(FailureCause::kNoNetwork);
    lastingFailures_.Gone(FailureCause::kBroadcastRefused);
  }
  if (result.tickCompleted) {
    ErrBoxArmed = true;
    for (uint32_t id : result.tickedClean) shownTickFailures_.erase(id);
  }
  for (const Failure& failure : result.failures) ShowFailure(failure);
  if (!result.url.empty()) QDesktopServices::openUrl(QUrl(QtText(result.url)));
}

void TMainWin::ApplyListChange(const ListChange& change) {
  if (!change.rebuild) {
    if (QListWidgetItem* item = EthLstBox->item(change.row)) item->setText(QtText(change.line));
    return;
  }
  QSignalBlocker quiet(EthLstBox);
  EthLstBox->clear();
  QStringList lines;
  lines.reserve(static_cast<qsizetype>(change.lines.size()));
  for (const std::string& line : change.lines) lines << QtText(line);
  EthLstBox->addItems(lines);
  // A choice the user made that the worker has not reached yet stays on the screen.
  const bool choicePending = Pending(JobKind::kSelect);
  const int row = choicePending && chosenRow_ < EthLstBox->count() ? chosenRow_ : change.row;
  if (row >= 0) EthLstBox->setCurrentRow(row);
}

// --- Error boxes ---

void TMainWin::ShowFailure(const Failure& failure) {
  if (failure.stale != StaleChoice::kNone) {
    ShowError(failure.stale == StaleChoice::kPairGone ? PairGoneText() : ControllerChangedText());
    return;
  }
  const QString text = failure.isUErr ? QtText(failure.text)
                                      : CommFailureText(failure.cause, failure.port,
                                                        QString::fromUtf8(failure.text));
  if (failure.kind != Failure::Kind::kTick) {
    // A click is always answered; start-up, like a tick, tells a lasting cause (the port still
    // held) only when the user has not been told of it yet.
    const bool askedByUser = failure.kind == Failure::Kind::kAction;
    if (failure.isUErr || lastingFailures_.Show(failure.cause, askedByUser)) ShowError(text);
    return;
  }
  if (failure.isUErr) {
    // A failure that repeats at every tick (a controller refusing sessions, say) is one box,
    // not one after every OK.
    auto shown = shownTickFailures_.find(failure.devId);
    if (shown != shownTickFailures_.end() && shown->second == failure.code) return;
    if (ErrorBoxWouldNest()) return;  // shown once the open box has closed, if it recurs
    shownTickFailures_[failure.devId] = failure.code;
    ShowError(text);
    return;
  }
  // One box for a run of other failures (a lost socket fails every tick); a tick that reaches
  // its end arms the next. A failure that no box can show yet leaves the box owed. A lasting
  // cause the user has been told of already (the port still held) stays silent.
  if (ErrBoxArmed && !ErrorBoxWouldNest()) {
    ErrBoxArmed = false;
    if (lastingFailures_.Show(failure.cause, false)) ShowError(text);
  }
}

bool TMainWin::ErrorBoxWouldNest() const {
  // Ticks go on while any box is open. Were their failures stacked as further boxes, a device
  // failing every fifth tick would pile up boxes while nobody is at the desk; the box already
  // open tells the user, and the failure recurs after it closes.
  return errorBoxesOpen_ > 0 || !boxes_.empty();
}

void TMainWin::ShowError(const QString& text) {
  if (ErrorHookSlot()) {
    DepthGuard open(errorBoxesOpen_);
    ErrorHookSlot()(text);
    return;
  }
  boxes_.push_back(text);
  if (boxes_.size() == 1) QMetaObject::invokeMethod(this, "ShowPendingBoxes", Qt::QueuedConnection);
}

void TMainWin::ShowPendingBoxes() {
  while (!boxes_.empty()) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), boxes_.front(),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("ErrorBox"));
    {
      DepthGuard open(errorBoxesOpen_);
      box.exec();
    }
    boxes_.pop_front();
  }
}

// --- Start-up and the Ethernet list ---

void TMainWin::FormCreate() {
  StartJob(JobKind::kSearch,
           [](CommState& state) { return SearchJob(state, Failure::Kind::kStartup); });
}

void TMainWin::EthLstBoxClick() { SelectController(); }

void TMainWin::SelectController() {
  // The selected line, not merely the current one: a Ctrl-click can leave the current line
  // unselected, and then nothing is chosen.
  const QList<QListWidgetItem*> selected = EthLstBox->selectedItems();
  if (selected.isEmpty()) return;
  const int row = EthLstBox->row(selected.first());
  if (row < 0) return;
  chosenRow_ = row;
  // Chosen again: its tick failures are news again.
  if (row < DevSet.count) shownTickFailures_.erase(DevSet.dev[row].id);
  StartJob(JobKind::kSelect, [row](CommState& state) { return SelectJob(state, row); });
}

void TMainWin::SearchEthBtnClick() {
  StartJob(JobKind::kSearch, [](CommState& state) { return SearchJob(state); });
}

void TMainWin::WwwBtnClick() {
  if (DevSet.count == 0) return;
  StartJob(JobKind::kWww, [](CommState& state) { return WwwJob(state); });
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
  // One tick at a time: while one still runs (a lossy link can take seconds), the timer's
  // next events find it pending and pass, so ticks never pile up behind it.
  if (Pending(JobKind::kTick)) return;
  StartJob(JobKind::kTick, [](CommState& state) { return TickJob(state); });
}

// --- Actions on the current controller ---

void TMainWin::DelLostBtnClick() {
  StartJob(JobKind::kReread, [](CommState& state) { return DelLostJob(state); });
}

void TMainWin::WrCfgBtnClick() {
  CommitPendingEdits();
  const DevView* controller = DevSet.Current();
  if (!controller) return;
  // The model as it is at the click, edits included, goes to the controller it was read from.
  StartJob(JobKind::kWrite, [cfg = Cfg, id = controller->id](CommState& state) {
    return WriteJob(state, cfg, id);
  });
}
