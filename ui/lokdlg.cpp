#include "ui/lokdlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/fonts.h"

namespace {

constexpr int kLocationMaxLength = 80;

}  // namespace

// The dialog is created once and never reset, so LokEdit carries the description typed last
// into the next report of the run.
TLokalizDlg::TLokalizDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("LokalizDlg"));
  setWindowTitle(QStringLiteral("Lokalizacja"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setFont(orvu::DefaultFont());
  setFixedSize(486, 118);

  Label2 = new QLabel(QStringLiteral("Opis lokalizacji kontrolera:"), this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->move(16, 28);
  Label2->adjustSize();

  LokEdit = new QLineEdit(this);
  LokEdit->setObjectName(QStringLiteral("LokEdit"));
  LokEdit->setGeometry(152, 24, 297, 21);
  LokEdit->setMaxLength(kLocationMaxLength);
  Label2->setBuddy(LokEdit);

  OKBtn = new QPushButton(QStringLiteral("Zapisz"), this);
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setGeometry(284, 72, 75, 25);
  OKBtn->setDefault(true);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

  // QDialog already turns Escape and the close box into reject(). Auto-default lets the focused
  // button take Enter: with the focus tabbed to "Anuluj", Enter cancels; "Zapisz" takes it back
  // as soon as the focus leaves.
  CancelBtn = new QPushButton(QStringLiteral("Anuluj"), this);
  CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
  CancelBtn->setGeometry(116, 72, 75, 25);
  CancelBtn->setAutoDefault(true);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  setTabOrder(LokEdit, OKBtn);
  setTabOrder(OKBtn, CancelBtn);
  LokEdit->setFocus();
}
