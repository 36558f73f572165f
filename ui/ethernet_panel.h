// The Ethernet group: the list of network devices, one line each, and its buttons. It shows
// the list's changes it is given and tells what the user asked for.
#pragma once
#include <QGroupBox>
#include <vector>

#include "ui/comm_outcome.h"

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

 signals:
  void chosen(int row);  // a click on a line (the current one too, which reads it again)
  void searchAsked();
  void pageAsked();
  void helpAsked();

 private:
  void ChooseSelected();
  void ShowChange(const ListRebuilt& rebuilt, bool choicePending);
  void ShowChange(const LineRewritten& rewritten, bool choicePending);

  QLabel* Label18;
  EthListBox* EthLstBox;
  QPushButton* HelpEthBtn;
  QPushButton* WwwBtn;
  QPushButton* SearchEthBtn;
  int chosenRow_ = -1;  // the line the user chose last
};

}  // namespace orvu
