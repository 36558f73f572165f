// The passage editor's event handlers: every change goes into the model at once; nothing
// reaches the controller before "Zapisz".
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "model/times.h"
#include "ui/passage_editor.h"
#include "ui/qtext.h"
#include "ui/value_list_model.h"

namespace orvu {

int PassageEditor::EditedPassage() const {
  const int p = CurrentPassage();
  return p >= 0 && p < cfg_.passageCount ? p : -1;
}

void PassageEditor::DoorTcChange() {
  // What was typed into a time field belongs to the passage it was typed on.
  CommitPendingEdits();
  RefreshPassage();
}

void PassageEditor::OutputCbChange(int slot) {
  const int p = EditedPassage();
  if (p < 0) return;
  SetOutput(cfg_, p, slot, SelectedRef(outputLists[slot]), outputNcs[slot]->isChecked());
  emit edited();
  RefreshPassage();
}

void PassageEditor::InputCbChange(int slot) {
  const int p = EditedPassage();
  if (p < 0) return;
  SetInput(cfg_, p, slot, SelectedRef(inputRows[slot].list), inputRows[slot].nc->isChecked());
  emit edited();
  RefreshPassage();
}

void PassageEditor::ReaderCbChange(int slot) {
  const int p = EditedPassage();
  if (p < 0) return;
  SetReader(cfg_, p, slot, SelectedRef(RdCb[slot]));
  emit edited();
  RefreshPassage();
}

// The check boxes below also see the redraw's own ticks, which are no edits; the lists react to
// the user's choices alone (activated, textEdited), and the same guard keeps them safe.

void PassageEditor::OutputNcClick(int slot) {
  const int p = EditedPassage();
  if (refreshing_ || p < 0) return;
  SetOutputNc(cfg_, p, slot, outputNcs[slot]->isChecked());
  emit edited();
}

void PassageEditor::InputNcClick(int slot) {
  const int p = EditedPassage();
  if (refreshing_ || p < 0) return;
  SetInputNc(cfg_, p, slot, inputRows[slot].nc->isChecked());
  emit edited();
}

void PassageEditor::KlamkaCbClick() {
  const int p = EditedPassage();
  if (refreshing_ || p < 0) return;
  SetHandleOpening(cfg_.params[p], KlamkaCb->isChecked());
  emit edited();
}

void PassageEditor::FullTimCbClick() {
  const int p = EditedPassage();
  if (refreshing_ || p < 0) return;
  SetFullBoltPulse(cfg_.params[p], FullTimCb->isChecked());
  emit edited();
}

void PassageEditor::TypeCbChange() {
  const int p = EditedPassage();
  const int type = TypeCb->currentIndex();
  if (refreshing_ || p < 0 || type < 0) return;
  SetPassageType(cfg_.params[p], type);
  emit edited();
}

void PassageEditor::SluzaCbChange() {
  const int p = EditedPassage();
  if (refreshing_ || p < 0) return;
  // A typed text that names no entry is no selection, like "  -----": outside any airlock.
  int item = SluzaCb->findText(SluzaCb->currentText(), Qt::MatchExactly);
  SetAirlock(cfg_.params[p], item >= 1 ? item - 1 : -1);
  emit edited();
}

bool PassageEditor::CommitTimeEdit(QLineEdit* edit, void (*setTime)(uint8_t*, int)) {
  if (refreshing_ || !edit->isModified()) return false;
  edit->setModified(false);
  int p = shownPassage_;
  if (p < 0 || p >= cfg_.passageCount || shownEpoch_ != cfgEpoch_) return false;
  setTime(cfg_.params[p], ParseTime(Cp1250Text(edit->text())));
  emit edited();
  return true;
}

void PassageEditor::CommitPendingEdits() {
  CommitTimeEdit(RygTimEd, SetBoltPulse);
  CommitTimeEdit(OpenTimEd, SetOpenTime);
}

void PassageEditor::RygTimEdExit() {
  // The redraw shows the normalised value.
  if (CommitTimeEdit(RygTimEd, SetBoltPulse)) RefreshPassage();
}

void PassageEditor::OpenTimEdExit() {
  if (CommitTimeEdit(OpenTimEd, SetOpenTime)) RefreshPassage();
}

}  // namespace orvu
