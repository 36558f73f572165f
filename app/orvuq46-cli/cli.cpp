// RunCli: the error frame around one command, as the window's handlers have theirs.
#include "app/orvuq46-cli/cli.h"

#include <exception>
#include <stdexcept>

#include "app/orvuq46-cli/cli_commands.h"
#include "app/orvuq46-cli/cli_text.h"
#include "app/orvuq46-cli/endpoint_options.h"

namespace orvu {
namespace {

// The endpoint is the subsystem's for exactly the length of one run; whatever was registered
// before comes back afterwards.
class EndpointRegistration {
 public:
  explicit EndpointRegistration(Endpoint& endpoint) : previous_(Registered()) { SetEndpoint(&endpoint); }
  ~EndpointRegistration() { SetEndpoint(previous_); }
  EndpointRegistration(const EndpointRegistration&) = delete;
  EndpointRegistration& operator=(const EndpointRegistration&) = delete;

 private:
  static Endpoint* Registered() {
    try {
      return &TheEndpoint();
    } catch (const std::logic_error&) {
      return nullptr;
    }
  }
  Endpoint* previous_;
};

int RunCommand(const CliRequest& request, CliLan& lan, std::ostream& out, std::ostream& err) {
  switch (request.command) {
    case CliCommand::kDiscover: return RunDiscover(request, lan, out, err);
    case CliCommand::kShow: return RunShow(request, lan, out, err);
    case CliCommand::kReport:
      return request.all ? RunReportAll(request, lan, out, err) : RunReport(request, lan, out, err);
    case CliCommand::kBackup:
      return request.all ? RunBackupAll(request, lan, out, err) : RunBackup(request, lan, out, err);
    case CliCommand::kRestore: return RunRestore(request, lan, out, err);
    case CliCommand::kDiff: return RunDiff(request, lan, out, err);
    case CliCommand::kNone: break;
  }
  return kExitUsage;
}

}  // namespace

int ExitStatusOf(ErrCode code) {
  const int32_t number = ErrNumber(code);
  return number >= 1 && number <= 9 ? number : ErrNumber(ErrCode::kNoAnswer);
}

int ExitStatusOf(const UErr& err) { return ExitStatusOf(err.code); }

int RunCli(const std::vector<std::string>& args, Endpoint& endpoint, std::ostream& out,
           std::ostream& err) {
  CliRequest request;
  try {
    request = ParseCliArgs(args);
  } catch (const UsageError& e) {
    err << "orvuq46-cli: " << e.what() << '\n' << HelpHint(e.command);
    return kExitUsage;
  }
  if (request.help) {
    out << HelpText(request.command);
    return kExitOk;
  }

  EndpointRegistration registration(endpoint);
  CliLan lan;  // destroyed first: its sessions close while the endpoint is registered
  int status = kExitOk;
  try {
    status = RunCommand(request, lan, out, err);
  } catch (const UErr& e) {
    Put(err, ErrText(e));  // e.dev points into lan's set, still alive here
    status = ExitStatusOf(e);
  } catch (const std::exception& e) {  // a socket's std::system_error among them
    err << "orvuq46-cli: " << CommFailureLine(e, kUdpPort) << '\n';
    status = kExitNetwork;
  }
  out.flush();
  return status;
}

}  // namespace orvu
