// The main window over the in-process simulated LAN with a manual clock: real widgets, real
// frames, no sockets and no waiting. Error boxes are recorded instead of shown. Tests find the
// controls by their object names and use them as the user does.
#pragma once
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <stdexcept>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QListWidget>
#include <QSignalBlocker>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <functional>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "model/ctrlcfg.h"
#include "sim/clock.h"
#include "sim/lan.h"
#include "sim/scenario.h"
#include "ui/device_panel.h"
#include "ui/endpoint_ref.h"
#include "ui/lokdlg.h"
#include "ui/mainwin.h"
#include "ui/multi_row_tab_bar.h"
#include "ui/passage_editor.h"
#include "ui/whelp.h"
#include "ui/window_comm.h"

namespace orvu::test {

// A control of window by its object name; a missing one fails the test.
template <class Control>
Control* Named(const QWidget& window, const char* name) {
  Control* control = window.findChild<Control*>(QString::fromLatin1(name));
  if (!control) throw std::logic_error(std::string("no control named ") + name);
  return control;
}

// The window's controls, found by their object names.
struct WindowControls {
  explicit WindowControls(const QWidget& w)
      : SelBox(Named<QGroupBox>(w, "SelBox")),
        Label18(Named<QLabel>(w, "Label18")),
        EthLstBox(Named<QListWidget>(w, "EthLstBox")),
        HelpEthBtn(Named<QPushButton>(w, "HelpEthBtn")),
        WwwBtn(Named<QPushButton>(w, "WwwBtn")),
        SearchEthBtn(Named<QPushButton>(w, "SearchEthBtn")),
        SelDevBox(Named<QGroupBox>(w, "SelDevBox")),
        DevListBox(Named<QListWidget>(w, "DevListBox")),
        HelpDevBtn(Named<QPushButton>(w, "HelpDevBtn")),
        DelLostBtn(Named<QPushButton>(w, "DelLostBtn")),
        GroupBox6(Named<QGroupBox>(w, "GroupBox6")),
        ReplLb(Named<QLabel>(w, "ReplLb")),
        ReplCb(Named<QComboBox>(w, "ReplCb")),
        ReplaceBtn(Named<QPushButton>(w, "ReplaceBtn")),
        DoorGrpBox(Named<QGroupBox>(w, "DoorGrpBox")),
        DoorTc(Named<MultiRowTabBar>(w, "DoorTc")),
        RygGrpBox(Named<QGroupBox>(w, "RygGrpBox")),
        RygielLb(Named<QLabel>(w, "RygielLb")),
        RygielCb(Named<QComboBox>(w, "RygielCb")),
        RygielNC(Named<QCheckBox>(w, "RygielNC")),
        OpenDetectLb(Named<QLabel>(w, "OpenDetectLb")),
        OpenDetectCb(Named<QComboBox>(w, "OpenDetectCb")),
        OpenDetectNC(Named<QCheckBox>(w, "OpenDetectNC")),
        GroupBox4(Named<QGroupBox>(w, "GroupBox4")),
        RdLb{Named<QLabel>(w, "Rd1Lb"), Named<QLabel>(w, "Rd2Lb"), Named<QLabel>(w, "Rd3Lb"),
             Named<QLabel>(w, "Rd4Lb")},
        RdCb{Named<QComboBox>(w, "Rd1Cb"), Named<QComboBox>(w, "Rd2Cb"),
             Named<QComboBox>(w, "Rd3Cb"), Named<QComboBox>(w, "Rd4Cb")},
        GroupBox1(Named<QGroupBox>(w, "GroupBox1")),
        RemindLb(Named<QLabel>(w, "RemindLb")),
        RemindCb(Named<QComboBox>(w, "RemindCb")),
        RemindNC(Named<QCheckBox>(w, "RemindNC")),
        AlarmLb(Named<QLabel>(w, "AlarmLb")),
        AlarmCb(Named<QComboBox>(w, "AlarmCb")),
        AlarmNC(Named<QCheckBox>(w, "AlarmNC")),
        CctvLb(Named<QLabel>(w, "CctvLb")),
        CctvCb(Named<QComboBox>(w, "CctvCb")),
        CctvNC(Named<QCheckBox>(w, "CctvNC")),
        GroupBox3(Named<QGroupBox>(w, "GroupBox3")),
        OutBtnLb(Named<QLabel>(w, "OutBtnLb")),
        OutBtnCb(Named<QComboBox>(w, "OutBtnCb")),
        OutBtnNC(Named<QCheckBox>(w, "OutBtnNC")),
        Alarm0Lb(Named<QLabel>(w, "Alarm0Lb")),
        Alarm0Cb(Named<QComboBox>(w, "Alarm0Cb")),
        Alarm0NC(Named<QCheckBox>(w, "Alarm0NC")),
        Alarm1Lb(Named<QLabel>(w, "Alarm1Lb")),
        Alarm1Cb(Named<QComboBox>(w, "Alarm1Cb")),
        Alarm1NC(Named<QCheckBox>(w, "Alarm1NC")),
        TstGrpBox(Named<QGroupBox>(w, "TstGrpBox")),
        KlamkaCb(Named<QCheckBox>(w, "KlamkaCb")),
        FullTimCb(Named<QCheckBox>(w, "FullTimCb")),
        TypeLb(Named<QLabel>(w, "TypeLb")),
        TypeCb(Named<QComboBox>(w, "TypeCb")),
        RygTimEd(Named<QLineEdit>(w, "RygTimEd")),
        OpenTimEd(Named<QLineEdit>(w, "OpenTimEd")),
        GroupBox5(Named<QGroupBox>(w, "GroupBox5")),
        SluzaCb(Named<QComboBox>(w, "SluzaCb")),
        WrCfgBtn(Named<QPushButton>(w, "WrCfgBtn")),
        RapCfgBtn(Named<QPushButton>(w, "RapCfgBtn")),
        HelpDoorBtn(Named<QPushButton>(w, "HelpDoorBtn")),
        UDPTimer(Named<QTimer>(w, "UDPTimer")),
        devicePanel(Named<DevicePanel>(w, "SelDevBox")),
        editor(Named<PassageEditor>(w, "DoorGrpBox")) {}

