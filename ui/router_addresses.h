// The controllers behind a router that every search also asks directly, one "ADDR[:PORT]" a
// line, as orvuq46-cli's --address: checked, remembered across runs in the user's settings
// (~/.config/orvuq46/orvuq46.conf), and edited in a dialog.
#pragma once
#include <QDialog>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QPlainTextEdit;

namespace orvu {

using AskedDirectly = std::vector<std::pair<std::string, uint16_t>>;

// The lines that say something, without the spaces around them.
QStringList AddressLines(const QString& text);
// Why the lines cannot be taken: the first bad line with its reason; nothing when all are good.
std::optional<QString> AddressesRefused(const QStringList& lines);
// The targets of good lines, on the controllers' port where a line names none.
AskedDirectly AddressTargets(const QStringList& lines);

QStringList SavedAddresses();
void SaveAddresses(const QStringList& lines);

// The dialog: OK (or Ctrl+Enter) takes the lines only when every one is good; a bad one is
// told through refuse and the dialog stays open, nothing saved.
class AddressesDialog : public QDialog {
  Q_OBJECT
 public:
  AddressesDialog(QWidget* parent, const QStringList& lines,
                  std::function<void(const QString&)> refuse);
  QStringList Lines() const;
  void accept() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPlainTextEdit* edit_;
  std::function<void(const QString&)> refuse_;
};

}  // namespace orvu
