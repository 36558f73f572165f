#include "ui/ethernet_panel.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringList>
#include <algorithm>
#include <variant>

#include "comm/identity.h"

#include "ui/controls.h"
#include "ui/eth_list_box.h"
#include "ui/qtext.h"

namespace orvu {

namespace {
constexpr int kListItemHeight = 14;
}  // namespace

EthernetPanel::EthernetPanel(QWidget* parent) : QGroupBox(QStringLiteral(" Ethernet "), parent) {
  setObjectName(QStringLiteral("SelBox"));
  setGeometry(16, 8, 281, 209);
  Label18 = Label("Label18", QStringLiteral("Urządzenie       Adres IP          Stan"), this, 28, 20);
  auto* ethList = new EthListBox(this);
  ethList->onChoose = [this] { ChooseSelected(); };
  ethList->onMenu = [this](int row, QPoint global) { OpenMenu(row, global); };
  EthLstBox = static_cast<EthListBox*>(LineList(ethList, "EthLstBox", 24, 40, 233, 113, kListItemHeight));
  HelpEthBtn = Button("HelpEthBtn", QStringLiteral("Pomoc"), this, 24, 168, 57, 25);
  WwwBtn = Button("WwwBtn", QStringLiteral("www"), this, 88, 168, 57, 25);
  SearchEthBtn = Button("SearchEthBtn", QStringLiteral("Przeszukaj sieć"), this, 152, 168, 105, 25);

  setTabOrder(EthLstBox, HelpEthBtn);
  setTabOrder(HelpEthBtn, SearchEthBtn);
  setTabOrder(SearchEthBtn, WwwBtn);

  connect(HelpEthBtn, &QPushButton::clicked, this, &EthernetPanel::helpAsked);
  connect(WwwBtn, &QPushButton::clicked, this, &EthernetPanel::pageAsked);
  connect(SearchEthBtn, &QPushButton::clicked, this, &EthernetPanel::searchAsked);
}

void EthernetPanel::ChooseSelected() {
  // The selected line, not merely the current one: a Ctrl-click can leave the current line
  // unselected, and then nothing is chosen.
  const QList<QListWidgetItem*> selected = EthLstBox->selectedItems();
  if (selected.isEmpty()) return;
  const int row = EthLstBox->row(selected.first());
  if (row < 0) return;
  chosenRow_ = row;
  emit chosen(row);
}

void EthernetPanel::ShowChanges(const std::vector<ListChange>& changes, bool choicePending) {
  for (const ListChange& change : changes)
    std::visit([&](const auto& what) { ShowChange(what, choicePending); }, change);
}

void EthernetPanel::ShowChange(const LineRewritten& rewritten, bool) {
  if (QListWidgetItem* item = EthLstBox->item(rewritten.row)) item->setText(QtText(rewritten.line));
}

void EthernetPanel::ShowChange(const ListRebuilt& rebuilt, bool choicePending) {
  QSignalBlocker quiet(EthLstBox);
  EthLstBox->clear();
  QStringList lines;
  lines.reserve(static_cast<qsizetype>(rebuilt.lines.size()));
  for (const std::string& line : rebuilt.lines) lines << QtText(line);
  EthLstBox->addItems(lines);
  // A choice the user made that the worker has not reached yet stays on the screen.
  const int row = choicePending && chosenRow_ < EthLstBox->count() ? chosenRow_ : rebuilt.row;
  if (row >= 0) EthLstBox->setCurrentRow(row);
}

void EthernetPanel::ShowCurrent(int row) {
  if (EthLstBox->currentRow() == row || row >= EthLstBox->count()) return;
  QSignalBlocker quiet(EthLstBox);
  EthLstBox->setCurrentRow(row);
}

void EthernetPanel::ShowDevices(const DevSetView& devices) {
  readable_.assign(static_cast<size_t>(std::max(devices.count, 0)), false);
  for (int i = 0; i < devices.count && i < UdpDevSet::kCapacity; ++i) {
    const DevView& dev = devices.dev[i];
    readable_[static_cast<size_t>(i)] =
        dev.online && IsController(dev.id) && ConfigReadable(ModeOf(dev.mode));
  }
}

void EthernetPanel::OpenMenu(int row, QPoint global) {
  const bool readable = row >= 0 && static_cast<size_t>(row) < readable_.size() &&
                        readable_[static_cast<size_t>(row)];
  QMenu menu(this);
  menu.setObjectName(QStringLiteral("EthMenu"));
  auto item = [&](const char* name, const QString& text, bool enabled) {
    QAction* action = menu.addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    action->setEnabled(enabled);
    return action;
  };
  QAction* backup = item("BackupAct", QStringLiteral("Kopia ustawień…"), readable);
  QAction* restore = item("RestoreAct", QStringLiteral("Przywróć z kopii…"), readable);
  QAction* compare = item("CompareAct", QStringLiteral("Porównaj z kopią…"), readable);
  menu.addSeparator();
  QAction* addresses = item("AddressesAct", QStringLiteral("Adresy kontrolerów za routerem…"), true);
  QAction* chosen = menu.exec(global);
  // Told after the menu has closed, so the dialogs that follow stand on the window.
  if (chosen == backup) emit backupAsked(row);
  else if (chosen == restore) emit restoreAsked(row);
  else if (chosen == compare) emit compareAsked(row);
  else if (chosen == addresses) emit addressesAsked();
}

void EthernetPanel::ShowBusy(bool searching, bool pageAvailable) {
  SearchEthBtn->setEnabled(!searching);
  WwwBtn->setEnabled(pageAvailable);
}

}  // namespace orvu