  QGroupBox* SelBox;
  QLabel* Label18;
  QListWidget* EthLstBox;
  QPushButton* HelpEthBtn;
  QPushButton* WwwBtn;
  QPushButton* SearchEthBtn;
  QGroupBox* SelDevBox;
  QListWidget* DevListBox;
  QPushButton* HelpDevBtn;
  QPushButton* DelLostBtn;
  QGroupBox* GroupBox6;
  QLabel* ReplLb;
  QComboBox* ReplCb;
  QPushButton* ReplaceBtn;
  QGroupBox* DoorGrpBox;
  MultiRowTabBar* DoorTc;
  QGroupBox* RygGrpBox;
  QLabel* RygielLb;
  QComboBox* RygielCb;
  QCheckBox* RygielNC;
  QLabel* OpenDetectLb;
  QComboBox* OpenDetectCb;
  QCheckBox* OpenDetectNC;
  QGroupBox* GroupBox4;
  QLabel* RdLb[kReaderSlots];
  QComboBox* RdCb[kReaderSlots];
  QGroupBox* GroupBox1;
  QLabel* RemindLb;
  QComboBox* RemindCb;
  QCheckBox* RemindNC;
  QLabel* AlarmLb;
  QComboBox* AlarmCb;
  QCheckBox* AlarmNC;
  QLabel* CctvLb;
  QComboBox* CctvCb;
  QCheckBox* CctvNC;
  QGroupBox* GroupBox3;
  QLabel* OutBtnLb;
  QComboBox* OutBtnCb;
  QCheckBox* OutBtnNC;
  QLabel* Alarm0Lb;
  QComboBox* Alarm0Cb;
  QCheckBox* Alarm0NC;
  QLabel* Alarm1Lb;
  QComboBox* Alarm1Cb;
  QCheckBox* Alarm1NC;
  QGroupBox* TstGrpBox;
  QCheckBox* KlamkaCb;
  QCheckBox* FullTimCb;
  QLabel* TypeLb;
  QComboBox* TypeCb;
  QLineEdit* RygTimEd;
  QLineEdit* OpenTimEd;
  QGroupBox* GroupBox5;
  QComboBox* SluzaCb;
  QPushButton* WrCfgBtn;
  QPushButton* RapCfgBtn;
  QPushButton* HelpDoorBtn;
  QTimer* UDPTimer;
  // The device panel: its public entry shows the bus devices of a configuration.
  DevicePanel* devicePanel;
  // The editor panel: its public entry shows a configuration, Config() is what it holds with
  // the user's edits (what "Zapisz" writes and "Raport" reports).
  PassageEditor* editor;
};

// The user clicks a button (nothing happens while it, or a group around it, is disabled).
inline void Click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }

