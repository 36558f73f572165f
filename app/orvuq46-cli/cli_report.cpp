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
  WarnIfLocationAltered(request.location, err);
  return WriteForOneController(request, lan, err, [&](UdpDev& dev, const CtrlConfig& cfg) {
    return ReportText(cfg, DevName(dev.id), Cp1250FromUtf8(request.location), request.date.value_or(Today()));
  });
}

int RunReportAll(const CliRequest& request, CliLan& lan, std::ostream&, std::ostream& err) {
  WarnIfLocationAltered(request.location, err);
  const std::string location = Cp1250FromUtf8(request.location);
  const ReportDate date = request.date.value_or(Today());
  return WriteForEveryController(request, lan, err, "reports", [&](UdpDev& dev, const CtrlConfig& cfg) {
    return ControllerFile{Utf8(FileDateText(date) + " " + DevName(dev.id)), ".txt",
                          [text = ReportText(cfg, DevName(dev.id), location, date)](const std::string& path) {
                            WriteFileReplacing(path, text);
                          }};
  });
}

}  // namespace orvu
