#include "ui/run_tool.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>

#include "ui/app_setup.h"
#include "ui/lokdlg.h"
#include "ui/qtext.h"
#include "ui/whelp.h"

namespace orvu {

int RunTool(int argc, char** argv, TMainWin::EndpointFactory makeEndpoint) {
  QApplication app(argc, argv);
  SetUpApplication(app);
  try {
    TMainWin mainWin(std::move(makeEndpoint));
    THelpWin helpWin;
    TLokalizDlg lokalizDlg;
    mainWin.SetAuxWindows(&helpWin, &lokalizDlg);
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