// The user clicks line row of a list; false when the list has no such line.
inline bool ClickLine(QListWidget* list, int row) {
  QListWidgetItem* item = list->item(row);
  if (!item) return false;
  list->scrollToItem(item);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
  return true;
}

// The user replaces what an edit holds by typing text (Polish letters included).
inline void TypeOver(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  for (QChar ch : text)
    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

// The same, confirmed with Enter.
inline void TypeAndEnter(QLineEdit* edit, const QString& text) {
  TypeOver(edit, text);
  QTest::keyClick(edit, Qt::Key_Return);
}

class WindowTest : public ::testing::Test {
 public:  // also to the tables of cases that drive it
  void SetUp() override {
    lan.SetEchoBroadcast(false);
    TMainWin::SetErrorHook([this](const QString& text) { errors.push_back(text); });
    // The question about unsaved edits is the real box; this answers it from inside its loop
    // as the test said, and fails the test on a question nobody expected (answered "Anuluj").
    QObject::connect(&questionAnswerer, &QTimer::timeout, [this] { AnswerOpenQuestion(); });
    questionAnswerer.start(5);
  }
  void TearDown() override {
    questionAnswerer.stop();
    EXPECT_TRUE(answers.empty()) << "a question the test answered was never asked";
    EXPECT_TRUE(scripted.empty()) << "a dialog the test expected never showed";
    ui.reset();
    win.reset();
    TMainWin::SetErrorHook(nullptr);
  }

  // Creates the window: its creation runs the first search and list refresh. The worker runs
  // every job inline, so each action has done its work when the click returns.
  TMainWin& Start() {
    win = std::make_unique<TMainWin>([this] { return std::make_unique<EndpointRef>(lan); },
                                     TMainWin::CommMode::kInline);
    ui.emplace(*win);
    ui->UDPTimer->stop();  // ticks are driven by the test
    return *win;
  }

  // The user clicks line row of the Ethernet list.
  void ChooseDevice(int row) { ASSERT_TRUE(ClickLine(ui->EthLstBox, row)) << "no line " << row; }

  // The next question about unsaved edits is answered with the button of this text ("Tak",
  // "Nie", "Anuluj"); its text is kept in questions.
  void AnswerQuestion(const QString& button) { answers.push_back(button); }

  // When a modal dialog or a popup menu of this object name shows, act on it from inside its
  // loop (once each; several of one name in the order given).
  void WhenShown(const QString& name, std::function<void(QWidget&)> act) {
    scripted.push_back({name, std::move(act)});
  }

  // Opens the menu on line row as a right click does, and chooses the item of that object
  // name; the items' texts and whether each was enabled land in menuItems.
  void ChooseInMenu(int row, const char* item) {
    WhenShown(QStringLiteral("EthMenu"), [this, item](QWidget& open) { Pick(open, item); });
    QListWidget* list = ui->EthLstBox;
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &click);
  }

  void Pick(QWidget& open, const char* item) {
    auto& menu = static_cast<QMenu&>(open);
    menuItems.clear();
    for (QAction* action : menu.actions())
      menuItems.push_back(action->isSeparator() ? QStringLiteral("-")
                                                : action->text() + (action->isEnabled() ? "" : " (off)"));
    auto* chosen = menu.findChild<QAction*>(QString::fromLatin1(item));
    if (!chosen || !chosen->isEnabled()) {
      menu.close();
      return;
    }
    QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(chosen).center());
  }

  void AnswerOpenQuestion() {
    for (QWidget* open : {QApplication::activePopupWidget(), QApplication::activeModalWidget()}) {
      if (!open) continue;
      for (auto it = scripted.begin(); it != scripted.end(); ++it) {
        if (it->first != open->objectName()) continue;
        auto act = std::move(it->second);
        scripted.erase(it);
        act(*open);
        return;
      }
    }
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || box->objectName() != QStringLiteral("SaveQuestion")) return;
    questions.push_back(box->text());
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected question: " << box->text().toStdString();
      box->reject();
      return;
    }
    const QString answer = answers.front();
    answers.erase(answers.begin());
    for (QAbstractButton* button : box->buttons())
      if (button->text() == answer) {
        button->click();
        return;
      }
    ADD_FAILURE() << "the question has no button " << answer.toStdString();
    box->reject();
  }

  // The configuration the window holds, with the user's edits.
  const CtrlConfig& Cfg() const { return ui->editor->Config(); }
  // The device set as the window knows it from the worker's last outcome.
  const DevSetView& Devices() const { return win->findChild<WindowComm*>()->Devices(); }
  // What the worker sees, for tests that arrange a race the inline worker cannot show.
  CommState& WorkerState() { return win->findChild<WindowComm*>()->InlineState(); }

  // The user picks the item carrying value in a drop-down list; false when it is not offered.
  static bool Choose(QComboBox* list, int value) {
    int index = list->findData(value);
    if (index < 0) return false;
    list->setCurrentIndex(index);
    emit list->activated(index);
    return true;
  }

  static std::vector<int> Items(const QComboBox* list) {
    std::vector<int> values;
    for (int i = 0; i < list->count(); ++i) values.push_back(list->itemData(i).toInt());
    return values;
  }

  static QString Line(const QListWidget* list, int row) {
    return list->item(row) ? list->item(row)->text() : QString();
  }

  ManualClock clock;
  SimLan lan{clock};
  std::vector<QString> errors;
  std::vector<QString> answers;    // for the questions still to come, in order
  std::vector<QString> questions;  // the questions asked
  std::vector<std::pair<QString, std::function<void(QWidget&)>>> scripted;
  std::vector<QString> menuItems;  // the last menu's items, " (off)" after a disabled one
  QTimer questionAnswerer;
  std::unique_ptr<TMainWin> win;
  std::optional<WindowControls> ui;
};

