#include "ui/device_panel.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <algorithm>

#include "comm/identity.h"
#include "ui/compact_combo_style.h"
#include "ui/controls.h"
#include "ui/qtext.h"
#include "ui/value_list_model.h"

namespace orvu {

DevicePanel::DevicePanel(QWidget* parent) : QGroupBox(parent) {
  setObjectName(QStringLiteral("SelDevBox"));
  setGeometry(16, 232, 281, 345);
  DevListBox = LineList(new QListWidget(this), "DevListBox", 16, 24, 249, 188, 14);
  HelpDevBtn = Button("HelpDevBtn", QStringLiteral("Pomoc"), this, 32, 224, 65, 25);
  DelLostBtn = Disabled(
      Button("DelLostBtn", QStringLiteral("Usuń nieaktywne"), this, 144, 224, 105, 25));

  GroupBox6 = Group("GroupBox6", QStringLiteral(" Zastępowanie "), this, 8, 264, 265, 73);
  ReplLb = Disabled(Label("ReplLb", QStringLiteral("Stary                Nowy"), GroupBox6, 32, 20));
  ReplCb = Disabled(ValueList("ReplCb", GroupBox6, 16, 40, 153,
                              [this](uint16_t pair) { return PairShown(pair); }));
  // Two device names of 9 characters and the arrow fill the designed width in Arial; the
  // application style's padding would cut the new device's name.
  UseCompactStyle(ReplCb);
  ReplaceBtn =
      Disabled(Button("ReplaceBtn", QStringLiteral("Zastąp"), GroupBox6, 184, 32, 65, 25));

  setTabOrder(DelLostBtn, HelpDevBtn);
  setTabOrder(HelpDevBtn, GroupBox6);
  setTabOrder(GroupBox6, ReplaceBtn);
  setTabOrder(ReplaceBtn, ReplCb);
  setTabOrder(ReplCb, DevListBox);

  connect(HelpDevBtn, &QPushButton::clicked, this, &DevicePanel::helpAsked);
  connect(DelLostBtn, &QPushButton::clicked, this, &DevicePanel::deleteLostAsked);
  connect(ReplaceBtn, &QPushButton::clicked, this, [this] { AskReplace(); });
}

std::string DevicePanel::PairShown(uint16_t pair) const {
  const auto at = std::find(pairs_.begin(), pairs_.end(), pair);
  return at == pairs_.end() ? std::string() : pairTexts_[static_cast<size_t>(at - pairs_.begin())];
}

void DevicePanel::Show(const CtrlConfig& cfg, const DevView* controller) {
  setTitle(cfg.listedCount != 0 && controller
               ? QStringLiteral(" ") + QtText(DevName(controller->id)) + QStringLiteral(" ")
               : QString());

  DevListBox->clear();
  QStringList lines;
  lines.reserve(cfg.listedCount);
  for (int i = 0; i < cfg.listedCount && i < kMaxDevices; ++i) {
    uint32_t index = cfg.listed[i];
    if (index < static_cast<uint32_t>(kMaxDevices)) lines << QtText(DevListLine(cfg.devices[index]));
  }
  DevListBox->addItems(lines);

  DelLostBtn->setEnabled(HasInactive(cfg));

  pairs_.resize(kMaxReplacePairs);
  pairs_.resize(static_cast<size_t>(ReplacePairs(cfg, pairs_.data())));
  pairTexts_.clear();
  for (ReplacePair pair : pairs_) pairTexts_.push_back(PairText(cfg, pair));
  static_cast<ValueListModel*>(ReplCb->model())->Assign(pairs_.data(), pairs_.size());
  const bool offered = !pairs_.empty();
  ReplCb->setEnabled(offered);
  ReplLb->setEnabled(offered);
  ReplaceBtn->setEnabled(offered);
  ReplCb->setCurrentIndex(offered ? 0 : -1);
}

void DevicePanel::AskReplace() {
  const int chosen = static_cast<ValueListModel*>(ReplCb->model())->ValueAt(ReplCb->currentIndex());
  emit replaceAsked(chosen, Cp1250Text(ReplCb->currentText()));
}

}  // namespace orvu
