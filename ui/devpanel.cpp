// The controller device panel: the bus devices of the current controller, removal of the
// inactive ones and the transfer of an inactive device's settings to a new one.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <span>
#include <vector>

#include "comm/identity.h"
#include "ui/compact_combo_style.h"
#include "ui/controls.h"
#include "ui/mainwin.h"
#include "ui/qtext.h"
#include "ui/value_list_model.h"

using namespace orvu;

namespace {

// The replacement pairs the model offers, in the order produced; one buffer of
// kMaxReplacePairs, valid until the next call.
std::span<const ReplacePair> OfferedPairs(const CtrlConfig& cfg) {
  static std::vector<ReplacePair> pairs(kMaxReplacePairs);
  return {pairs.data(), static_cast<size_t>(ReplacePairs(cfg, pairs.data()))};
}

}  // namespace

void TMainWin::BuildDevPanel() {
  SelDevBox = Group("SelDevBox", QString(), this, 16, 232, 281, 345);
  DevListBox = LineList(new QListWidget(SelDevBox), "DevListBox", 16, 24, 249, 188, 14);
  HelpDevBtn = Button("HelpDevBtn", QStringLiteral("Pomoc"), SelDevBox, 32, 224, 65, 25);
  DelLostBtn = Disabled(
      Button("DelLostBtn", QStringLiteral("Usuń nieaktywne"), SelDevBox, 144, 224, 105, 25));

  GroupBox6 = Group("GroupBox6", QStringLiteral(" Zastępowanie "), SelDevBox, 8, 264, 265, 73);
  ReplLb = Disabled(Label("ReplLb", QStringLiteral("Stary                Nowy"), GroupBox6, 32, 20));
  ReplCb = Disabled(ValueList("ReplCb", GroupBox6, 16, 40, 153,
                              [this](uint16_t pair) { return PairText(Cfg, pair); }));
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

  connect(HelpDevBtn, &QPushButton::clicked, this, [this] { HelpDevBtnClick(); });
  connect(DelLostBtn, &QPushButton::clicked, this, [this] { DelLostBtnClick(); });
  connect(ReplaceBtn, &QPushButton::clicked, this, [this] { ReplaceBtnClick(); });
}

void TMainWin::RefreshDevPanel() {
  const DevView* dev = DevSet.Current();
  SelDevBox->setTitle(Cfg.listedCount != 0 && dev
                          ? QStringLiteral(" ") + QtText(DevName(dev->id)) + QStringLiteral(" ")
                          : QString());

  DevListBox->clear();
  QStringList lines;
  lines.reserve(Cfg.listedCount);
  for (int i = 0; i < Cfg.listedCount && i < kMaxDevices; ++i) {
    uint32_t index = Cfg.listed[i];
    if (index < static_cast<uint32_t>(kMaxDevices)) lines << QtText(DevListLine(Cfg.devices[index]));
  }
  DevListBox->addItems(lines);

  DelLostBtn->setEnabled(HasInactive(Cfg));

  const std::span<const ReplacePair> pairs = OfferedPairs(Cfg);
  ListModel(ReplCb)->Assign(pairs.data(), pairs.size());
  const bool offered = !pairs.empty();
  ReplCb->setEnabled(offered);
  ReplLb->setEnabled(offered);
  ReplaceBtn->setEnabled(offered);
  ReplCb->setCurrentIndex(offered ? 0 : -1);

  RefreshPassage();
}

void TMainWin::ReplaceBtnClick() {
  // The pair travels with the item the user chose; the worker sends it only if the
  // controller's list still offers it with the same text.
  const int chosen = ListModel(ReplCb)->ValueAt(ReplCb->currentIndex());
  StartJob(JobKind::kReread, [chosen, shown = Cp1250Text(ReplCb->currentText())](CommState& state) {
    return ReplaceJob(state, chosen, shown);
  });
}
