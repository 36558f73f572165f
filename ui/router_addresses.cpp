#include "ui/router_addresses.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include "comm/address_text.h"
#include "comm/endpoint.h"
#include "ui/error_texts.h"
#include "ui/fonts.h"

namespace orvu {

namespace {

const QString kSettingsKey = QStringLiteral("controllersBehindRouter");

QSettings UserSettings() { return QSettings(QStringLiteral("orvuq46"), QStringLiteral("orvuq46")); }

}  // namespace

QStringList AddressLines(const QString& text) {
  QStringList lines;
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    const QString trimmed = line.trimmed();
    if (!trimmed.isEmpty()) lines << trimmed;
  }
  return lines;
}

std::optional<QString> AddressesRefused(const QStringList& lines) {
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const AddressProblem problem = ParseAddressText(lines[i].toStdString()).problem;
    if (problem != AddressProblem::kNone) return AddressRefusedText(int(i) + 1, lines[i], problem == AddressProblem::kBadPort);
  }
  return std::nullopt;
}

AskedDirectly AddressTargets(const QStringList& lines) {
  AskedDirectly targets;
  for (const QString& line : lines) {
    const AddressText address = ParseAddressText(line.toStdString());
    if (address.problem == AddressProblem::kNone)
      targets.emplace_back(address.ip, address.port.value_or(kUdpPort));
  }
  return targets;
}

QStringList SavedAddresses() { return UserSettings().value(kSettingsKey).toStringList(); }

void SaveAddresses(const QStringList& lines) {
  QSettings settings = UserSettings();
  settings.setValue(kSettingsKey, lines);
  settings.sync();
}

AddressesDialog::AddressesDialog(QWidget* parent, const QStringList& lines,
                                 std::function<void(const QString&)> refuse)
    : QDialog(parent), refuse_(std::move(refuse)) {
  setObjectName(QStringLiteral("AddressesDlg"));
  setWindowTitle(QStringLiteral("Adresy kontrolerów za routerem"));
  setFont(ArialFont());
  auto* label = new QLabel(
      QStringLiteral("Kontrolery, do których nie dociera rozgłoszenie (za routerem), każdy w "
                     "osobnym wierszu: adres IP albo adres:port.\nKażde przeszukanie sieci pyta "
                     "je także bezpośrednio."),
      this);
  label->setWordWrap(true);
  edit_ = new QPlainTextEdit(this);
  edit_->setObjectName(QStringLiteral("AddressesEd"));
  edit_->setPlainText(lines.join(QLatin1Char('\n')));
  edit_->installEventFilter(this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("AddressesOkBtn"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Anuluj"));
  connect(buttons, &QDialogButtonBox::accepted, this, &AddressesDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &AddressesDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(edit_, 1);
  layout->addWidget(buttons);
  resize(420, 260);
}

QStringList AddressesDialog::Lines() const { return AddressLines(edit_->toPlainText()); }

void AddressesDialog::accept() {
  if (const std::optional<QString> refused = AddressesRefused(Lines())) {
    if (refuse_) refuse_(*refused);
    return;
  }
  QDialog::accept();
}

bool AddressesDialog::eventFilter(QObject* watched, QEvent* event) {
  // Enter makes a new line in the list; Ctrl+Enter accepts, as OK does.
  if (watched == edit_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        (key->modifiers() & Qt::ControlModifier)) {
      accept();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace orvu
