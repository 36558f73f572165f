// The windows as designed, whatever the machine's fonts: every control at its place, every text
// whole in the control's own font, every passage tab in sight, Qt's own dialogs in Polish.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <set>

#include "comm/identity.h"
#include "model/ctrlcfg.h"
#include "sim/device_config.h"
#include "tests/ui/window_fixture.h"
#include "ui/lokdlg.h"
#include "ui/qtext.h"
#include "ui/save_dialog.h"

namespace orvu::test {
namespace {

struct Place {
  const char* name;
  const char* parent;
  int x, y, w, h;  // w and h -1: sized to its text
};

// Checks every control of the table inside root.
void ExpectPlaces(const QWidget& root, std::initializer_list<Place> places) {
  for (const Place& p : places) {
    SCOPED_TRACE(p.name);
    const QWidget* control = root.findChild<QWidget*>(QString::fromLatin1(p.name));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->parentWidget()->objectName(), QString::fromLatin1(p.parent));
    EXPECT_EQ(control->pos(), QPoint(p.x, p.y));
    if (p.w >= 0) {
      EXPECT_EQ(control->size(), QSize(p.w, p.h));
    }
  }
}

TEST_F(WindowTest, ControlsStandWhereDesigned) {
  TMainWin& w = Start();
  EXPECT_EQ(w.size(), QSize(847, 590));
  ExpectPlaces(w, {
                      {"SelBox", "MainWin", 16, 8, 281, 209},
                      {"Label18", "SelBox", 28, 20, -1, -1},
                      {"EthLstBox", "SelBox", 24, 40, 233, 113},
                      {"HelpEthBtn", "SelBox", 24, 168, 57, 25},
                      {"WwwBtn", "SelBox", 88, 168, 57, 25},
                      {"SearchEthBtn", "SelBox", 152, 168, 105, 25},
                      {"SelDevBox", "MainWin", 16, 232, 281, 345},
                      {"DevListBox", "SelDevBox", 16, 24, 249, 188},
                      {"HelpDevBtn", "SelDevBox", 32, 224, 65, 25},
                      {"DelLostBtn", "SelDevBox", 144, 224, 105, 25},
                      {"GroupBox6", "SelDevBox", 8, 264, 265, 73},
                      {"ReplLb", "GroupBox6", 32, 20, -1, -1},
                      {"ReplCb", "GroupBox6", 16, 40, 153, 22},
                      {"ReplaceBtn", "GroupBox6", 184, 32, 65, 25},
                  });
  TLokalizDlg dlg;
  EXPECT_EQ(dlg.size(), QSize(486, 118));
  ExpectPlaces(dlg, {
                        {"Label2", "LokalizDlg", 16, 28, -1, -1},
                        {"LokEdit", "LokalizDlg", 152, 24, 297, 21},
                        {"OKBtn", "LokalizDlg", 284, 72, 75, 25},
                        {"CancelBtn", "LokalizDlg", 116, 72, 75, 25},
                    });
}

// --- Nothing clipped ---

int TextWidth(const QWidget& control, const QString& text) {
  return control.fontMetrics().horizontalAdvance(text);
}

// The width the style leaves for the control's text.
int TextRoom(const QWidget& control) {
  if (auto* button = qobject_cast<const QPushButton*>(&control)) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
  }
  if (auto* box = qobject_cast<const QCheckBox*>(&control)) {
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    return box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box).width();
  }
  if (auto* group = qobject_cast<const QGroupBox*>(&control)) {
    QStyleOptionGroupBox option;
    option.initFrom(group);
    option.text = group->title();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    const QRect label = group->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                       QStyle::SC_GroupBoxLabel, group);
    return label.intersected(group->rect()).width();
  }
  return control.contentsRect().width();
}

QString TextOf(const QWidget& control) {
  if (auto* label = qobject_cast<const QLabel*>(&control)) return label->text();
  if (auto* button = qobject_cast<const QAbstractButton*>(&control)) return button->text();
  if (auto* group = qobject_cast<const QGroupBox*>(&control)) return group->title();
  return {};
}

// A group's caption is padded with blanks that only part it from the frame line; its letters
// must show.
QString VisibleText(const QWidget& control) {
  return qobject_cast<const QGroupBox*>(&control) ? TextOf(control).trimmed() : TextOf(control);
}

bool HasText(const QWidget* w) {
  return qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w) ||
         qobject_cast<const QGroupBox*>(w);
}

