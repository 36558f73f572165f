// orvuQ46: the configuration tool on the real UDP endpoint (port 45389, broadcast).
#include <QApplication>
#include <QMessageBox>
#include <exception>
#include <memory>

#include "comm/posix_udp.h"
#include "ui/lokdlg.h"
#include "ui/mainwin.h"
#include "ui/qtext.h"
#include "ui/whelp.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  try {
    // A port held by another program is reported by the window's first action, which opens
    // with an empty list; the window retries on later actions.
    TMainWin mainWin([] { return std::make_unique<orvu::PosixUdpEndpoint>(); });
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
