// The file dialogs of the Ethernet list's menu: where a backup is saved, and which backup is
// restored or compared. A seam lets tests answer them without a person.
#pragma once
#include <QString>
#include <optional>

class QWidget;

namespace orvu {

class BackupFileDialog {
 public:
  enum class Purpose { kSave, kOpen };
  // The chosen path, or nullopt when cancelled. kSave proposes presetName in the current
  // folder and appends ".json" to a name typed without it; kOpen shows existing files only.
  std::optional<QString> Run(QWidget* parent, Purpose purpose, const QString& presetName = {});

  // Test seam: the next Run() returns this answer at once instead of showing a dialog.
  void SetNextAnswer(std::optional<QString> answer) {
    next_ = std::move(answer);
    armed_ = true;
  }

 private:
  std::optional<QString> next_;
  bool armed_ = false;
};

}  // namespace orvu