// Every label, button, check box and group caption of the window: its text fits the room the
// style gives it; a control in sight lies inside its parent and under no sibling in sight.
void ExpectNothingClipped(const QWidget& window) {
  int checked = 0;
  for (const QWidget* control : window.findChildren<QWidget*>()) {
    if (!HasText(control) || TextOf(*control).isEmpty()) continue;
    SCOPED_TRACE(control->objectName().toStdString() + " \"" + TextOf(*control).toStdString() + "\"");
    ++checked;
    EXPECT_LE(TextWidth(*control, VisibleText(*control)), TextRoom(*control));
    EXPECT_GE(control->height(), control->fontMetrics().height());
    if (!control->isVisibleTo(&window)) continue;
    const QWidget* parent = control->parentWidget();
    EXPECT_TRUE(parent->rect().contains(control->geometry()));
    for (const QWidget* sibling : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (sibling == control || !sibling->isVisibleTo(&window) || sibling->isWindow()) continue;
      EXPECT_FALSE(control->geometry().intersects(sibling->geometry()))
          << "under " << sibling->objectName().toStdString();
    }
  }
  EXPECT_GE(checked, 3);
}

// A bus whose texts are the widest the panel shows: a pair of 9-character names for every
// class letter, and a line of the longest type name with a 3-digit suffix number and the
// longest state.
SimDeviceConfig WidestTexts() {
  SimDeviceConfig config = SmallInstallation(1201, "192.168.1.21", 2);
  for (unsigned cls = 0; cls <= 7; ++cls) {
    if (cls == kControllerClass) continue;
    const unsigned type = cls * 100 + 99;
    config.bus.push_back(MakeBusRecord(MakeIdentity(type, 65535, 3, 0), 255, kStateInactive, 1, 1, 0));
    config.bus.push_back(MakeBusRecord(MakeIdentity(type, 65534, 3, 0), 255, kStateNew, 1, 1, 0));
  }
  config.bus.push_back(MakeBusRecord(MakeIdentity(899, 65535, 3, 0), 255, kStatePower, 1, 1, 0));
  return config;
}

TEST_F(WindowTest, EveryTextFitsItsControl) {
  lan.AddDevice(WidestTexts());
  TMainWin& w = Start();
  ASSERT_GT(ui->ReplCb->count(), 0);
  ASSERT_FALSE(ui->SelDevBox->title().isEmpty());
  w.show();
  ExpectNothingClipped(w);

  TLokalizDlg dlg;
  dlg.show();
  ExpectNothingClipped(dlg);
}

TEST_F(WindowTest, ReplacementListShowsBothNamesWhole) {
  lan.AddDevice(WidestTexts());
  Start();
  QStyleOptionComboBox option;
  option.initFrom(ui->ReplCb);
  option.editable = false;
  option.frame = true;
  const QRect field = ui->ReplCb->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                        QStyle::SC_ComboBoxEditField, ui->ReplCb);
  ASSERT_GE(ui->ReplCb->count(), 7);  // one pair per class letter
  for (int i = 0; i < ui->ReplCb->count(); ++i) {
    const QString text = ui->ReplCb->itemText(i);
    SCOPED_TRACE(text.toStdString());
    EXPECT_EQ(text.size(), 9 + 5 + 9);
    EXPECT_LE(TextWidth(*ui->ReplCb, text) + 2, field.width());  // the label keeps 1 px each side
  }
  EXPECT_LE(field.right(), ui->ReplCb->rect().right());
}

TEST_F(WindowTest, DeviceListShowsItsLongestLineOrScrollsSideways) {
  lan.AddDevice(WidestTexts());
  TMainWin& w = Start();
  w.show();
  QCoreApplication::processEvents();
  QListWidget* list = ui->DevListBox;
  int longest = 0;
  QListWidgetItem* widest = nullptr;
  for (int i = 0; i < list->count(); ++i) {
    const int width = TextWidth(*list, list->item(i)->text());
    if (width > longest) longest = width, widest = list->item(i);
  }
  ASSERT_NE(widest, nullptr);
  EXPECT_TRUE(widest->text().contains(QStringLiteral("/D255,   (problemy zasilania)")));
  EXPECT_GE(list->visualItemRect(widest).width(), longest);  // laid out whole, not shortened
  const int reach = list->viewport()->width() + list->horizontalScrollBar()->maximum();
  EXPECT_GE(reach, list->visualItemRect(widest).width());
}

