#include <QSaveFile>

#include "model/report.h"
#include "ui/report_action.h"

namespace orvu {

namespace {

QString FailureText(const QString& path, const QString& reason) {
  return QStringLiteral("Nie udało się zapisać raportu w pliku:\n%1\n\n%2").arg(path, reason);
}

}  // namespace

// QSaveFile writes beside the target and renames into place only after the last byte and the
// close succeeded: a failed report leaves neither a truncated file nor a damaged older one.
QString WriteReport(const QString& path, const std::string& location, const CtrlConfig& cfg,
                    const std::string& controllerName, QDate date) {
  const std::string text =
      ReportText(cfg, controllerName, location, ReportDate{date.year(), date.month(), date.day()});

  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return FailureText(path, file.errorString());
  const qint64 size = static_cast<qint64>(text.size());
  if (file.write(text.data(), size) != size) {
    const QString reason = file.errorString();
    file.cancelWriting();
    return FailureText(path, reason);
  }
  if (!file.commit()) return FailureText(path, file.errorString());
  return {};
}

}  // namespace orvu
