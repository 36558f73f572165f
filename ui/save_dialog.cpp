#include "ui/save_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QTreeView>
#include <utility>

namespace {

const QString& ReportSuffix() {
  static const QString suffix = QStringLiteral("txt");
  return suffix;
}

}  // namespace

namespace orvu {

QString WithReportSuffix(const QString& path) {
  const QString name = QFileInfo(path).fileName();
  const qsizetype dot = name.lastIndexOf(u'.');
  const bool hasExtension =
      dot >= 0 && dot + 1 < name.size() && !name.sliced(dot + 1).contains(u' ');
  if (name.isEmpty() || hasExtension) return path;
  return path + (name.endsWith(u'.') ? QString() : QStringLiteral(".")) + ReportSuffix();
}

void FitFileList(QFileDialog& dialog) {
  dialog.resize(720, 420);
  if (auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
    QHeaderView* header = view->header();
    for (int column = 1; column < header->count(); ++column)
      header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
  }
}

}  // namespace orvu

std::optional<QString> SaveFileDialog::Run(QWidget* parent, const QString& presetName) {
  lastPreset_ = presetName;
  if (armed_) {
    armed_ = false;
    return std::exchange(next_, std::nullopt);
  }

  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(QStringLiteral("Konfiguracja kontrolera (*.txt)"));
  dialog.setDefaultSuffix(ReportSuffix());
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setDirectory(QDir::currentPath());
  dialog.selectFile(presetName);
  orvu::FitFileList(dialog);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  // Qt's own default suffix skips every name with a dot in it.
  return orvu::WithReportSuffix(chosen.first());
}
