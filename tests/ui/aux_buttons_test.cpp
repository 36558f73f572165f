// The window's buttons that open the auxiliary windows: "Pomoc" and "Raport".
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QTemporaryDir>
#include <QTimer>

#include "tests/ui/window_fixture.h"
#include "ui/lokdlg.h"
#include "ui/whelp.h"

namespace orvu::test {
namespace {

// Closes the next modal dialog as soon as its loop runs, as the user would.
void AnswerNextDialog(QDialog& dialog, int result) {
  QTimer::singleShot(0, &dialog, [&dialog, result] { dialog.done(result); });
}

// The auxiliary windows and their controls answer to their own names, as the main window's do.
TEST(AuxWindows, WindowsAndControlsCarryTheirNames) {
  THelpWin help;
  TLokalizDlg lokaliz;
  EXPECT_EQ(help.objectName(), QStringLiteral("HelpWin"));
  EXPECT_EQ(lokaliz.objectName(), QStringLiteral("LokalizDlg"));
  struct Case {
    QDialog* window;
    const char* name;
    QWidget* control;
  } cases[] = {
      {&help, "HelpEdit", help.HelpEdit},       {&lokaliz, "Label2", lokaliz.Label2},
      {&lokaliz, "LokEdit", lokaliz.LokEdit},   {&lokaliz, "OKBtn", lokaliz.OKBtn},
      {&lokaliz, "CancelBtn", lokaliz.CancelBtn},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.window->findChild<QWidget*>(QString::fromLatin1(c.name)), c.control);
  }
}

TEST_F(WindowTest, HelpButtonsShowTheirPages) {
  TMainWin& w = Start();
  THelpWin help;
  TLokalizDlg lokaliz;
  w.SetAuxWindows(&help, &lokaliz);
  struct Case {
    QPushButton* button;
    int page;
  } cases[] = {{ui->HelpEthBtn, 0}, {ui->HelpDevBtn, 1}, {ui->HelpDoorBtn, 2}};
  for (const Case& c : cases) {
    AnswerNextDialog(help, QDialog::Rejected);
    c.button->click();
    EXPECT_EQ(help.CurrentPage(), c.page);
    EXPECT_FALSE(help.isVisible());
  }
}

TEST_F(WindowTest, ReportButtonWritesTheShownConfiguration) {
  AddScenario(lan, DemoScenario());
  TMainWin& w = Start();
  ASSERT_TRUE(ui->RapCfgBtn->isEnabled());
  ReportRig rig(w);
  TLokalizDlg& lokaliz = rig.lokaliz;
  ASSERT_TRUE(rig.dir.isValid());
  const QString path = rig.Path(QStringLiteral("raport.txt"));
  lokaliz.LokEdit->setText(QStringLiteral("Klatka B, piętro 2"));
  w.SaveRapDlg().SetNextAnswer(path);
  AnswerNextDialog(lokaliz, QDialog::Accepted);
  ui->RapCfgBtn->click();
  EXPECT_TRUE(errors.empty());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray text = file.readAll();
  EXPECT_TRUE(text.contains("K46_01201"));
  EXPECT_TRUE(text.contains("\r\n"));
}

}  // namespace
}  // namespace orvu::test
