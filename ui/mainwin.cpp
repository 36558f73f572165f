// The main window's frame: the panels composed and wired to the communication owner, start-up,
// the poll tick, what each outcome shows, and shutdown.
#include "ui/mainwin.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <utility>
#include <variant>

#include "comm/identity.h"
#include "ui/after_first_paint.h"
#include "ui/backup_texts.h"
#include "ui/controls.h"
#include "ui/device_panel.h"
#include "ui/ethernet_panel.h"
#include "ui/error_texts.h"
#include "ui/fonts.h"
#include "ui/lines_dialog.h"
#include "ui/passage_editor.h"
#include "ui/qtext.h"
#include "ui/report_action.h"
#include "ui/router_addresses.h"
#include "ui/save_question.h"
#include "ui/whelp.h"
#include "ui/window_comm.h"

using namespace orvu;

namespace {
constexpr int kTickMs = 1000;
}  // namespace

TMainWin::TMainWin(EndpointFactory makeEndpoint, CommMode commMode, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("MainWin"));
  setWindowTitle(QStringLiteral("orvuQ46 Tmp 0.0.1[*]"));
  setFont(ArialFont());
  setFixedSize(847, 590);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }

  Clear(saved_);
  Clear(sent_);
  // Built in tab order: Ethernet, device panel, passages.
  ethernet_ = new EthernetPanel(this);
  devicePanel_ = new DevicePanel(this);
  editor_ = new PassageEditor(this);
  errors_ = new ErrorFrame(this);
  comm_ = new WindowComm(std::move(makeEndpoint), commMode, AddressTargets(SavedAddresses()), this);

  connect(ethernet_, &EthernetPanel::chosen, this, &TMainWin::EthLstBoxClick);
  connect(ethernet_, &EthernetPanel::searchAsked, comm_, &WindowComm::Search);
  connect(ethernet_, &EthernetPanel::pageAsked, comm_, &WindowComm::OpenPage);
  connect(ethernet_, &EthernetPanel::helpAsked, this, [this] { ShowHelp(0); });
  connect(ethernet_, &EthernetPanel::backupAsked, this, &TMainWin::BackupAsked);
  connect(ethernet_, &EthernetPanel::restoreAsked, this, &TMainWin::RestoreAsked);
  connect(ethernet_, &EthernetPanel::compareAsked, this, &TMainWin::CompareAsked);
  connect(ethernet_, &EthernetPanel::addressesAsked, this, &TMainWin::AddressesAsked);
  connect(devicePanel_, &DevicePanel::deleteLostAsked, this, &TMainWin::DelLostBtnClick);
  connect(devicePanel_, &DevicePanel::replaceAsked, this, &TMainWin::ReplaceBtnClick);
  connect(devicePanel_, &DevicePanel::helpAsked, this, [this] { ShowHelp(1); });
  connect(editor_, &PassageEditor::writeAsked, this, &TMainWin::WrCfgBtnClick);
  connect(editor_, &PassageEditor::reportAsked, this, &TMainWin::RapCfgBtnClick);
  connect(editor_, &PassageEditor::helpAsked, this, [this] { ShowHelp(2); });
  connect(editor_, &PassageEditor::edited, this, &TMainWin::UpdateModified);

  connect(comm_, &WindowComm::busyChanged, this, &TMainWin::ShowBusy);
  connect(comm_, &WindowComm::lanChanged, this, &TMainWin::ShowLan);
  connect(comm_, &WindowComm::tickEnded, errors_, &ErrorFrame::TickEnded);
  connect(comm_, &WindowComm::writeEnded, this, &TMainWin::WriteEnded);
  connect(comm_, &WindowComm::failed, errors_, qOverload<const Failure&>(&ErrorFrame::Show));
  connect(comm_, &WindowComm::restorePreviewed, this, &TMainWin::ShowRestorePreview);
  connect(comm_, &WindowComm::compared, this, &TMainWin::ShowComparison);
  connect(comm_, &WindowComm::restoreVerified, this, [this](const std::string& controller) {
    errors_->ShowNotice(RestoreVerifiedText(QtText(controller)));
  });
  connect(comm_, &WindowComm::pageOpened, this, [](const QString& url) {
    QDesktopServices::openUrl(QUrl(url));
  });

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
  // The worker finishes, closing every held session, while the panels still stand.
  delete comm_;
}

void TMainWin::SetAuxWindows(THelpWin* helpWin, TLokalizDlg* lokalizDlg) {
  HelpWin = helpWin;
  LokalizDlg = lokalizDlg;
}

void TMainWin::SetErrorHook(ErrorHook hook) { ErrorFrame::SetHook(std::move(hook)); }

bool TMainWin::Busy() const { return comm_->AnyPending(); }

void TMainWin::FormCreate() { comm_->StartUp(); }

