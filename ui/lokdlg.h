// The location dialog: a free-text description of where the controller is installed, kept for
// the whole run.
#pragma once
#include <QDialog>

class QLineEdit;
class QPushButton;
class QLabel;

class TLokalizDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TLokalizDlg(QWidget* parent = nullptr);

  QLabel* Label2 = nullptr;
  QLineEdit* LokEdit = nullptr;  // at most 80 characters
  QPushButton* OKBtn = nullptr;      // "Zapisz": default button, result Accepted
  QPushButton* CancelBtn = nullptr;  // "Anuluj": Escape, result Rejected
};
