// The report's save-file dialog, with a seam so that tests can answer it without a person.
#pragma once
#include <QString>
#include <optional>

class QFileDialog;
class QWidget;

namespace orvu {

// Qt's file list gives the size, type and date columns fixed widths that cut Polish type names
// and dates short; sized to their contents they show whole, in a dialog wide enough for them.
void FitFileList(QFileDialog& dialog);

// The file name with ".txt" appended when it has no extension of its own. A date separator
// '.' in the proposed name ("2024.05.07 K46_00125") does not count as one: an extension holds
// no space.
QString WithReportSuffix(const QString& path);

}  // namespace orvu

class SaveFileDialog {
 public:
  // Shows the dialog with the preset file name; the chosen path, or nullopt when cancelled.
  // ".txt" is appended to a name typed without extension; an existing file is replaced
  // without a question.
  std::optional<QString> Run(QWidget* parent, const QString& presetName);

  // Test seam: the next Run() returns this answer at once instead of showing a dialog.
  void SetNextAnswer(std::optional<QString> answer) { next_ = answer; armed_ = true; }
  // The preset name of the last Run().
  QString LastPreset() const { return lastPreset_; }

 private:
  std::optional<QString> next_;
  bool armed_ = false;
  QString lastPreset_;
};