void TMainWin::UDPTimerTimer() { comm_->Tick(); }

void TMainWin::EthLstBoxClick(int row) {
  switch (EditsMayGo([this, row] { EthLstBoxClick(row); })) {
    case GoOn::kNow: ChooseController(row); break;
    case GoOn::kAfterWrite: break;  // the line clicked stays marked until then
    case GoOn::kNot: ShowCurrentLine(); break;
  }
}

void TMainWin::ChooseController(int row) {
  // Chosen again: its tick failures are news again.
  const DevSetView& devices = comm_->Devices();
  if (row < devices.count) errors_->ChosenAgain(devices.dev[row].id);
  comm_->Choose(row);
}

void TMainWin::DelLostBtnClick() {
  if (EditsMayGo([this] { DelLostBtnClick(); }) == GoOn::kNow) comm_->DeleteLost();
}

void TMainWin::ReplaceBtnClick(int pair, const std::string& shownText) {
  // After the edits were written, the pair is checked against the list as it is then.
  const auto afterWrite = [this, pair, shownText] {
    if (isWindowModified()) ReplaceBtnClick(pair, shownText);  // edited meanwhile: ask again
    else comm_->Replace(pair, shownText, true);
  };
  if (EditsMayGo(afterWrite) == GoOn::kNow) comm_->Replace(pair, shownText);
}

void TMainWin::ShowCurrentLine() {
  const DevSetView& devices = comm_->Devices();
  if (devices.Current()) ethernet_->ShowCurrent(devices.sel);
}

void TMainWin::WrCfgBtnClick() {
  editor_->CommitPendingEdits();
  const DevView* controller = comm_->Devices().Current();
  if (!controller) return;
  sent_ = editor_->Config();
  comm_->Write(sent_, controller->id);
}

TMainWin::GoOn TMainWin::EditsMayGo(std::function<void()> again) {
  editor_->CommitPendingEdits();
  UpdateModified();
  const DevView* controller = comm_->Devices().Current();
  if (!isWindowModified() || !controller) return GoOn::kNow;
  if (comm_->Busy().writing && SamePassages(editor_->Config(), sent_)) {
    afterWrite_ = std::move(again);
    ShowBusy();
    return GoOn::kAfterWrite;
  }
  switch (AskToSave(this, QtText(DevName(controller->id)))) {
    case SaveAnswer::kSave:
      afterWrite_ = std::move(again);
      WrCfgBtnClick();
      ShowBusy();
      return GoOn::kAfterWrite;
    case SaveAnswer::kDiscard:
      return GoOn::kNow;
    case SaveAnswer::kCancel:
      return GoOn::kNot;
  }
  return GoOn::kNot;
}

void TMainWin::UpdateModified() { setWindowModified(!SamePassages(editor_->Config(), saved_)); }

void TMainWin::WriteEnded(const std::optional<CtrlConfig>& acknowledged) {
  // A write that was not acknowledged keeps the edits, and what waited for it does not happen:
  // the error frame says why.
  std::function<void()> then = std::exchange(afterWrite_, nullptr);
  ShowBusy();  // nothing waits any longer: the editor and the panel take edits again
  if (!acknowledged) {
    if (then) ShowCurrentLine();
    return;
  }
  saved_ = *acknowledged;
  UpdateModified();
  if (then) then();
}

void TMainWin::closeEvent(QCloseEvent* event) {
  const GoOn goOn = EditsMayGo([this] { close(); });
  // A write may have been acknowledged already (the worker inline): nothing is left to lose.
  const bool written = goOn == GoOn::kAfterWrite && !afterWrite_ && !isWindowModified();
  if (goOn == GoOn::kNow || written) event->accept();
  else event->ignore();
}

void TMainWin::RapCfgBtnClick() {
  if (!LokalizDlg) return;
  RunReportAction(this, *LokalizDlg, saveRapDlg_, editor_->Config(), comm_->Devices(),
                  [this](const QString& text) { errors_->Show(text); });
}

void TMainWin::ShowHelp(int page) {
  if (!HelpWin) return;
  HelpWin->SetPage(page);
  HelpWin->exec();
}

std::optional<uint32_t> TMainWin::DeviceOfLine(int row) const {
  const DevSetView& devices = comm_->Devices();
  if (row < 0 || row >= devices.count) return std::nullopt;
  return devices.dev[row].id;
}