// --- Passage tabs ---

TEST_F(WindowTest, SixteenPassagesShowEveryTabAtOnce) {
  lan.AddDevice(LargeInstallation(1250, "192.168.1.50", 2));
  TMainWin& w = Start();
  w.show();
  ASSERT_EQ(ui->DoorTc->count(), 16);
  EXPECT_GT(ui->DoorTc->rowCount(), 1);
  const QRect bar = ui->DoorTc->geometry();
  EXPECT_TRUE(ui->DoorGrpBox->rect().contains(bar));
  std::set<std::pair<int, int>> corners;
  for (int i = 0; i < 16; ++i) {
    SCOPED_TRACE(i);
    const QRect tab = ui->DoorTc->tabRect(i);
    EXPECT_TRUE(ui->DoorTc->rect().contains(tab));
    EXPECT_LE(TextWidth(*ui->DoorTc, ui->DoorTc->tabText(i)), tab.width());
    EXPECT_TRUE(corners.insert({tab.x(), tab.y()}).second);
    QTest::mouseClick(ui->DoorTc, Qt::LeftButton, {}, tab.center());
    EXPECT_EQ(ui->DoorTc->currentIndex(), i);
    EXPECT_EQ(ui->RygielCb->itemData(0).toInt(), Cfg().outRefs[i][kSlotBolt]);
  }
  // The current tab of the first row leaves the tab below it as it was.
  const int perRow = (16 + ui->DoorTc->rowCount() - 1) / ui->DoorTc->rowCount();
  auto pixels = [&](int current, int tab) {
    ui->DoorTc->setCurrentIndex(current);
    return ui->DoorTc->grab(ui->DoorTc->tabRect(tab)).toImage();
  };
  EXPECT_EQ(pixels(0, perRow), pixels(perRow - 1, perRow));

  // The passage's groups stand below the last row of tabs and above the buttons.
  const QRect first = QRect(ui->RygGrpBox->mapTo(ui->DoorGrpBox, QPoint(0, 0)), ui->RygGrpBox->size());
  EXPECT_GT(first.top(), bar.bottom());
  const QRect inputs = QRect(ui->GroupBox3->mapTo(ui->DoorGrpBox, QPoint(0, 0)), ui->GroupBox3->size());
  EXPECT_LT(inputs.bottom(), ui->HelpDoorBtn->y());
  EXPECT_TRUE(ui->HelpDoorBtn->isVisible());
  EXPECT_EQ(ui->DoorGrpBox->childAt(ui->WrCfgBtn->geometry().center()), ui->WrCfgBtn);
}

struct KeyCase {
  const char* name;
  int from;
  bool inPage;  // the key is typed in a list of the passage page, not on the tabs
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  int to;
};

TEST_F(WindowTest, KeysStepThroughThePassageTabs) {
  lan.AddDevice(LargeInstallation(1250, "192.168.1.50", 2));
  TMainWin& w = Start();
  w.show();
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  ASSERT_EQ(ui->DoorTc->count(), 16);
  const int perRow = (16 + ui->DoorTc->rowCount() - 1) / ui->DoorTc->rowCount();
  const KeyCase cases[] = {
      {"Right", 0, false, Qt::Key_Right, {}, 1},
      {"Left", 5, false, Qt::Key_Left, {}, 4},
      {"Left at the first", 0, false, Qt::Key_Left, {}, 0},
      {"Right at the last", 15, false, Qt::Key_Right, {}, 15},
      {"Down a row", 1, false, Qt::Key_Down, {}, 1 + perRow},
      {"Up a row", 1 + perRow, false, Qt::Key_Up, {}, 1},
      {"End", 2, false, Qt::Key_End, {}, 15},
      {"Home", 9, false, Qt::Key_Home, {}, 0},
      {"Ctrl+Tab on the tabs", 3, false, Qt::Key_Tab, Qt::ControlModifier, 4},
      {"Ctrl+Tab in the page", 3, true, Qt::Key_Tab, Qt::ControlModifier, 4},
      {"Ctrl+Tab round", 15, true, Qt::Key_Tab, Qt::ControlModifier, 0},
      {"Ctrl+Shift+Tab round", 0, true, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier,
       15},
      {"Ctrl+PgDown", 7, true, Qt::Key_PageDown, Qt::ControlModifier, 8},
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.name);
    ui->DoorTc->setCurrentIndex(c.from);
    QWidget* target = c.inPage ? static_cast<QWidget*>(ui->RygielCb) : ui->DoorTc;
    target->setFocus();
    QTest::keyClick(target, c.key, c.modifiers);
    EXPECT_EQ(ui->DoorTc->currentIndex(), c.to);
    EXPECT_EQ(ui->RygielCb->itemData(0).toInt(), Cfg().outRefs[c.to][kSlotBolt]);
  }
}

