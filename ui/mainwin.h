// The main window (unit Wmainq46): the Ethernet list and its poll, the controller's device
// panel and the passage editor. Three cooperating parts, one file each: mainwin.cpp,
// devpanel.cpp, passage_editor*.cpp.
#pragma once
#include <QString>
#include <QWidget>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "comm/endpoint.h"
#include "model/ctrlcfg.h"
#include "ui/comm_jobs.h"
#include "ui/comm_worker.h"
#include "ui/devset_view.h"
#include "ui/persistent_failures.h"
#include "ui/save_dialog.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;
class THelpWin;
class TLokalizDlg;

namespace orvu {
class MultiRowTabBar;
class ValueListModel;
}

class TMainWin : public QWidget {
  Q_OBJECT
 public:
  using EndpointFactory = orvu::EndpointFactory;
  using CommMode = orvu::CommWorker::Mode;
  // Test seam: while installed, ShowError hands its text to the hook and returns at once.
  using ErrorHook = std::function<void(const QString&)>;

  // Builds the controls and starts FormCreate (the first search and list refresh) on the
  // communication worker; the window can be shown at once, the list and editor fill in when
  // the worker is done. kInline runs every job at once on this thread (tests).
  explicit TMainWin(EndpointFactory makeEndpoint, CommMode commMode = CommMode::kThread,
                    QWidget* parent = nullptr);
  // Runs what the worker still has to do, then closes every held session; always completes.
  ~TMainWin() override;

  void SetAuxWindows(THelpWin* helpWin, TLokalizDlg* lokalizDlg);
  static void SetErrorHook(ErrorHook hook);

  // --- Operations ---
  // Shows a modal error box, never from inside the timer's handler (Qt would hold the timer
  // while the box is open): the box opens from a queued call, one box after the other.
  void ShowError(const QString& text);
  // Starts the choice of the list's selected device on the worker.
  void SelectController();
  void RebuildTabs();
  void RefreshPassage();
  void RefreshDevPanel();

  // --- Event handlers (public so that tests drive them like the user does) ---
  void FormCreate();
  void EthLstBoxClick();
  void SearchEthBtnClick();
  void WwwBtnClick();
  void HelpEthBtnClick();
  void HelpDevBtnClick();
  void HelpDoorBtnClick();
  void UDPTimerTimer();
  void DelLostBtnClick();
  void ReplaceBtnClick();
  void WrCfgBtnClick();
  void RapCfgBtnClick();

  void DoorTcChange();
  void OutputCbChange(int slot);  // RygielCbChange, RemindCbChange, AlarmCbChange, CctvCbChange
  void InputCbChange(int slot);   // OutBtnCbChange, OpenDetectCbChange, Alarm0/Alarm1CbChange
  void ReaderCbChange(int slot);  // Rd1CbChange-Rd4CbChange
  void OutputNcClick(int slot);   // RygielNCClick, RemindNCClick, AlarmNCClick, CctvNCClick
  void InputNcClick(int slot);    // OutBtnNCClick, OpenDetectNCClick, Alarm0/Alarm1NCClick
  void KlamkaCbClick();
  void FullTimCbClick();
  void TypeCbChange();
  void SluzaCbChange();
  void RygTimEdExit();
  void OpenTimEdExit();

  // --- Ethernet group ---
  QGroupBox* SelBox = nullptr;
  QLabel* Label18 = nullptr;
  QListWidget* EthLstBox = nullptr;
  QPushButton* HelpEthBtn = nullptr;
  QPushButton* WwwBtn = nullptr;
  QPushButton* SearchEthBtn = nullptr;

  // --- Device panel ---
  QGroupBox* SelDevBox = nullptr;
  QListWidget* DevListBox = nullptr;
  QPushButton* HelpDevBtn = nullptr;
  QPushButton* DelLostBtn = nullptr;
  QGroupBox* GroupBox6 = nullptr;
  QLabel* ReplLb = nullptr;
  QComboBox* ReplCb = nullptr;
  QPushButton* ReplaceBtn = nullptr;

  // --- Passage editor ---
  QGroupBox* DoorGrpBox = nullptr;
  orvu::MultiRowTabBar* DoorTc = nullptr;  // tabs in as many rows as they need
  QGroupBox* RygGrpBox = nullptr;
  QLabel* RygielLb = nullptr;
  QComboBox* RygielCb = nullptr;
  QCheckBox* RygielNC = nullptr;
  QLabel* OpenDetectLb = nullptr;
  QComboBox* OpenDetectCb = nullptr;
  QCheckBox* OpenDetectNC = nullptr;
  QGroupBox* GroupBox4 = nullptr;
  QLabel* RdLb[orvu::kReaderSlots] = {};  // Rd1Lb-Rd4Lb
  QComboBox* RdCb[orvu::kReaderSlots] = {};  // Rd1Cb-Rd4Cb
  QGroupBox* GroupBox1 = nullptr;
  QLabel* RemindLb = nullptr;
  QComboBox* RemindCb = nullptr;
  QCheckBox* RemindNC = nullptr;
  QLabel* AlarmLb = nullptr;
  QComboBox* AlarmCb = nullptr;
  QCheckBox* AlarmNC = nullptr;
  QLabel* CctvLb = nullptr;
  QComboBox* CctvCb = nullptr;
  QCheckBox* CctvNC = nullptr;
  QGroupBox* GroupBox3 = nullptr;
  QLabel* OutBtnLb = nullptr;
  QComboBox* OutBtnCb = nullptr;
  QCheckBox* OutBtnNC = nullptr;
  QLabel* Alarm0Lb = nullptr;
  QComboBox* Alarm0Cb = nullptr;
  QCheckBox* Alarm0NC = nullptr;
  QLabel* Alarm1Lb = nullptr;
  QComboBox* Alarm1Cb = nullptr;
  QCheckBox* Alarm1NC = nullptr;
  QGroupBox* TstGrpBox = nullptr;
  QCheckBox* KlamkaCb = nullptr;
  QCheckBox* FullTimCb = nullptr;
  QLabel* TypeLb = nullptr;
  QComboBox* TypeCb = nullptr;
  QLabel* RygTimLb = nullptr;
  QLineEdit* RygTimEd = nullptr;
  QLabel* RygTimsLb = nullptr;
  QLabel* OpenTimLb = nullptr;
  QLineEdit* OpenTimEd = nullptr;
  QLabel* OpenTimsLb = nullptr;
  QGroupBox* GroupBox5 = nullptr;
  QComboBox* SluzaCb = nullptr;
  QPushButton* WrCfgBtn = nullptr;
  QPushButton* RapCfgBtn = nullptr;
  QPushButton* HelpDoorBtn = nullptr;

