// report: the window's "Raport" file for one controller, or for every controller found.
#include "app/orvuq46-cli/cli_commands.h"
#include "app/orvuq46-cli/cli_text.h"
#include "app/orvuq46-cli/every_controller.h"
#include "comm/cp1250.h"
#include "comm/identity.h"
#include "model/replacing_file.h"
#include "model/report.h"

namespace orvu {
namespace {

// The window converts the location the same way; here the user hears about what is lost.
void WarnIfLocationAltered(const std::string& utf8, std::ostream& err) {
  if (Utf8FromCp1250(Cp1250FromUtf8(utf8)) != utf8)
    err << "orvuq46-cli: warning: the location has characters that Windows-1250 cannot hold; "
           "the report shows '?' for them\n";
}

}  // namespace

int RunReport(const CliRequest& request, CliLan& lan, std::ostream&, std::ostream& err) {
  // The file first: a path that cannot be written fails before any controller is bothered.
  ReplacingFile file;
  try {
    file.Open(request.output);
  } catch (const std::system_error& e) {
    err << "orvuq46-cli: " << e.what() << '\n';
    return kExitFile;
  }
  WarnIfLocationAltered(request.location, err);
  int status = kExitOk;
  UdpDev* dev = ChooseAndRead(request, lan, err, status);
  if (!dev) return status;
  const std::string text = ReportText(lan.Cfg(), DevName(dev->id), Cp1250FromUtf8(request.location),
                                      request.date.value_or(Today()));
  try {
    file.Commit(text);
  } catch (const std::system_error& e) {
    err << "orvuq46-cli: " << e.what() << '\n';
    return kExitFile;
  }
  return kExitOk;
}

int RunReportAll(const CliRequest& request, CliLan& lan, std::ostream&, std::ostream& err) {
  WarnIfLocationAltered(request.location, err);
  const std::string location = Cp1250FromUtf8(request.location);
  const ReportDate date = request.date.value_or(Today());
  return WriteForEveryController(request, lan, err, "reports", [&](UdpDev& dev, const CtrlConfig& cfg) {
    return ControllerFile{Utf8(FileDateText(date) + " " + DevName(dev.id)), ".txt",
                          ReportText(cfg, DevName(dev.id), location, date)};
  });
}

}  // namespace orvu
