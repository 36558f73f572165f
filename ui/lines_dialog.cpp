#include "ui/lines_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/fonts.h"

namespace orvu {

LinesDialog::LinesDialog(QWidget* parent, const QString& title, const QString& heading,
                         const QStringList& lines, const QString& action)
    : QDialog(parent) {
  setObjectName(QStringLiteral("LinesDlg"));
  setWindowTitle(title);
  setFont(ArialFont());
  heading_ = new QLabel(heading, this);
  heading_->setObjectName(QStringLiteral("LinesHeading"));
  heading_->setWordWrap(true);
  lines_ = new QPlainTextEdit(this);
  lines_->setObjectName(QStringLiteral("LinesText"));
  lines_->setReadOnly(true);
  lines_->setLineWrapMode(QPlainTextEdit::NoWrap);
  lines_->setPlainText(lines.join(QLatin1Char('\n')));
  lines_->setVisible(!lines.isEmpty());

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  if (!action.isEmpty()) {
    actionBtn_ = new QPushButton(action, this);
    actionBtn_->setObjectName(QStringLiteral("LinesActionBtn"));
    actionBtn_->setDefault(true);
    connect(actionBtn_, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(actionBtn_);
  }
  closeBtn_ = new QPushButton(action.isEmpty() ? QStringLiteral("Zamknij") : QStringLiteral("Anuluj"), this);
  closeBtn_->setObjectName(QStringLiteral("LinesCloseBtn"));
  connect(closeBtn_, &QPushButton::clicked, this, &QDialog::reject);
  buttons->addWidget(closeBtn_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading_);
  layout->addWidget(lines_, 1);
  layout->addLayout(buttons);
  resize(lines.isEmpty() ? 420 : 640, lines.isEmpty() ? 120 : 360);
}

}  // namespace orvu