  // Output slots 0-3 in slot order: the bolt, reminder, alarm and CCTV rows.
  QComboBox* outputLists[orvu::kOutputSlots] = {};
  QCheckBox* outputNcs[orvu::kOutputSlots] = {};
  struct InputRow {
    QLabel* label = nullptr;
    QComboBox* list = nullptr;
    QCheckBox* nc = nullptr;
  };
  // Input slots 0-3: exit button, open detector, alarm detector, tamper.
  InputRow inputRows[4];

  // --- Non-visual components and members ---
  QTimer* UDPTimer = nullptr;
  SaveFileDialog SaveRapDlg;

  // The device set as the worker's last applied result left it (the set itself, with the
  // endpoint and the sessions, belongs to the worker).
  orvu::DevSetView DevSet;
  orvu::CtrlConfig Cfg;  // belongs to this thread; jobs get copies
  bool ErrBoxArmed = true;
  bool refreshing = false;

  // True while the user's work or a tick is still running on the worker.
  bool Busy() const;
  // Inline mode only: what the worker sees, for tests that arrange it.
  orvu::CommState& InlineCommState();

 private:
  // What a job is, for the controls it holds disabled while it runs.
  enum class JobKind { kTick, kSearch, kSelect, kReread, kWrite, kWww, kCount };
  void StartJob(JobKind kind, std::function<orvu::JobResult(orvu::CommState&)> job);
  void JobDone(JobKind kind);
  int& PendingCount(JobKind kind);  // jobs of this kind started, result not applied
  bool Pending(JobKind kind) const;
  void Apply(const orvu::JobResult& result);
  void ApplyListChange(const orvu::ListChange& change);
  void ShowFailure(const orvu::Failure& failure);
  void UpdateBusyControls();
  Q_INVOKABLE void ShowPendingBoxes();
  // True while a tick's box would stand on another box, open or waiting to open.
  bool ErrorBoxWouldNest() const;
  void ShowHelp(int page);

  void BuildEthernetGroup();
  void BuildDevPanel();
  void BuildPassageGroup();
  void ConnectPassageHandlers();
  // Puts the passage page below the rows of tabs.
  void LayOutPassagePage();

  // Passage editor steps.
  int CurrentPassage() const;
  bool EditorEnabled() const;
  void EnableEditor(bool on);
  void ClearEditor();
  void EnableTestGroup(bool on);
  void ResetTestGroup();
  void ApplyMode(unsigned mode);
  // One tab per passage of Cfg, signals held; current stays current when it still exists.
  void ShowPassageTabs(int current);
  void FillBoundList(QComboBox* list, orvu::IoRef current, const orvu::IoRef* free, int n);
  void FillOutputCombo(int slot, const orvu::IoRef* free, int n);
  void FillSharedOutputCombo(int slot, const orvu::IoRef* free, int n);
  void FillInputCombo(int slot, const orvu::IoRef* free, int n);
  void FillDetectorCombo(const orvu::IoRef* free, int n);
  void FillReaderCombo(int slot, const orvu::IoRef* free, int n);
  void ShowOutputNc(QCheckBox* box, orvu::IoRef ref);
  void ShowInputNc(QCheckBox* box, orvu::IoRef ref);
  void ShowTime(QLineEdit* edit, uint8_t value);
  bool CommitTimeEdit(QLineEdit* edit, void (*setTime)(uint8_t* params, int halfSeconds));
  void CommitPendingEdits();
  void ConfigReplaced();
  orvu::IoRef SelectedRef(QComboBox* list) const;
  orvu::ValueListModel* ListModel(QComboBox* list) const;

  THelpWin* HelpWin = nullptr;
  TLokalizDlg* LokalizDlg = nullptr;
  orvu::CommWorker* worker_ = nullptr;
  int pending_[static_cast<int>(JobKind::kCount)] = {};  // jobs started, result not applied
  int chosenRow_ = -1;       // the line the user chose last
  // Tick failures shown, by device: the same code again stays silent until that device has
  // had a tick without failure or is chosen again.
  std::map<uint32_t, orvu::ErrCode> shownTickFailures_;
  // Lasting causes of other failures (a held port, no network) the user has been told of.
  orvu::PersistentFailures lastingFailures_;
  std::deque<QString> boxes_;  // error boxes to show, the open one first
  int errorBoxesOpen_ = 0;  // error boxes open, also through the hook
  QWidget* doorPage_ = nullptr;  // the passage groups, below DoorTc
  int shownPassage_ = -1;   // passage whose values the editor shows
  unsigned cfgEpoch_ = 0;   // advances whenever Cfg is emptied or read again
  unsigned shownEpoch_ = 0;
  std::vector<orvu::IoRef> scratch_;  // item values being assembled, kept to avoid allocating
  std::vector<orvu::IoRef> freeIo_;
};