// What "Raport" needs beside the window: the help window and the location dialog set on it,
// and a fresh folder for the file. Lives no longer than the test, like the window.
struct ReportRig {
  explicit ReportRig(TMainWin& w) { w.SetAuxWindows(&help, &lokaliz); }
  QString Path(const QString& name) const { return dir.filePath(name); }

  THelpWin help;
  TLokalizDlg lokaliz;
  QTemporaryDir dir;
};

// The small installation's bus (device indices in the controller's list): 0 the controller
// (relay outputs), 1 the elevator module (open-collector), 2-4 readers, 5 a keypad, 6 an
// inactive reader, 7 a new reader of the same type.
constexpr int Ref(int device, int channel, bool nc = false) {
  return device * 256 + channel + (nc ? kNcBit : 0);
}
inline constexpr int kNone = kNoRef;

// Offsets into a passage payload of n passages.
inline size_t OutputOffset(int p, int slot) { return 2 + 36 * size_t(p) + 2 * size_t(slot); }
inline size_t InputOffset(int p, int slot) { return OutputOffset(p, 4 + slot); }
inline size_t ReaderOffset(int p, int slot) { return OutputOffset(p, 14 + slot); }
inline void PutRef(std::vector<uint8_t>& payload, size_t offset, int ref) {
  payload[offset] = uint8_t(ref & 0xFF);
  payload[offset + 1] = uint8_t(ref >> 8);
}

}  // namespace orvu::test
