// The main window (unit Wmainq46): the Ethernet list and its poll, the controller's device
// panel and the passage editor. Three cooperating parts, one file each: mainwin.cpp,
// devpanel.cpp, passage_editor*.cpp.
#pragma once
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "comm/endpoint.h"
#include "comm/udpdev.h"
#include "model/ctrlcfg.h"
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
  // Makes the window's UDP endpoint. Called inside the error frame of the first action that
  // needs the network, and again by later actions while it keeps failing (a port held by
  // another program may be released).
  using EndpointFactory = std::function<std::unique_ptr<orvu::Endpoint>()>;
  // Test seam: while installed, ShowError hands its text to the hook and returns at once.
  using ErrorHook = std::function<void(const QString&)>;

  // Builds the controls, registers the endpoint and runs FormCreate (the first search and
  // list refresh), all before the window is first shown.
  explicit TMainWin(EndpointFactory makeEndpoint, QWidget* parent = nullptr);
  ~TMainWin() override;

  void SetAuxWindows(THelpWin* helpWin, TLokalizDlg* lokalizDlg);
  static void SetErrorHook(ErrorHook hook);

  // --- Operations ---
  void ShowError(const QString& text);
  void RefreshEthList();
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

 private:
  // Unregisters the endpoint after everything that might use it has gone; declared first so
  // that it is destroyed last.
  struct EndpointRegistration {
    ~EndpointRegistration();
  } registration_;
  EndpointFactory makeEndpoint_;
  std::unique_ptr<orvu::Endpoint> UDP;  // destroyed after DevSet, whose records may talk

 public:
  orvu::UdpDevSet DevSet;
  orvu::CtrlConfig Cfg;
  bool ErrBoxArmed = true;
  bool refreshing = false;

 private:
  // Runs work; a UErr is shown with its ErrText, any other error with its own message.
  void ErrorFrame(const std::function<void()>& work);
  // True while ShowError would show nothing: a tick's box inside another open box.
  bool ErrorBoxWouldNest() const;
  void EnsureEndpoint();
  // The current device; with a non-empty set and no valid sel the list is refreshed first
  // (it selects item 0). nullptr while the set is empty.
  orvu::UdpDev* CurrentDevice();
  void CollectAndRefresh();
  void RunTick();
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
  orvu::KeepAliveSchedule keepAlive_;
  int errorBoxesOpen_ = 0;  // modal error boxes currently open
  int tickDepth_ = 0;       // poll ticks running (a tick can run inside another's box)
  QWidget* doorPage_ = nullptr;  // the passage groups, below DoorTc
  int shownPassage_ = -1;   // passage whose values the editor shows
  unsigned cfgEpoch_ = 0;   // advances whenever Cfg is emptied or read again
  unsigned shownEpoch_ = 0;
  std::vector<orvu::IoRef> scratch_;  // item values being assembled, kept to avoid allocating
  std::vector<orvu::IoRef> freeIo_;
};
