#include <QFile>

#include "model/replacing_file.h"
#include "model/report.h"
#include "ui/report_action.h"

namespace orvu {

// The writer's std::system_error goes on to the report action, which tells its cause.
void WriteReport(const QString& path, const std::string& location, const CtrlConfig& cfg,
                 const std::string& controllerName, QDate date) {
  const std::string text =
      ReportText(cfg, controllerName, location, ReportDate{date.year(), date.month(), date.day()});
  WriteFileReplacing(QFile::encodeName(path).toStdString(), text);
}

}  // namespace orvu
