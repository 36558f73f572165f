// The "Raport" action of the passage group: location dialog, save dialog, then the file.
#pragma once
#include <QDate>
#include <QString>
#include <functional>

#include "ui/devset_view.h"
#include "model/ctrlcfg.h"

class TLokalizDlg;
class SaveFileDialog;
class QWidget;

namespace orvu {

// Does nothing with an empty device set. showError gets the text of any failure (the file
// cannot be written, ...). A valid today fixes the date; otherwise the clock is read for the
// proposed name at the click and again for the report when the file is written.
void RunReportAction(QWidget* parent, TLokalizDlg& lokalizDlg, SaveFileDialog& saveDlg,
                     const CtrlConfig& cfg, const DevSetView& devSet,
                     const std::function<void(const QString&)>& showError,
                     QDate today = QDate());

// Writes the report file as model/replacing_file.h writes files: whole through a temporary
// file renamed into place, or in place where the folder allows no new file. Returns an empty
// string, or the text of the failure.
QString WriteReport(const QString& path, const std::string& location, const CtrlConfig& cfg,
                    const std::string& controllerName, QDate date);

}  // namespace orvu
