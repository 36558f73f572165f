// The passage editor's event handlers: every change goes into the model at once; nothing
// reaches the controller before "Zapisz".
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "model/times.h"
#include "ui/mainwin.h"
#include "ui/qtext.h"
#include "ui/value_list_model.h"

using namespace orvu;

void TMainWin::DoorTcChange() {
  // What was typed into a time field belongs to the passage it was typed on.
  CommitPendingEdits();
  RefreshPassage();
}

void TMainWin::OutputCbChange(int slot) {
  int p = CurrentPassage();
  if (p < 0 || p >= Cfg.passageCount) return;
  SetOutput(Cfg, p, slot, SelectedRef(outputLists[slot]), outputNcs[slot]->isChecked());
  RefreshPassage();
}

void TMainWin::InputCbChange(int slot) {
  int p = CurrentPassage();
  if (p < 0 || p >= Cfg.passageCount) return;
  SetInput(Cfg, p, slot, SelectedRef(inputRows[slot].list), inputRows[slot].nc->isChecked());
  RefreshPassage();
}

void TMainWin::ReaderCbChange(int slot) {
  int p = CurrentPassage();
  if (p < 0 || p >= Cfg.passageCount) return;
  SetReader(Cfg, p, slot, SelectedRef(RdCb[slot]));
  RefreshPassage();
}

void TMainWin::OutputNcClick(int slot) {
  int p = CurrentPassage();
  if (refreshing || p < 0 || p >= Cfg.passageCount) return;
  SetOutputNc(Cfg, p, slot, outputNcs[slot]->isChecked());
}

void TMainWin::InputNcClick(int slot) {
  int p = CurrentPassage();
  if (refreshing || p < 0 || p >= Cfg.passageCount) return;
  SetInputNc(Cfg, p, slot, inputRows[slot].nc->isChecked());
}

void TMainWin::KlamkaCbClick() {
  int p = CurrentPassage();
  if (refreshing || p < 0 || p >= Cfg.passageCount) return;
  SetHandleOpening(Cfg.params[p], KlamkaCb->isChecked());
}

void TMainWin::FullTimCbClick() {
  int p = CurrentPassage();
  if (refreshing || p < 0 || p >= Cfg.passageCount) return;
  SetFullBoltPulse(Cfg.params[p], FullTimCb->isChecked());
}

void TMainWin::TypeCbChange() {
  int p = CurrentPassage();
  int type = TypeCb->currentIndex();
  if (refreshing || p < 0 || p >= Cfg.passageCount || type < 0) return;
  SetPassageType(Cfg.params[p], type);
}

void TMainWin::SluzaCbChange() {
  int p = CurrentPassage();
  if (refreshing || p < 0 || p >= Cfg.passageCount) return;
  // A typed text that names no entry is no selection, like "  -----": outside any airlock.
  int item = SluzaCb->findText(SluzaCb->currentText(), Qt::MatchExactly);
  SetAirlock(Cfg.params[p], item >= 1 ? item - 1 : -1);
}

bool TMainWin::CommitTimeEdit(QLineEdit* edit, void (*setTime)(uint8_t*, int)) {
  if (refreshing || !edit->isModified()) return false;
  edit->setModified(false);
  int p = shownPassage_;
  if (p < 0 || p >= Cfg.passageCount || shownEpoch_ != cfgEpoch_) return false;
  setTime(Cfg.params[p], ParseTime(Cp1250Text(edit->text())));
  return true;
}

void TMainWin::CommitPendingEdits() {
  CommitTimeEdit(RygTimEd, SetBoltPulse);
  CommitTimeEdit(OpenTimEd, SetOpenTime);
}

void TMainWin::RygTimEdExit() {
  // The redraw shows the normalised value.
  if (CommitTimeEdit(RygTimEd, SetBoltPulse)) RefreshPassage();
}

void TMainWin::OpenTimEdExit() {
  if (CommitTimeEdit(OpenTimEd, SetOpenTime)) RefreshPassage();
}
