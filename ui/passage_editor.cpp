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
#include "ui/passage_editor.h"
#include "ui/multi_row_tab_bar.h"
#include "ui/qtext.h"
#include "ui/value_list_model.h"

namespace orvu {

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

ValueListModel* PassageEditor::ListModel(QComboBox* list) const {
  return static_cast<ValueListModel*>(list->model());
}

IoRef PassageEditor::SelectedRef(QComboBox* list) const {
  int value = ListModel(list)->ValueAt(list->currentIndex());
  return value < 0 ? kNoRef : static_cast<IoRef>(value);
}

int PassageEditor::CurrentPassage() const { return DoorTc->currentIndex(); }

// Enabled as the editor, whether or not a pending read holds the whole group disabled.
bool PassageEditor::EditorEnabled() const { return DoorTc->isEnabledTo(this); }

void PassageEditor::Show(const CtrlConfig& cfg, OperatingMode mode, bool firstPassage) {
  cfg_ = cfg;
  ++cfgEpoch_;
  mode_ = mode;
  if (firstPassage) RebuildTabs();
  RefreshPassage();
}

void PassageEditor::ShowDevicePart(const CtrlConfig& read, OperatingMode mode) {
  // The periodic refresh touches only the device part and the usage derived from the
  // passages: the user's edits survive it.
  TakeDevicePart(cfg_, read);
  mode_ = mode;
  RefreshPassage();
}

void PassageEditor::Show(OperatingMode mode) {
  mode_ = mode;
  RefreshPassage();
}

void PassageEditor::SetWriting(bool writing) {
  writing_ = writing;
  WrCfgBtn->setEnabled(EditorEnabled() && !writing_);
}

void PassageEditor::ShowPassageTabs(int current) {
  QSignalBlocker blockTabs(DoorTc);
  while (DoorTc->count() > 0) DoorTc->removeTab(DoorTc->count() - 1);
  for (int i = 0; i < cfg_.passageCount && i < kMaxPassages; ++i)
    DoorTc->addTab(QString::number(i + 1));
  DoorTc->setCurrentIndex(current >= 0 && current < DoorTc->count() ? current : 0);
  LayOutPassagePage();
}

void PassageEditor::RebuildTabs() {
  ShowPassageTabs(0);
  {
    QSignalBlocker blockAirlocks(SluzaCb);
    SluzaCb->clear();
    QStringList items{QStringLiteral("  -----")};
    int airlocks = std::min(cfg_.passageCount / 2, kMaxAirlockEntries);
    for (int i = 1; i <= airlocks; ++i) items << QStringLiteral("Śluza %1").arg(i);
    SluzaCb->addItems(items);
  }
}

void PassageEditor::RefreshPassage() {
  RefreshingScope scope(refreshing_);
  if (cfg_.passageCount <= 0) {
    if (EditorEnabled()) {
      ClearEditor();
      EnableEditor(false);
    }
    shownPassage_ = -1;
    return;
  }
  // A re-read may bring another number of passages without a rebuild of the tabs (delete,
  // replace); the tabs follow the model so that no tab edits a passage it does not hold.
  if (DoorTc->count() != std::min(cfg_.passageCount, kMaxPassages))
    ShowPassageTabs(DoorTc->currentIndex());
  if (!EditorEnabled()) EnableEditor(true);
  ApplyMode(mode_);

  const int p = CurrentPassage();
  int n = FreeModuleIo(cfg_, kKindOutputs, freeIo_.data());
  FillOutputCombo(kSlotBolt, freeIo_.data(), n);
  n = FreeIo(cfg_, kKindOutputs, freeIo_.data());
  FillOutputCombo(kSlotReminder, freeIo_.data(), n);
  FillSharedOutputCombo(kSlotAlarm, freeIo_.data(), n);
  FillSharedOutputCombo(kSlotCctv, freeIo_.data(), n);
  for (int s = 0; s < kOutputSlots; ++s) ShowOutputNc(outputNcs[s], cfg_.outRefs[p][s]);

  n = FreeIo(cfg_, kKindInputs, freeIo_.data());
  FillDetectorCombo(freeIo_.data(), n);
  for (int s : {kSlotExitButton, kSlotAlarmDetector, kSlotTamper})
    FillInputCombo(s, freeIo_.data(), n);
  for (int s = 0; s < 4; ++s) ShowInputNc(inputRows[s].nc, cfg_.inRefs[p][s]);

  n = FreeIo(cfg_, kKindReaders, freeIo_.data());
  for (int k = 0; k < kReaderSlots; ++k) FillReaderCombo(k, freeIo_.data(), n);

  const uint8_t* params = cfg_.params[p];
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
    if (samePassage && edit->isModified() && edit->isEnabledTo(this)) continue;
    ShowTime(edit, time(params));
  }
}

