// A window that lists lines (a restore's changes or reasons, a comparison's differences) under
// a heading, with "Zamknij" and, where something can be done, one more button.
#pragma once
#include <QDialog>
#include <QString>
#include <QStringList>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace orvu {

class LinesDialog : public QDialog {
  Q_OBJECT
 public:
  // action: the text of the button that accepts ("Zapisz"); empty for none.
  LinesDialog(QWidget* parent, const QString& title, const QString& heading,
              const QStringList& lines, const QString& action = QString());

 private:
  QLabel* heading_;
  QPlainTextEdit* lines_;
  QPushButton* actionBtn_ = nullptr;
  QPushButton* closeBtn_;
};

}  // namespace orvu
