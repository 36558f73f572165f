// The passage editor, the group " Przejścia ": a tab per passage of the controller, and the
// current passage's outputs, inputs, readers and parameters. It holds the configuration it was
// given with the user's edits, which go into it at once; nothing reaches the controller before
// "Zapisz", which it only asks for.
#pragma once
#include <QGroupBox>
#include <cstdint>
#include <vector>

#include "comm/udpdev.h"
#include "model/ctrlcfg.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orvu {

class MultiRowTabBar;
class ValueListModel;

class PassageEditor : public QGroupBox {
  Q_OBJECT
 public:
  explicit PassageEditor(QWidget* parent);

  // The configuration as read from the controller, shown in the controller's mode: it
  // replaces the one held, edits and all. firstPassage: a controller was chosen, so the tabs
  // and airlock choices are built anew and passage 1 is shown; otherwise the current tab stays.
  void Show(const CtrlConfig& cfg, OperatingMode mode, bool firstPassage);
  // The device part read again (the bus changed): the passages and their edits stay, and the
  // lists offer what is free now.
  void ShowDevicePart(const CtrlConfig& read, OperatingMode mode);
  // The current passage drawn again, in mode (the controller's mode may have changed).
  void Show(OperatingMode mode);

  // A write waits: "Zapisz" stays disabled until it is done.
  void SetWriting(bool writing);
  // Takes what is typed into a time field, not yet confirmed, into the model.
  void CommitPendingEdits();
  // The configuration with the user's edits.
  const CtrlConfig& Config() const { return cfg_; }

 signals:
  // An edit went into the configuration held.
  void edited();
  void writeAsked();
  void reportAsked();
  void helpAsked();

 private:
  struct InputRow {
    QLabel* label = nullptr;
    QComboBox* list = nullptr;
    QCheckBox* nc = nullptr;
  };

  // Building (passage_editor_build.cpp).
  void BuildControls();
  void ConnectHandlers();
  // Puts the passage page below the rows of tabs.
  void LayOutPassagePage();

  // Drawing (passage_editor.cpp).
  void RebuildTabs();
  void RefreshPassage();
  int CurrentPassage() const;
  bool EditorEnabled() const;
  void EnableEditor(bool on);
  void ClearEditor();
  void EnableTestGroup(bool on);
  void ResetTestGroup();
  void ApplyMode(OperatingMode mode);
  // One tab per passage of the model, signals held; current stays current when it still exists.
  void ShowPassageTabs(int current);
  void FillBoundList(QComboBox* list, IoRef current, const IoRef* free, int n);
  void FillOutputCombo(int slot, const IoRef* free, int n);
  void FillSharedOutputCombo(int slot, const IoRef* free, int n);
  void FillInputCombo(int slot, const IoRef* free, int n);
  void FillDetectorCombo(const IoRef* free, int n);
  void FillReaderCombo(int slot, const IoRef* free, int n);
  void ShowOutputNc(QCheckBox* box, IoRef ref);
  void ShowInputNc(QCheckBox* box, IoRef ref);
  void ShowTime(QLineEdit* edit, uint8_t value);
  IoRef SelectedRef(QComboBox* list) const;
  ValueListModel* ListModel(QComboBox* list) const;

  // The user's edits (passage_editor_edits.cpp).
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
  bool CommitTimeEdit(QLineEdit* edit, void (*setTime)(uint8_t* params, int halfSeconds));
  // The current passage while it is one of the model's, else -1.
  int EditedPassage() const;

  MultiRowTabBar* DoorTc = nullptr;  // tabs in as many rows as they need
  QWidget* doorPage_ = nullptr;      // the passage groups, below DoorTc
  QGroupBox* RygGrpBox = nullptr;
  QLabel* RygielLb = nullptr;
  QComboBox* RygielCb = nullptr;
  QCheckBox* RygielNC = nullptr;
  QLabel* OpenDetectLb = nullptr;
  QComboBox* OpenDetectCb = nullptr;
  QCheckBox* OpenDetectNC = nullptr;
  QGroupBox* GroupBox4 = nullptr;
  QLabel* RdLb[kReaderSlots] = {};     // Rd1Lb-Rd4Lb
  QComboBox* RdCb[kReaderSlots] = {};  // Rd1Cb-Rd4Cb
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
  QComboBox* outputLists[kOutputSlots] = {};
  QCheckBox* outputNcs[kOutputSlots] = {};
  // Input slots 0-3: exit button, open detector, alarm detector, tamper.
  InputRow inputRows[4];

  CtrlConfig cfg_;
  OperatingMode mode_ = OperatingMode::kBlokada;
  bool writing_ = false;
  // True while the editor draws: the check boxes' toggles are its own, not the user's.
  bool refreshing_ = false;
  int shownPassage_ = -1;  // passage whose values the editor shows
  unsigned cfgEpoch_ = 0;  // advances whenever the model is replaced
  unsigned shownEpoch_ = 0;
  std::vector<IoRef> scratch_;  // item values being assembled, kept to avoid allocating
  std::vector<IoRef> freeIo_;
};

}  // namespace orvu
