#include "app/orvuq46-cli/every_controller.h"

#include <set>
#include <system_error>

#include "app/orvuq46-cli/cli_commands.h"
#include "app/orvuq46-cli/cli_text.h"
#include "app/orvuq46-cli/interrupt.h"
#include "app/orvuq46-cli/output_dir.h"
#include "comm/identity.h"
#include "model/replacing_file.h"

namespace orvu {
namespace {

int FirstFailure(int sofar, int code) { return sofar ? sofar : code; }

}  // namespace

int WriteForOneController(const CliRequest& request, CliLan& lan, std::ostream& err,
                          const std::function<std::string(UdpDev& dev, const CtrlConfig& cfg)>& make) {
  ReplacingFile file;
  try {
    file.Open(request.output);
  } catch (const std::system_error& e) {
    err << "orvuq46-cli: " << e.what() << '\n';
    return kExitFile;
  }
  int status = kExitOk;
  UdpDev* dev = ChooseAndRead(request, lan, err, status);
  if (!dev) return status;
  try {
    file.Commit(make(*dev, lan.Cfg()));
  } catch (const std::system_error& e) {
    err << "orvuq46-cli: " << e.what() << '\n';
    return kExitFile;
  }
  return kExitOk;
}

int WriteForEveryController(const CliRequest& request, CliLan& lan, std::ostream& err,
                            const std::string& noun,
                            const std::function<ControllerFile(UdpDev& dev, const CtrlConfig& cfg)>& make) {
  if (const std::string reason = PrepareOutputDir(request.dir); !reason.empty()) {
    err << "orvuq46-cli: cannot write into " << request.dir << ": " << reason << '\n';
    return kExitFile;
  }
  UdpDevSet& set = lan.Set();
  SearchUntilStable(set);
  std::vector<UdpDev*> controllers;
  for (int i = 0; i < set.count; ++i)
    if (IsController(set.dev[i].id)) controllers.push_back(&set.dev[i]);
  if (controllers.empty()) {
    err << "orvuq46-cli: no controller answered the search\n";
    return ErrNumber(ErrCode::kNoAnswer);
  }

  int failure = kExitOk;
  size_t written = 0;
  std::set<std::string> namesUsed;
  for (size_t k = 0; k < controllers.size(); ++k) {
    if (StopRequested()) {
      err << "orvuq46-cli: interrupted; " << written << " of " << controllers.size() << " " << noun
          << " written in " << request.dir << '\n';
      return kExitInterrupted;
    }
    UdpDev& dev = *controllers[k];
    const std::string progress = "[" + std::to_string(k + 1) + "/" + std::to_string(controllers.size()) + "] ";
    try {
      ReadControllerPatiently(dev, lan.Cfg(), NotesTo(err));
      ControllerFile file = make(dev, lan.Cfg());
      // Two controllers whose identities differ only in the suffix bits share a name; the
      // second must not overwrite the first one's file.
      if (!namesUsed.insert(file.name).second) file.name += " " + dev.IpText();
      const std::string path = JoinPath(request.dir, file.name + file.extension);
      // Its own frame: a file's failure is no network failure.
      std::string outcome = path;
      try {
        file.write(path);
        ++written;
      } catch (const std::system_error& e) {
        outcome = e.what();
        failure = FirstFailure(failure, kExitFile);
      }
      err << progress << Utf8(DevName(dev.id)) << ", " << dev.IpText() << ": " << outcome << '\n';
    } catch (const UErr& e) {
      err << progress;
      Put(err, ErrText(e));
      failure = FirstFailure(failure, ExitStatusOf(e));
    } catch (const std::system_error& e) {
      err << progress << Utf8(DevName(dev.id)) << ", " << dev.IpText() << ": " << e.what() << '\n';
      failure = FirstFailure(failure, kExitNetwork);
    }
    // Done with this controller: free its session now rather than at the end of the run.
    try {
      dev.CloseSession();
    } catch (const std::exception&) {
      // The controller ends an idle session by itself; the file is what matters here.
    }
  }
  err << "orvuq46-cli: " << written << " of " << controllers.size() << " " << noun << " written in "
      << request.dir << '\n';
  return failure;
}

}  // namespace orvu
