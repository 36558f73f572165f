#include <QSaveFile>
#include <cerrno>
#include <system_error>

#include "model/report.h"
#include "ui/report_action.h"

namespace orvu {

namespace {

// The errno of the call that just failed inside QSaveFile; a failure Qt found by itself (the
// name is a folder) sets none.
[[noreturn]] void Fail(QSaveFile& file, int error, int fallback) {
  file.cancelWriting();
  throw std::system_error(error ? error : fallback, std::generic_category(),
                          file.fileName().toStdString());
}

}  // namespace

// QSaveFile writes beside the target and renames into place only after the last byte and the
// close succeeded: a failed report leaves neither a truncated file nor a damaged older one.
void WriteReport(const QString& path, const std::string& location, const CtrlConfig& cfg,
                 const std::string& controllerName, QDate date) {
  const std::string text =
      ReportText(cfg, controllerName, location, ReportDate{date.year(), date.month(), date.day()});

  QSaveFile file(path);
  errno = 0;
  if (!file.open(QIODevice::WriteOnly)) Fail(file, errno, EISDIR);
  const qint64 size = static_cast<qint64>(text.size());
  errno = 0;
  if (file.write(text.data(), size) != size) Fail(file, errno, EIO);
  // Flushed before the commit: a commit whose buffered bytes find the disk full still renames
  // the short file into place and reports success.
  errno = 0;
  if (!file.flush()) Fail(file, errno, EIO);
  errno = 0;
  if (!file.commit()) Fail(file, errno, EIO);
}

}  // namespace orvu
