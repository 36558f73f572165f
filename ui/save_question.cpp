#include "ui/save_question.h"

#include <QMessageBox>
#include <QPushButton>

namespace orvu {

SaveAnswer AskToSave(QWidget* parent, const QString& controllerName) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("orvuQ46"),
                  QStringLiteral("Zapisać zmiany w przejściach kontrolera %1?").arg(controllerName),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
  box.setObjectName(QStringLiteral("SaveQuestion"));
  box.button(QMessageBox::Yes)->setText(QStringLiteral("Tak"));
  box.button(QMessageBox::No)->setText(QStringLiteral("Nie"));
  box.button(QMessageBox::Cancel)->setText(QStringLiteral("Anuluj"));
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Yes: return SaveAnswer::kSave;
    case QMessageBox::No: return SaveAnswer::kDiscard;
    default: return SaveAnswer::kCancel;
  }
}

}  // namespace orvu
