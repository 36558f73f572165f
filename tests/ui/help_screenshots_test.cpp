// Writes docs/help-N.png pictures of the three help pages when ORVU_HELP_SHOTS names a folder:
//   ORVU_HELP_SHOTS=docs ui_tests --gtest_filter=HelpScreenshots.*
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QTest>

#include "ui/whelp.h"

namespace orvu {
namespace {

TEST(HelpScreenshots, OnePicturePerPage) {
  const QString folder = qEnvironmentVariable("ORVU_HELP_SHOTS");
  if (folder.isEmpty()) GTEST_SKIP() << "ORVU_HELP_SHOTS not set";
  THelpWin win;
  win.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&win));
  for (int page = 0; page < 3; ++page) {
    win.SetPage(page);
    QCoreApplication::processEvents();
    const QString file = QDir(folder).filePath(QStringLiteral("help-%1.png").arg(page));
    EXPECT_TRUE(win.grab().save(file)) << file.toStdString();
  }
}

}  // namespace
}  // namespace orvu