void PassageEditor::ShowTime(QLineEdit* edit, uint8_t value) {
  edit->setText(QtText(TimeText(value)));
  edit->setModified(false);
}

// The current binding first when there is one, then "  -----", then the free points; item 0,
// the current binding, is selected.
void PassageEditor::FillBoundList(QComboBox* list, IoRef current, const IoRef* free, int n) {
  scratch_.clear();
  if (!Empty(current)) scratch_.push_back(current);
  scratch_.push_back(kNoRef);
  scratch_.insert(scratch_.end(), free, free + n);
  ListModel(list)->Assign(scratch_.data(), scratch_.size());
  list->setCurrentIndex(0);
}

void PassageEditor::FillOutputCombo(int slot, const IoRef* free, int n) {
  FillBoundList(outputLists[slot], cfg_.outRefs[CurrentPassage()][slot], free, n);
}

void PassageEditor::FillSharedOutputCombo(int slot, const IoRef* free, int n) {
  const IoRef current = cfg_.outRefs[CurrentPassage()][slot];
  IoRef shared[kMaxPassages];
  int sharedCount = SharedOutputs(cfg_, slot, shared);
  scratch_.clear();
  scratch_.push_back(current);  // the empty reference reads "  -----"
  for (int i = 0; i < sharedCount; ++i)
    if (shared[i] != current) scratch_.push_back(shared[i]);
  if ((sharedCount > 0 && n > 0) || !Empty(current)) scratch_.push_back(kNoRef);
  scratch_.insert(scratch_.end(), free, free + n);
  ListModel(outputLists[slot])->Assign(scratch_.data(), scratch_.size());
  outputLists[slot]->setCurrentIndex(0);
}

void PassageEditor::FillInputCombo(int slot, const IoRef* free, int n) {
  FillBoundList(inputRows[slot].list, cfg_.inRefs[CurrentPassage()][slot], free, n);
}

void PassageEditor::FillDetectorCombo(const IoRef* free, int n) {
  const int p = CurrentPassage();
  const IoRef current = cfg_.inRefs[p][kSlotOpenDetector];
  const IoRef bolt = cfg_.outRefs[p][kSlotBolt];
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

void PassageEditor::FillReaderCombo(int slot, const IoRef* free, int n) {
  FillBoundList(RdCb[slot], cfg_.rdRefs[CurrentPassage()][slot], free, n);
}

void PassageEditor::ShowOutputNc(QCheckBox* box, IoRef ref) {
  // Only open-collector outputs can be inverted; a relay output's flag stays off limits.
  box->setEnabled(!Empty(ref) && cfg_.devices[RefDevice(ref)].ocOutputs);
  box->setChecked(HasNc(ref));
}

void PassageEditor::ShowInputNc(QCheckBox* box, IoRef ref) {
  box->setEnabled(!Empty(ref));
  box->setChecked(HasNc(ref));
}

void PassageEditor::EnableEditor(bool on) {
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
  WrCfgBtn->setEnabled(on && !writing_);
  RapCfgBtn->setEnabled(on);
}

void PassageEditor::ClearEditor() {
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

void PassageEditor::EnableTestGroup(bool on) {
  for (QWidget* w : std::initializer_list<QWidget*>{TstGrpBox, KlamkaCb, FullTimCb, TypeCb,
                                                    TypeLb, RygTimEd, RygTimLb, RygTimsLb,
                                                    OpenTimEd, OpenTimLb, OpenTimsLb})
    w->setEnabled(on);
}

void PassageEditor::ResetTestGroup() {
  KlamkaCb->setChecked(false);
  FullTimCb->setChecked(false);
  TypeCb->setCurrentIndex(0);
  RygTimEd->clear();
  OpenTimEd->clear();
}

void PassageEditor::ApplyMode(OperatingMode mode) {
  // The test parameters are editable only while the controller is in installation mode.
  const bool editable = mode == OperatingMode::kInstalacja;
  if (editable != TstGrpBox->isEnabledTo(this)) EnableTestGroup(editable);
}

}  // namespace orvu
