#include "ui/lokdlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <vector>

#include "tests/ui/dialog_answer.h"

namespace orvu {
namespace {

using test::AnswerWhenShown;

struct CloseCase {
  const char* name;
  std::function<void(TLokalizDlg&)> close;
  int result;
};

TEST(LokalizDlg, EveryWayOfClosingGivesItsResult) {
  const CloseCase cases[] = {
      {"Zapisz clicked", [](TLokalizDlg& d) { d.OKBtn->click(); }, QDialog::Accepted},
      {"Enter in the edit", [](TLokalizDlg& d) { QTest::keyClick(d.LokEdit, Qt::Key_Return); },
       QDialog::Accepted},
      {"Anuluj clicked", [](TLokalizDlg& d) { d.CancelBtn->click(); }, QDialog::Rejected},
      {"Escape", [](TLokalizDlg& d) { QTest::keyClick(d.LokEdit, Qt::Key_Escape); },
       QDialog::Rejected},
      {"close box", [](TLokalizDlg& d) { d.close(); }, QDialog::Rejected},
  };
  for (const CloseCase& c : cases) {
    SCOPED_TRACE(c.name);
    TLokalizDlg dlg;
    AnswerWhenShown(dlg, [&](QDialog&) {
      QTest::keyClicks(dlg.LokEdit, "Hala 3");
      c.close(dlg);
    });
    EXPECT_EQ(dlg.exec(), c.result);
    EXPECT_EQ(dlg.LokEdit->text(), QStringLiteral("Hala 3"));
  }
}

// Keys typed on the shown dialog as a keyboard types them: through its window to whatever has
// the focus, so the focus chain, auto-default and the dialog's own Enter and Escape all take part.
struct KeyCase {
  const char* name;
  std::vector<Qt::Key> keys;  // the last one closes the dialog
  const char* focusBeforeLast;
  int result;
};

TEST(LokalizDlg, KeysGiveTheResultOfTheFocusedOrDefaultButton) {
  const KeyCase cases[] = {
      {"Enter in the edit", {Qt::Key_Return}, "LokEdit", QDialog::Accepted},
      {"keypad Enter in the edit", {Qt::Key_Enter}, "LokEdit", QDialog::Accepted},
      {"Enter on Zapisz", {Qt::Key_Tab, Qt::Key_Return}, "OKBtn", QDialog::Accepted},
      {"Enter on Anuluj", {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Return}, "CancelBtn",
       QDialog::Rejected},
      {"keypad Enter on Anuluj", {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Enter}, "CancelBtn",
       QDialog::Rejected},
      {"Space on Anuluj", {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Space}, "CancelBtn",
       QDialog::Rejected},
      {"Shift+Tab from the edit to Anuluj, Enter", {Qt::Key_Backtab, Qt::Key_Return},
       "CancelBtn", QDialog::Rejected},
      {"past Anuluj back to the edit, Enter",
       {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Return}, "LokEdit", QDialog::Accepted},
      {"Escape in the edit", {Qt::Key_Escape}, "LokEdit", QDialog::Rejected},
      {"Escape on Zapisz", {Qt::Key_Tab, Qt::Key_Escape}, "OKBtn", QDialog::Rejected},
  };
  TLokalizDlg dlg;
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.name);
    QString focusBeforeLast;
    AnswerWhenShown(dlg, [&](QDialog&) {
      ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
      dlg.LokEdit->setFocus(Qt::OtherFocusReason);
      for (size_t k = 0; k < c.keys.size(); ++k) {
        if (k + 1 == c.keys.size() && QApplication::focusWidget())
          focusBeforeLast = QApplication::focusWidget()->objectName();
        const Qt::KeyboardModifiers mods =
            c.keys[k] == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier;
        QTest::keyClick(dlg.windowHandle(), c.keys[k], mods);
      }
    });
    EXPECT_EQ(dlg.exec(), c.result);
    EXPECT_EQ(focusBeforeLast, QString::fromLatin1(c.focusBeforeLast));
  }
}

TEST(LokalizDlg, EditTakesAtMostEightyCharacters) {
  TLokalizDlg dlg;
  dlg.show();
  QTest::sendKeyEvent(QTest::Click, dlg.LokEdit, Qt::Key_unknown, QStringLiteral("ż"),
                      Qt::NoModifier);
  QTest::keyClicks(dlg.LokEdit, QString(100, u'a'));
  QTest::sendKeyEvent(QTest::Click, dlg.LokEdit, Qt::Key_unknown, QStringLiteral("ł"),
                      Qt::NoModifier);
  EXPECT_EQ(dlg.LokEdit->text(), QStringLiteral("ż") + QString(79, u'a'));
}

}  // namespace
}  // namespace orvu
