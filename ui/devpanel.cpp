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
  SelDevBox = new QGroupBox(QString(), this);
  SelDevBox->setObjectName(QStringLiteral("SelDevBox"));
  SelDevBox->setGeometry(16, 232, 281, 345);

  DevListBox = new QListWidget(SelDevBox);
  DevListBox->setObjectName(QStringLiteral("DevListBox"));
  DevListBox->setGeometry(16, 24, 249, 188);
  DevListBox->setSelectionMode(QAbstractItemView::SingleSelection);
  DevListBox->setUniformItemSizes(true);
  DevListBox->setStyleSheet(QStringLiteral("QListWidget::item { height: 14px; }"));

  HelpDevBtn = new QPushButton(QStringLiteral("Pomoc"), SelDevBox);
  HelpDevBtn->setObjectName(QStringLiteral("HelpDevBtn"));
  HelpDevBtn->setGeometry(32, 224, 65, 25);

  DelLostBtn = new QPushButton(QStringLiteral("Usuń nieaktywne"), SelDevBox);
  DelLostBtn->setObjectName(QStringLiteral("DelLostBtn"));
  DelLostBtn->setGeometry(144, 224, 105, 25);
  DelLostBtn->setEnabled(false);

  GroupBox6 = new QGroupBox(QStringLiteral(" Zastępowanie "), SelDevBox);
  GroupBox6->setObjectName(QStringLiteral("GroupBox6"));
  GroupBox6->setGeometry(8, 264, 265, 73);

  ReplLb = new QLabel(QStringLiteral("Stary                Nowy"), GroupBox6);
  ReplLb->setObjectName(QStringLiteral("ReplLb"));
  ReplLb->move(32, 20);
  ReplLb->adjustSize();
  ReplLb->setEnabled(false);

  ReplCb = new QComboBox(GroupBox6);
  ReplCb->setObjectName(QStringLiteral("ReplCb"));
  ReplCb->setGeometry(16, 40, 153, 22);
  ReplCb->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  ReplCb->setModel(new ValueListModel(
      [this](uint16_t pair) { return PairText(Cfg, pair); }, ReplCb));
  ReplCb->setEnabled(false);

  ReplaceBtn = new QPushButton(QStringLiteral("Zastąp"), GroupBox6);
  ReplaceBtn->setObjectName(QStringLiteral("ReplaceBtn"));
  ReplaceBtn->setGeometry(184, 32, 65, 25);
  ReplaceBtn->setEnabled(false);

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
