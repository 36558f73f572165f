#include <QFile>
#include <system_error>

#include "model/replacing_file.h"
#include "model/report.h"
#include "ui/report_action.h"

namespace orvu {

namespace {

QString FailureText(const QString& path, const QString& reason) {
  return QStringLiteral("Nie udało się zapisać raportu w pliku:\n%1\n\n%2").arg(path, reason);
}

}  // namespace

QString WriteReport(const QString& path, const std::string& location, const CtrlConfig& cfg,
                    const std::string& controllerName, QDate date) {
  const std::string text =
      ReportText(cfg, controllerName, location, ReportDate{date.year(), date.month(), date.day()});
  try {
    WriteFileReplacing(QFile::encodeName(path).toStdString(), text);
  } catch (const std::system_error& e) {
    return FailureText(path, QString::fromLocal8Bit(e.code().message()));
  }
  return {};
}

}  // namespace orvu
