// The passage editor's redraw: the tabs and airlock choices, and every list, NC box and
// parameter of the current passage drawn from the model.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>

#include "model/times.h"
#include "ui/mainwin.h"
#include "ui/multi_row_tab_bar.h"
#include "ui/qtext.h"
#include "ui/value_list_model.h"

using namespace orvu;

namespace {

constexpr int kMaxAirlockEntries = 8;

// Clears a flag however the redraw is left.
class RefreshingScope {
 public:
  explicit RefreshingScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~RefreshingScope() { flag_ = false; }
  RefreshingScope(const RefreshingScope&) = delete;
  RefreshingScope& operator=(const RefreshingScope&) = delete;

 private:
  bool& flag_;
};

bool Empty(IoRef ref) { return ref == kNoRef; }

}  // namespace

ValueListModel* TMainWin::ListModel(QComboBox* list) const {
  return static_cast<ValueListModel*>(list->model());
}

IoRef TMainWin::SelectedRef(QComboBox* list) const {
  int value = ListModel(list)->ValueAt(list->currentIndex());
  return value < 0 ? kNoRef : static_cast<IoRef>(value);
}

int TMainWin::CurrentPassage() const { return DoorTc->currentIndex(); }

// Enabled as the editor, whether or not a pending read holds the whole group disabled.
bool TMainWin::EditorEnabled() const { return DoorTc->isEnabledTo(DoorGrpBox); }

void TMainWin::ConfigReplaced() { ++cfgEpoch_; }

void TMainWin::ShowPassageTabs(int current) {
  QSignalBlocker blockTabs(DoorTc);
  while (DoorTc->count() > 0) DoorTc->removeTab(DoorTc->count() - 1);
  for (int i = 0; i < Cfg.passageCount && i < kMaxPassages; ++i)
    DoorTc->addTab(QString::number(i + 1));
  DoorTc->setCurrentIndex(current >= 0 && current < DoorTc->count() ? current : 0);
  LayOutPassagePage();
}

void TMainWin::RebuildTabs() {
  ShowPassageTabs(0);
  {
    QSignalBlocker blockAirlocks(SluzaCb);
    SluzaCb->clear();
    QStringList items{QStringLiteral("  -----")};
    int airlocks = std::min(Cfg.passageCount / 2, kMaxAirlockEntries);
    for (int i = 1; i <= airlocks; ++i) items << QStringLiteral("Śluza %1").arg(i);
    SluzaCb->addItems(items);
  }
  RefreshDevPanel();
}

void TMainWin::RefreshPassage() {
  RefreshingScope scope(refreshing);
  if (Cfg.passageCount <= 0) {
    if (EditorEnabled()) {
      ClearEditor();
      EnableEditor(false);
    }
    shownPassage_ = -1;
    return;
  }
  // A re-read may bring another number of passages without a rebuild of the tabs (delete,
  // replace); the tabs follow the model so that no tab edits a passage it does not hold.
  if (DoorTc->count() != std::min(Cfg.passageCount, kMaxPassages))
    ShowPassageTabs(DoorTc->currentIndex());
  if (!EditorEnabled()) EnableEditor(true);
  const DevView* dev = DevSet.Current();
  ApplyMode(dev ? dev->mode & 3u : 0u);

  const int p = CurrentPassage();
  int n = FreeModuleIo(Cfg, kKindOutputs, freeIo_.data());
  FillOutputCombo(kSlotBolt, freeIo_.data(), n);
  n = FreeIo(Cfg, kKindOutputs, freeIo_.data());
  FillOutputCombo(kSlotReminder, freeIo_.data(), n);
  FillSharedOutputCombo(kSlotAlarm, freeIo_.data(), n);
  FillSharedOutputCombo(kSlotCctv, freeIo_.data(), n);
  for (int s = 0; s < kOutputSlots; ++s) ShowOutputNc(outputNcs[s], Cfg.outRefs[p][s]);

  n = FreeIo(Cfg, kKindInputs, freeIo_.data());
  FillDetectorCombo(freeIo_.data(), n);
  for (int s : {kSlotExitButton, kSlotAlarmDetector, kSlotTamper})
    FillInputCombo(s, freeIo_.data(), n);
  for (int s = 0; s < 4; ++s) ShowInputNc(inputRows[s].nc, Cfg.inRefs[p][s]);

  n = FreeIo(Cfg, kKindReaders, freeIo_.data());
  for (int k = 0; k < kReaderSlots; ++k) FillReaderCombo(k, freeIo_.data(), n);

  const uint8_t* params = Cfg.params[p];
  int airlockItem = AirlockOf(params) + 1;
  SluzaCb->setCurrentIndex(airlockItem < SluzaCb->count() ? airlockItem : -1);
  KlamkaCb->setChecked(HandleOpening(params));
  FullTimCb->setChecked(FullBoltPulse(params));
  int type = PassageType(params);
  TypeCb->setCurrentIndex(type < TypeCb->count() ? type : -1);

  const bool samePassage = p == shownPassage_ && shownEpoch_ == cfgEpoch_;
  shownPassage_ = p;
  shownEpoch_ = cfgEpoch_;
  for (auto [edit, time] : {std::pair{RygTimEd, &BoltPulse}, std::pair{OpenTimEd, &OpenTime}}) {
    // A periodic redraw must not wipe what the user is typing into the same passage's field;
    // the field's exit takes it into the model.
    if (samePassage && edit->isModified() && edit->isEnabledTo(DoorGrpBox)) continue;
    ShowTime(edit, time(params));
  }
}

void TMainWin::ShowTime(QLineEdit* edit, uint8_t value) {
  edit->setText(QtText(TimeText(value)));
  edit->setModified(false);
}

