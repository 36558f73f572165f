// The controls of the passage group " Przejścia " and their wiring. The rows and groups that
// the elevator layout keeps hidden are built like the visible ones, so the model stays whole.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

#include "ui/controls.h"
#include "ui/passage_editor.h"
#include "ui/multi_row_tab_bar.h"
#include "ui/qtext.h"
#include "ui/value_list_model.h"

namespace orvu {

namespace {

QComboBox* RefList(const char* name, QWidget* parent, int x, int y, int w,
                   std::function<std::string(uint16_t)> text) {
  return Disabled(ValueList(name, parent, x, y, w, std::move(text)));
}

QLineEdit* TimeEdit(const char* name, QWidget* parent, int x, int y) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setGeometry(x, y, 41, 21);
  edit->setMaxLength(4);
  edit->setEnabled(false);
  return edit;
}

QPushButton* EditorButton(const char* name, const QString& text, QWidget* parent, int x, int y) {
  return Button(name, text, parent, x, y, 75, 25);
}

}  // namespace

PassageEditor::PassageEditor(QWidget* parent) : QGroupBox(QStringLiteral(" Przejścia "), parent) {
  setObjectName(QStringLiteral("DoorGrpBox"));
  setGeometry(312, 8, 519, 569);
  Clear(cfg_);
  freeIo_.resize(kMaxFreeIo);
  scratch_.reserve(kMaxFreeIo + kMaxPassages + 2);
  BuildControls();
  ConnectHandlers();
}

