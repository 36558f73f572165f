// orvuq46-demo: the configuration tool over an in-process simulated LAN (two controllers that
// can be read, one locked, a terminal), so every action can be tried without hardware.
#include <QApplication>
#include <QMessageBox>
#include <exception>
#include <memory>

#include "sim/clock.h"
#include "sim/lan.h"
#include "sim/scenario.h"
#include "ui/endpoint_ref.h"
#include "ui/lokdlg.h"
#include "ui/mainwin.h"
#include "ui/qtext.h"
#include "ui/whelp.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  try {
    orvu::RealClock clock;
    orvu::SimLan lan(clock);
    lan.SetEchoBroadcast(false);
    orvu::AddScenario(lan, orvu::DemoScenario());
    TMainWin mainWin([&lan] { return std::make_unique<orvu::EndpointRef>(lan); });
    THelpWin helpWin;
    TLokalizDlg lokalizDlg;
    mainWin.SetAuxWindows(&helpWin, &lokalizDlg);
    mainWin.show();
    app.exec();
  } catch (const std::exception& err) {
    QMessageBox::critical(nullptr, QStringLiteral("Error"), orvu::QtText(err.what()));
  } catch (...) {
    QMessageBox::critical(nullptr, QStringLiteral("Error"), QString());
  }
  return 0;
}
