// The commands of orvuq46-cli, each run inside RunCli's error frame: a UErr, a usage error or a
// socket error thrown here becomes the exit status there.
#pragma once
#include <ostream>

#include "app/orvuq46-cli/cli.h"
#include "app/orvuq46-cli/cli_args.h"
#include "app/orvuq46-cli/cli_lan.h"

namespace orvu {

int RunDiscover(const CliRequest& request, CliLan& lan, std::ostream& out, std::ostream& err);
int RunShow(const CliRequest& request, CliLan& lan, std::ostream& out, std::ostream& err);
int RunReport(const CliRequest& request, CliLan& lan, std::ostream& out, std::ostream& err);
int RunReportAll(const CliRequest& request, CliLan& lan, std::ostream& out, std::ostream& err);
int RunBackup(const CliRequest& request, CliLan& lan, std::ostream& out, std::ostream& err);
int RunBackupAll(const CliRequest& request, CliLan& lan, std::ostream& out, std::ostream& err);
int RunRestore(const CliRequest& request, CliLan& lan, std::ostream& out, std::ostream& err);
int RunDiff(const CliRequest& request, CliLan& lan, std::ostream& out, std::ostream& err);

// The UErr code as the exit status (1-9).
int ExitStatusOf(const UErr& err);
int ExitStatusOf(ErrCode code);

// The controller the request names, read as the window reads a chosen controller; nullptr
// after printing why there is none (exit status in status).
UdpDev* ChooseAndRead(const CliRequest& request, CliLan& lan, std::ostream& err, int& status);

}  // namespace orvu
