// The Ethernet group: the list of network devices, one line each, and its buttons. It shows
// the list's changes it is given and tells what the user asked for.
#pragma once
#include <QGroupBox>
#include <vector>

#include "ui/comm_outcome.h"
#include "ui/devset_view.h"

class QLabel;
class QPushButton;

namespace orvu {

class EthListBox;

class EthernetPanel : public QGroupBox {
  Q_OBJECT
 public:
  explicit EthernetPanel(QWidget* parent);

  // The list's changes in order. While choicePending (the user chose a line the worker has not
  // reached yet), a rebuilt list keeps that line selected.
  void ShowChanges(const std::vector<ListChange>& changes, bool choicePending);
  // Marks row as the current device's line without choosing it.
  void ShowCurrent(int row);
  // searching: "Przeszukaj sieć" waits for the search under way; pageAvailable: "www" can open
  // a page (there is a device, and no page is being looked up).
  void ShowBusy(bool searching, bool pageAvailable);
  // What the lines stand for: the menu offers a controller's configuration only on the lines of
  // controllers that answered and let it be read.
  void ShowDevices(const DevSetView& devices);

 signals:
  void chosen(int row);  // a click on a line (the current one too, which reads it again)
  void searchAsked();
  void pageAsked();
  void helpAsked();
  // The menu's items, on the line they were chosen on.
  void backupAsked(int row);
  void restoreAsked(int row);
  void compareAsked(int row);
  void addressesAsked();

 private:
  void ChooseSelected();
  void OpenMenu(int row, QPoint global);
  void ShowChange(const ListRebuilt& rebuilt, bool choicePending);
  void ShowChange(const LineRewritten& rewritten, bool choicePending);

  QLabel* Label18;
  EthListBox* EthLstBox;
  QPushButton* HelpEthBtn;
  QPushButton* WwwBtn;
  QPushButton* SearchEthBtn;
  int chosenRow_ = -1;  // the line the user chose last
  std::vector<bool> readable_;  // by row: a controller whose configuration can be read
};

}  // namespace orvu
