#include "ui/lokdlg.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

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