// The current binding first when there is one, then "  -----", then the free points; item 0,
// the current binding, is selected.
void TMainWin::FillBoundList(QComboBox* list, IoRef current, const IoRef* free, int n) {
  scratch_.clear();
  if (!Empty(current)) scratch_.push_back(current);
  scratch_.push_back(kNoRef);
  scratch_.insert(scratch_.end(), free, free + n);
  ListModel(list)->Assign(scratch_.data(), scratch_.size());
  list->setCurrentIndex(0);
}

void TMainWin::FillOutputCombo(int slot, const IoRef* free, int n) {
  FillBoundList(outputLists[slot], Cfg.outRefs[CurrentPassage()][slot], free, n);
}

void TMainWin::FillSharedOutputCombo(int slot, const IoRef* free, int n) {
  const IoRef current = Cfg.outRefs[CurrentPassage()][slot];
  IoRef shared[kMaxPassages];
  int sharedCount = SharedOutputs(Cfg, slot, shared);
  scratch_.clear();
  scratch_.push_back(current);  // the empty reference reads "  -----"
  for (int i = 0; i < sharedCount; ++i)
    if (shared[i] != current) scratch_.push_back(shared[i]);
  if ((sharedCount > 0 && n > 0) || !Empty(current)) scratch_.push_back(kNoRef);
  scratch_.insert(scratch_.end(), free, free + n);
  ListModel(outputLists[slot])->Assign(scratch_.data(), scratch_.size());
  outputLists[slot]->setCurrentIndex(0);
}

void TMainWin::FillInputCombo(int slot, const IoRef* free, int n) {
  FillBoundList(inputRows[slot].list, Cfg.inRefs[CurrentPassage()][slot], free, n);
}

void TMainWin::FillDetectorCombo(const IoRef* free, int n) {
  const int p = CurrentPassage();
  const IoRef current = Cfg.inRefs[p][kSlotOpenDetector];
  const IoRef bolt = Cfg.outRefs[p][kSlotBolt];
  scratch_.clear();
  if (!Empty(current)) scratch_.push_back(current);
  scratch_.push_back(kNoRef);
  if (Empty(bolt)) {
    OpenDetectCb->setEnabled(false);
  } else {
    // Only inputs of the bolt's own device can report that its door opened.
    for (int i = 0; i < n; ++i)
      if ((free[i] >> 8) == (bolt >> 8)) scratch_.push_back(free[i]);
    OpenDetectCb->setEnabled(true);
  }
  ListModel(OpenDetectCb)->Assign(scratch_.data(), scratch_.size());
  OpenDetectCb->setCurrentIndex(0);
}

void TMainWin::FillReaderCombo(int slot, const IoRef* free, int n) {
  FillBoundList(RdCb[slot], Cfg.rdRefs[CurrentPassage()][slot], free, n);
}

void TMainWin::ShowOutputNc(QCheckBox* box, IoRef ref) {
  // Only open-collector outputs can be inverted; a relay output's flag stays off limits.
  box->setEnabled(!Empty(ref) && Cfg.devices[RefDevice(ref)].ocOutputs);
  box->setChecked(HasNc(ref));
}

void TMainWin::ShowInputNc(QCheckBox* box, IoRef ref) {
  box->setEnabled(!Empty(ref));
  box->setChecked(HasNc(ref));
}

void TMainWin::EnableEditor(bool on) {
  for (QWidget* w : std::initializer_list<QWidget*>{RygielCb, RygielLb, RemindCb, RemindLb,
                                                    AlarmCb, AlarmLb, CctvCb, CctvLb})
    w->setEnabled(on);
  for (const InputRow& row : inputRows) {
    row.label->setEnabled(on);
    row.list->setEnabled(on);
    row.nc->setEnabled(on);
  }
  for (int k = 0; k < kReaderSlots; ++k) {
    RdCb[k]->setEnabled(on);
    RdLb[k]->setEnabled(on);
  }
  for (QCheckBox* nc : outputNcs) nc->setEnabled(on);
  SluzaCb->setEnabled(on);
  EnableTestGroup(on);
  DoorTc->setEnabled(on);
  WrCfgBtn->setEnabled(on);
  RapCfgBtn->setEnabled(on);
}

void TMainWin::ClearEditor() {
  for (int s = 0; s < kOutputSlots; ++s) {
    ListModel(outputLists[s])->Clear();
    outputNcs[s]->setChecked(false);
  }
  for (const InputRow& row : inputRows) {
    ListModel(row.list)->Clear();
    row.nc->setChecked(false);
  }
  for (QComboBox* list : RdCb) ListModel(list)->Clear();
  ResetTestGroup();
}

void TMainWin::EnableTestGroup(bool on) {
  for (QWidget* w : std::initializer_list<QWidget*>{TstGrpBox, KlamkaCb, FullTimCb, TypeCb,
                                                    TypeLb, RygTimEd, RygTimLb, RygTimsLb,
                                                    OpenTimEd, OpenTimLb, OpenTimsLb})
    w->setEnabled(on);
}

void TMainWin::ResetTestGroup() {
  KlamkaCb->setChecked(false);
  FullTimCb->setChecked(false);
  TypeCb->setCurrentIndex(0);
  RygTimEd->clear();
  OpenTimEd->clear();
}

void TMainWin::ApplyMode(unsigned mode) {
  // The test parameters are editable only while the controller is in installation mode.
  if (mode < 3 && TstGrpBox->isEnabledTo(DoorGrpBox)) EnableTestGroup(false);
  if (mode == 3 && !TstGrpBox->isEnabledTo(DoorGrpBox)) EnableTestGroup(true);
}