namespace {

std::string FilePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

void TMainWin::BackupAsked(int row) {
  const std::optional<uint32_t> id = DeviceOfLine(row);
  if (!id) return;
  const std::optional<QString> path = backupDlg_.Run(
      this, BackupFileDialog::Purpose::kSave, QtText(DevName(*id)) + QStringLiteral(".json"));
  if (path) comm_->Backup(*id, FilePath(*path));
}

void TMainWin::RestoreAsked(int row) {
  const std::optional<uint32_t> id = DeviceOfLine(row);
  // The restored controller becomes the current one, showing what it holds then.
  if (!id || EditsMayGo([this, row] { RestoreAsked(row); }) != GoOn::kNow) return;
  const std::optional<QString> path = backupDlg_.Run(this, BackupFileDialog::Purpose::kOpen);
  if (path) comm_->PreviewRestore(*id, FilePath(*path));
}

void TMainWin::ShowRestorePreview(const RestorePreview& preview) {
  const QString controller = QtText(preview.controller);
  const QString file = QString::fromStdString(preview.path);
  QStringList lines;
  QString heading;
  QString action;
  if (!preview.problems.empty()) {
    heading = RestoreRefusedHeading(file, controller);
    for (const std::string& line : preview.problems) lines << QString::fromStdString(line);
  } else if (preview.changes.empty()) {
    heading = RestoreNothingHeading(file, controller);
  } else {
    heading = RestoreChangesHeading(
        file, controller,
        preview.otherController ? QtText(DevName(preview.fileControllerId)) : QString());
    for (const std::string& line : preview.changes) lines << QString::fromStdString(line);
    action = QStringLiteral("Zapisz");
  }
  LinesDialog dialog(this, QStringLiteral("Przywróć z kopii"), heading, lines, action);
  dialog.setObjectName(QStringLiteral("RestoreDlg"));
  if (dialog.exec() == QDialog::Accepted && !action.isEmpty()) comm_->Restore(preview);
}

void TMainWin::CompareAsked(int row) {
  const std::optional<uint32_t> id = DeviceOfLine(row);
  if (!id) return;
  const std::optional<QString> path = backupDlg_.Run(this, BackupFileDialog::Purpose::kOpen);
  if (path) comm_->Compare(*id, FilePath(*path));
}

void TMainWin::ShowComparison(const Comparison& comparison) {
  QStringList lines;
  for (const std::string& line : comparison.lines) lines << QString::fromStdString(line);
  LinesDialog dialog(this, QStringLiteral("Porównaj z kopią"),
                     ComparisonHeading(QString::fromStdString(comparison.fileSide),
                                       QString::fromStdString(comparison.controllerSide),
                                       lines.isEmpty()),
                     lines);
  dialog.setObjectName(QStringLiteral("CompareDlg"));
  dialog.exec();
}

void TMainWin::AddressesAsked() {
  AddressesDialog dialog(this, SavedAddresses(), [this](const QString& why) { errors_->Show(why); });
  if (dialog.exec() != QDialog::Accepted) return;
  SaveAddresses(dialog.Lines());
  comm_->AskDirectly(AddressTargets(dialog.Lines()));
}

OperatingMode TMainWin::CurrentMode() const {
  const DevView* current = comm_->Devices().Current();
  return current ? ModeOf(current->mode) : OperatingMode::kBlokada;
}

void TMainWin::ShowLan(const LanOutcome& lan) {
  const bool choicePending = comm_->ChoicePending();
  ethernet_->ShowChanges(lan.list, choicePending);
  const DevSetView& devices = comm_->Devices();
  ethernet_->ShowDevices(devices);
  // The list shows the current device, unless the user has already chosen another.
  if (!choicePending && devices.Current()) ethernet_->ShowCurrent(devices.sel);

  const OperatingMode mode = CurrentMode();
  if (const auto* replaced = std::get_if<ConfigReplaced>(&lan.cfg)) {
    editor_->Show(replaced->cfg, mode, replaced->firstPassage);
    devicePanel_->Show(editor_->Config(), devices.Current());
    saved_ = replaced->cfg;
    UpdateModified();
  } else if (const auto* reread = std::get_if<DeviceListReread>(&lan.cfg)) {
    editor_->ShowDevicePart(reread->cfg, mode);
    devicePanel_->Show(editor_->Config(), devices.Current());
  } else if (std::get<ConfigKept>(lan.cfg).redraw) {
    editor_->Show(mode);
  }
  ShowBusy();
  errors_->Reached(lan.endpointOpen, lan.searched);
}

void TMainWin::ShowBusy() {
  const CommBusy busy = comm_->Busy();
  ethernet_->ShowBusy(busy.searching, comm_->Devices().count > 0 && !busy.opening);
  // While a read that replaces the model is pending, or an action that will start one waits
  // for a write, neither the editor nor the panel takes edits or clicks it would discard.
  const bool replacing = busy.rereading || afterWrite_ != nullptr;
  devicePanel_->setEnabled(!replacing);
  editor_->setEnabled(!replacing);
  editor_->SetWriting(busy.writing);
  if (busy.userWork) setCursor(Qt::WaitCursor);
  else unsetCursor();
}