void PassageEditor::BuildControls() {
  auto refText = [this](const char* label) {
    return [this, label](uint16_t ref) -> std::string {
      static const std::string dashes = "  -----";
      return ref == kNoRef ? dashes : IoRefText(cfg_, ref, label);
    };
  };
  const int listX = 120, listW = 260, ncX = 392;

  DoorTc = new MultiRowTabBar(this);
  DoorTc->setObjectName(QStringLiteral("DoorTc"));
  DoorTc->setGeometry(12, 20, 495, DoorTc->heightForWidth(495));
  DoorTc->TakeCtrlTabIn(this);
  DoorTc->setEnabled(false);
  // The current passage's controls stand on a page that follows the tabs' rows down.
  doorPage_ = new QWidget(this);
  doorPage_->setObjectName(QStringLiteral("DoorPage"));
  QWidget* page = doorPage_;

  RygGrpBox = Group("RygGrpBox", QStringLiteral(" Winda "), page, 12, 8, 495, 80);
  RygielLb = Disabled(Label("RygielLb", QStringLiteral("orvu-M17:"), RygGrpBox, 16, 24));
  RygielCb = RefList("RygielCb", RygGrpBox, listX, 20, listW, refText("Out"));
  RygielNC = Disabled(Check("RygielNC", QStringLiteral("NC"), RygGrpBox, ncX, 22));
  RygielNC->setVisible(false);
  OpenDetectLb = Disabled(Label("OpenDetectLb", QStringLiteral("Wybór piętra:"), RygGrpBox, 16, 52));
  OpenDetectCb = RefList("OpenDetectCb", RygGrpBox, listX, 48, listW, refText("In"));
  OpenDetectNC = Disabled(Check("OpenDetectNC", QStringLiteral("NC"), RygGrpBox, ncX, 50));

  GroupBox4 = Group("GroupBox4", QStringLiteral(" Czytniki "), page, 12, 96, 495, 80);
  static const char* const readerLabels[kReaderSlots] = {"Rd1Lb", "Rd2Lb", "Rd3Lb", "Rd4Lb"};
  static const char* const readerLists[kReaderSlots] = {"Rd1Cb", "Rd2Cb", "Rd3Cb", "Rd4Cb"};
  for (int k = 0; k < kReaderSlots; ++k) {
    int x = (k % 2) * 244 + 16, y = (k / 2) * 28 + 24;
    RdLb[k] = Disabled(Label(readerLabels[k], QStringLiteral("%1:").arg(k + 1), GroupBox4, x, y));
    RdCb[k] = RefList(readerLists[k], GroupBox4, x + 20, y - 4, 200, refText("Rd"));
  }

  // The reminder and CCTV rows are hidden; the alarm row takes the group's first line.
  GroupBox1 = Group("GroupBox1", QStringLiteral(" Wyjścia "), page, 12, 184, 495, 52);
  AlarmLb = Disabled(Label("AlarmLb", QStringLiteral("Alarm:"), GroupBox1, 16, 24));
  AlarmCb = RefList("AlarmCb", GroupBox1, listX, 20, listW, refText("Out"));
  AlarmNC = Disabled(Check("AlarmNC", QStringLiteral("NC"), GroupBox1, ncX, 22));
  RemindLb = Disabled(Label("RemindLb", QStringLiteral("Przypomnienie:"), GroupBox1, 16, 52));
  RemindCb = RefList("RemindCb", GroupBox1, listX, 48, listW, refText("Out"));
  RemindNC = Disabled(Check("RemindNC", QStringLiteral("NC"), GroupBox1, ncX, 50));
  CctvLb = Disabled(Label("CctvLb", QStringLiteral("CCTV:"), GroupBox1, 16, 80));
  CctvCb = RefList("CctvCb", GroupBox1, listX, 76, listW, refText("Out"));
  CctvNC = Disabled(Check("CctvNC", QStringLiteral("NC"), GroupBox1, ncX, 78));
  for (QWidget* hidden : {static_cast<QWidget*>(RemindLb), static_cast<QWidget*>(RemindCb),
                          static_cast<QWidget*>(RemindNC), static_cast<QWidget*>(CctvLb),
                          static_cast<QWidget*>(CctvCb), static_cast<QWidget*>(CctvNC)})
    hidden->setVisible(false);

  // The exit button and alarm detector rows are hidden; the tamper row is the visible one.
  GroupBox3 = Group("GroupBox3", QStringLiteral(" Wejścia "), page, 12, 244, 495, 52);
  Alarm1Lb = Disabled(Label("Alarm1Lb", QStringLiteral("Sabotaż:"), GroupBox3, 16, 24));
  Alarm1Cb = RefList("Alarm1Cb", GroupBox3, listX, 20, listW, refText("In"));
  Alarm1NC = Disabled(Check("Alarm1NC", QStringLiteral("NC"), GroupBox3, ncX, 22));
  OutBtnLb = Disabled(Label("OutBtnLb", QStringLiteral("Przycisk wyjścia:"), GroupBox3, 16, 52));
  OutBtnCb = RefList("OutBtnCb", GroupBox3, listX, 48, listW, refText("In"));
  OutBtnNC = Disabled(Check("OutBtnNC", QStringLiteral("NC"), GroupBox3, ncX, 50));
  Alarm0Lb = Disabled(Label("Alarm0Lb", QStringLiteral("Czujka alarmowa:"), GroupBox3, 16, 80));
  Alarm0Cb = RefList("Alarm0Cb", GroupBox3, listX, 76, listW, refText("In"));
  Alarm0NC = Disabled(Check("Alarm0NC", QStringLiteral("NC"), GroupBox3, ncX, 78));
  for (QWidget* hidden : {static_cast<QWidget*>(OutBtnLb), static_cast<QWidget*>(OutBtnCb),
                          static_cast<QWidget*>(OutBtnNC), static_cast<QWidget*>(Alarm0Lb),
                          static_cast<QWidget*>(Alarm0Cb), static_cast<QWidget*>(Alarm0NC)})
    hidden->setVisible(false);

  TstGrpBox = Group("TstGrpBox", QStringLiteral(" Testowanie "), page, 12, 304, 495, 108);
  TstGrpBox->setEnabled(false);
  TstGrpBox->setVisible(false);
  KlamkaCb = Disabled(Check("KlamkaCb", QStringLiteral("Otwieranie klamką"), TstGrpBox, 16, 22));
  FullTimCb = Disabled(Check("FullTimCb", QStringLiteral("Pełny impuls rygla"), TstGrpBox, 16, 44));
  TypeLb = Disabled(Label("TypeLb", QStringLiteral("Typ przejścia"), TstGrpBox, 240, 24));
  TypeCb = new QComboBox(TstGrpBox);
  TypeCb->setObjectName(QStringLiteral("TypeCb"));
  TypeCb->setGeometry(330, 20, 150, 22);
  for (int type = 0; type < kPassageTypes; ++type) TypeCb->addItem(QtText(PassageTypeName(type)));
  TypeCb->setEnabled(false);
  RygTimLb = Disabled(Label("RygTimLb", QStringLiteral("Impuls otwarcia rygla:"), TstGrpBox, 16, 74));
  RygTimEd = TimeEdit("RygTimEd", TstGrpBox, 150, 70);
  RygTimsLb = Disabled(Label("RygTimsLb", QStringLiteral("s"), TstGrpBox, 196, 74));
  OpenTimLb = Disabled(Label("OpenTimLb", QStringLiteral("Dozw. czas otwarcia:"), TstGrpBox, 240, 74));
  OpenTimEd = TimeEdit("OpenTimEd", TstGrpBox, 370, 70);
  OpenTimsLb = Disabled(Label("OpenTimsLb", QStringLiteral("s"), TstGrpBox, 416, 74));

  GroupBox5 = Group("GroupBox5", QStringLiteral(" Śluzy "), page, 12, 420, 495, 52);
  GroupBox5->setVisible(false);
  SluzaCb = new QComboBox(GroupBox5);
  SluzaCb->setObjectName(QStringLiteral("SluzaCb"));
  SluzaCb->setGeometry(16, 20, 150, 22);
  SluzaCb->setEditable(true);
  SluzaCb->setInsertPolicy(QComboBox::NoInsert);
  SluzaCb->setEnabled(false);

  HelpDoorBtn = EditorButton("HelpDoorBtn", QStringLiteral("Pomoc"), this, 12, 530);
  RapCfgBtn = EditorButton("RapCfgBtn", QStringLiteral("Raport"), this, 338, 530);
  RapCfgBtn->setEnabled(false);
  WrCfgBtn = EditorButton("WrCfgBtn", QStringLiteral("Zapisz"), this, 424, 530);
  WrCfgBtn->setEnabled(false);
  LayOutPassagePage();

  outputLists[kSlotBolt] = RygielCb;
  outputLists[kSlotReminder] = RemindCb;
  outputLists[kSlotAlarm] = AlarmCb;
  outputLists[kSlotCctv] = CctvCb;
  outputNcs[kSlotBolt] = RygielNC;
  outputNcs[kSlotReminder] = RemindNC;
  outputNcs[kSlotAlarm] = AlarmNC;
  outputNcs[kSlotCctv] = CctvNC;
  inputRows[kSlotExitButton] = {OutBtnLb, OutBtnCb, OutBtnNC};
  inputRows[kSlotOpenDetector] = {OpenDetectLb, OpenDetectCb, OpenDetectNC};
  inputRows[kSlotAlarmDetector] = {Alarm0Lb, Alarm0Cb, Alarm0NC};
  inputRows[kSlotTamper] = {Alarm1Lb, Alarm1Cb, Alarm1NC};
}

