// The controller's device panel: the bus devices of the current controller, removal of the
// inactive ones and the transfer of an inactive device's settings to a new one. It shows the
// configuration it is given and tells what the user asked for.
#pragma once
#include <QGroupBox>
#include <string>
#include <vector>

#include "model/ctrlcfg.h"
#include "ui/devset_view.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace orvu {

class DevicePanel : public QGroupBox {
  Q_OBJECT
 public:
  explicit DevicePanel(QWidget* parent);

  // The bus devices of cfg, read from controller (nullptr: no current device), and the
  // replacements cfg offers.
  void Show(const CtrlConfig& cfg, const DevView* controller);

 signals:
  void deleteLostAsked();
  // The pair the user chose and its text as shown (Windows-1250): the worker sends it only if
  // the controller still offers it with the same text. pair is -1 when none was chosen.
  void replaceAsked(int pair, const std::string& shownText);
  void helpAsked();

 private:
  void AskReplace();
  std::string PairShown(uint16_t pair) const;

  QListWidget* DevListBox;
  QPushButton* HelpDevBtn;
  QPushButton* DelLostBtn;
  QGroupBox* GroupBox6;
  QLabel* ReplLb;
  QComboBox* ReplCb;
  QPushButton* ReplaceBtn;
  // The pairs offered and their texts, as the last configuration shown had them.
  std::vector<ReplacePair> pairs_;
  std::vector<std::string> pairTexts_;
};

}  // namespace orvu