// --- Qt's own texts ---

TEST(QtTexts, SaveDialogSpeaksPolish) {
  QWidget parent;
  SaveFileDialog save;
  QString title;
  QStringList buttons, labels;
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    seen = true;
    title = dialog->windowTitle();
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) buttons << button->text();
    for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"})
      if (auto* label = dialog->findChild<QLabel*>(QString::fromLatin1(name))) labels << label->text();
    dialog->reject();
  });
  EXPECT_EQ(save.Run(&parent, QStringLiteral("raport")), std::nullopt);
  ASSERT_TRUE(seen);
  EXPECT_EQ(title.toStdString(), "Zachowaj jako");
  EXPECT_EQ(labels.join(u'|').toStdString(), "Szukaj w:|Nazwa &pliku:|Pliki rodzaju:");
  EXPECT_EQ(buttons.join(u'|').toStdString(), "&Zachowaj|Anuluj");
}

// The file list's size, type and date columns show their texts whole.
TEST(QtTexts, SaveDialogListsEveryColumnWhole) {
  QTemporaryDir home;
  ASSERT_TRUE(home.isValid());
  QFile file(QDir(home.path()).filePath(QStringLiteral("2024-05-06 K46_01201.txt")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("Kontroler:    K46_01201\r\n");
  file.close();
  const QString before = QDir::currentPath();
  QDir::setCurrent(home.path());

  QWidget parent;
  SaveFileDialog save;
  QStringList cut;
  int rows = 0;
  QElapsedTimer waited;
  waited.start();
  QTimer poll;  // the list fills from Qt's own file system thread: look until it has a row
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!view) return;
    rows = view->model()->rowCount(view->rootIndex());
    if (rows == 0 && waited.elapsed() < 10000) return;
    for (int row = 0; row < rows; ++row) {
      for (int column = 1; column < view->header()->count(); ++column) {
        const QModelIndex index = view->model()->index(row, column, view->rootIndex());
        const QString text = index.data().toString();
        const int room = view->visualRect(index).width();
        if (view->fontMetrics().horizontalAdvance(text) > room) cut << text;
      }
    }
    dialog->reject();
  });
  poll.start(20);
  EXPECT_EQ(save.Run(&parent, QStringLiteral("raport")), std::nullopt);
  QDir::setCurrent(before);
  EXPECT_GT(rows, 0);
  EXPECT_TRUE(cut.isEmpty()) << cut.join(u'|').toStdString();
}

TEST(QtTexts, EditMenuSpeaksPolish) {
  QLineEdit edit;
  std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
  QStringList texts;
  for (QAction* action : menu->actions())
    if (!action->isSeparator()) texts << action->text();
  EXPECT_EQ(texts.join(u'|').toStdString(),
            "&Cofnij\tCtrl+Z|&Przywróć\tCtrl+Y|W&ytnij\tCtrl+X|S&kopiuj\tCtrl+C|&Wklej\tCtrl+V|"
            "Usuń|Zaznacz wszystko\tCtrl+A");
}

TEST_F(WindowTest, ErrorBoxKeepsItsCaptionAmongPolishTexts) {
  TMainWin& w = Start();
  TMainWin::SetErrorHook(nullptr);  // the real box
  QString title, text;
  QStringList buttons;
  QTimer answer;  // the box opens from a queued call; this answers it from inside its loop
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    title = box->windowTitle();
    text = box->text();
    for (QAbstractButton* button : box->buttons()) buttons << button->text();
    box->accept();
  });
  answer.start(1);
  w.findChild<ErrorFrame*>()->Show(QStringLiteral("Urządzenie nie odpowiada."));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !title.isEmpty(); }));
  EXPECT_EQ(title, QStringLiteral("Error"));
  EXPECT_EQ(text, QStringLiteral("Urządzenie nie odpowiada."));
  EXPECT_EQ(buttons, QStringList{QStringLiteral("OK")});
}

}  // namespace
}  // namespace orvu::test