void PassageEditor::LayOutPassagePage() {
  // Below the tabs, however many rows they take, and above the buttons, which it must not
  // cover (a page is transparent, but it would take their clicks).
  constexpr int kGap = 8;
  const int top = DoorTc->geometry().bottom() + 1 + kGap;
  doorPage_->setGeometry(0, top, width(), HelpDoorBtn->y() - kGap - top);
}

void PassageEditor::ConnectHandlers() {
  // Lists react to the user's choices only (activated); the redraw's own selections never
  // reach them. Check boxes see the redraw's ticks too and look at `refreshing_`.
  connect(DoorTc, &MultiRowTabBar::currentChanged, this, [this] { DoorTcChange(); });
  for (int s = 0; s < kOutputSlots; ++s) {
    connect(outputLists[s], &QComboBox::activated, this, [this, s] { OutputCbChange(s); });
    connect(outputNcs[s], &QCheckBox::toggled, this, [this, s] { OutputNcClick(s); });
  }
  for (int s = 0; s < 4; ++s) {
    connect(inputRows[s].list, &QComboBox::activated, this, [this, s] { InputCbChange(s); });
    connect(inputRows[s].nc, &QCheckBox::toggled, this, [this, s] { InputNcClick(s); });
  }
  for (int k = 0; k < kReaderSlots; ++k)
    connect(RdCb[k], &QComboBox::activated, this, [this, k] { ReaderCbChange(k); });
  connect(KlamkaCb, &QCheckBox::toggled, this, [this] { KlamkaCbClick(); });
  connect(FullTimCb, &QCheckBox::toggled, this, [this] { FullTimCbClick(); });
  connect(TypeCb, &QComboBox::activated, this, [this] { TypeCbChange(); });
  connect(SluzaCb, &QComboBox::activated, this, [this] { SluzaCbChange(); });
  connect(SluzaCb->lineEdit(), &QLineEdit::textEdited, this, [this] { SluzaCbChange(); });
  connect(RygTimEd, &QLineEdit::editingFinished, this, [this] { RygTimEdExit(); });
  connect(OpenTimEd, &QLineEdit::editingFinished, this, [this] { OpenTimEdExit(); });
  connect(WrCfgBtn, &QPushButton::clicked, this, &PassageEditor::writeAsked);
  connect(RapCfgBtn, &QPushButton::clicked, this, &PassageEditor::reportAsked);
  connect(HelpDoorBtn, &QPushButton::clicked, this, &PassageEditor::helpAsked);
}

}  // namespace orvu
