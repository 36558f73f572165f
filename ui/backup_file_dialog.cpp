#include "ui/backup_file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <utility>

#include "ui/save_dialog.h"

namespace orvu {

std::optional<QString> BackupFileDialog::Run(QWidget* parent, Purpose purpose,
                                             const QString& presetName) {
  if (armed_) {
    armed_ = false;
    return std::exchange(next_, std::nullopt);
  }
  QFileDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("BackupFileDlg"));
  dialog.setNameFilter(QStringLiteral("Kopia ustawień kontrolera (*.json)"));
  dialog.setDirectory(QDir::currentPath());
  if (purpose == Purpose::kSave) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("json"));
    dialog.selectFile(presetName);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  FitFileList(dialog);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.first();
}

}  // namespace orvu
