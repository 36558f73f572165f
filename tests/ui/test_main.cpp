// GoogleTest main for the window tests: the QApplication exists only while tests run, never
// while CMake lists them, and the offscreen platform needs no display.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdlib>
#include <cstring>

#include "ui/app_setup.h"

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) {
    QByteArray dir = QDir::tempPath().toUtf8() + "/orvu-ui-tests";
    QDir().mkpath(QString::fromUtf8(dir));
    QFile::setPermissions(QString::fromUtf8(dir), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", dir);
  }
  testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--gtest_list_tests", 18) == 0) return RUN_ALL_TESTS();
  }
  QApplication app(argc, argv);
  // The user's settings (the addresses behind a router) of this run only, never the real ones.
  QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
  orvu::SetUpApplication(app);  // the font and the Polish Qt texts of the programs
  return RUN_ALL_TESTS();
}
