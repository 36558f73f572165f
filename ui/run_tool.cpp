#include "ui/run_tool.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>
#include <optional>

#include "ui/after_first_paint.h"
#include "ui/app_setup.h"
#include "ui/font_warm_up.h"
#include "ui/lokdlg.h"
#include "ui/qtext.h"
#include "ui/whelp.h"

namespace orvu {

int RunTool(int argc, char** argv, TMainWin::EndpointFactory makeEndpoint) {
  FontConfigWarmUp fonts;
  QApplication app(argc, argv);
  SetUpApplication(app);
  fonts.Join();
  try {
    std::optional<THelpWin> helpWin;
    std::optional<TLokalizDlg> lokalizDlg;
    TMainWin mainWin(std::move(makeEndpoint));
    // Neither is seen before the user asks for it, and nobody can ask before the window is on
    // the screen: they are made right after its first paint.
    AfterFirstPaint(&mainWin, [&] {
      mainWin.SetAuxWindows(&helpWin.emplace(), &lokalizDlg.emplace());
    });
    mainWin.show();
    app.exec();
  } catch (const std::exception& err) {
    QMessageBox::critical(nullptr, QStringLiteral("Error"), QtText(err.what()));
  } catch (...) {
    QMessageBox::critical(nullptr, QStringLiteral("Error"), QString());
  }
  return 0;
}

}  // namespace orvu
