#include "ui/report_action.h"

#include <QLineEdit>
#include <exception>
#include <optional>

#include "comm/identity.h"
#include "ui/lokdlg.h"
#include "ui/qtext.h"
#include "ui/report_name.h"
#include "ui/save_dialog.h"

namespace orvu {

namespace {

// The current controller's name, or nothing while the set names no current device. Read
// afresh after each modal loop: the poll tick may reorder the set meanwhile.
std::optional<std::string> CurrentControllerName(const DevSetView& devSet) {
  const DevView* current = devSet.Current();
  if (!current) return std::nullopt;
  return DevName(current->id);
}

}  // namespace

void RunReportAction(QWidget* parent, TLokalizDlg& lokalizDlg, SaveFileDialog& saveDlg,
                     const CtrlConfig& cfg, const DevSetView& devSet,
                     const std::function<void(const QString&)>& showError, QDate today) {
  const std::optional<std::string> proposedFor = CurrentControllerName(devSet);
  if (!proposedFor) return;
  const QString presetName = ReportFileName(today.isValid() ? today : QDate::currentDate(),
                                            FileDateSeparator(QLocale::system()), *proposedFor);

  if (lokalizDlg.exec() != QDialog::Accepted) return;
  const std::optional<QString> path = saveDlg.Run(parent, presetName);
  if (!path) return;

  // The report shows the model and the device set as they are when the save dialog closes.
  const std::optional<std::string> controllerName = CurrentControllerName(devSet);
  if (!controllerName) {
    showError(QStringLiteral("Brak wybranego kontrolera - raport nie został zapisany."));
    return;
  }
  try {
    const QString failure = WriteReport(*path, Cp1250Text(lokalizDlg.LokEdit->text()), cfg,
                                        *controllerName,
                                        today.isValid() ? today : QDate::currentDate());
    if (!failure.isEmpty()) showError(failure);
  } catch (const std::exception& e) {
    showError(QtText(e.what()));
  }
}

}  // namespace orvu
