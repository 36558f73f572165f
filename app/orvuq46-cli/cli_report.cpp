// report: the window's "Raport" file for one controller, or for every controller found.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <system_error>

#include "app/orvuq46-cli/cli_commands.h"
#include "app/orvuq46-cli/cli_text.h"
#include "app/orvuq46-cli/interrupt.h"
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

std::string DirectoryProblem(const std::string& dir) {
  struct stat st {};
  if (stat(dir.c_str(), &st) != 0) return std::strerror(errno);
  if (!S_ISDIR(st.st_mode)) return std::strerror(ENOTDIR);
  if (access(dir.c_str(), W_OK | X_OK) != 0) return std::strerror(errno);
  return {};
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  return dir.back() == '/' ? dir + name : dir + "/" + name;
}

int FirstFailure(int sofar, int code) { return sofar ? sofar : code; }

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
  if (const std::string reason = DirectoryProblem(request.dir); !reason.empty()) {
    err << "orvuq46-cli: cannot write into " << request.dir << ": " << reason << '\n';
    return kExitFile;
  }
  WarnIfLocationAltered(request.location, err);
  const std::string location = Cp1250FromUtf8(request.location);

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
      err << "orvuq46-cli: interrupted; " << written << " of " << controllers.size()
          << " reports written in " << request.dir << '\n';
      return kExitInterrupted;
    }
    UdpDev& dev = *controllers[k];
    const std::string progress = "[" + std::to_string(k + 1) + "/" + std::to_string(controllers.size()) + "] ";
    try {
      ReadControllerPatiently(dev, lan.Cfg(), err);
      const ReportDate date = request.date.value_or(Today());
      std::string name = FileDateText(date) + " " + DevName(dev.id);
      // Two controllers whose identities differ only in the suffix bits share a name; the
      // second must not overwrite the first one's report.
      if (!namesUsed.insert(name).second) name += " " + dev.IpText();
      const std::string path = JoinPath(request.dir, Utf8(name) + ".txt");
      // Its own frame: a file's failure is no network failure.
      std::string outcome = path;
      try {
        WriteFileReplacing(path, ReportText(lan.Cfg(), DevName(dev.id), location, date));
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
      // The controller ends an idle session by itself; the report is what matters here.
    }
  }
  err << "orvuq46-cli: " << written << " of " << controllers.size() << " reports written in "
      << request.dir << '\n';
  return failure;
}

}  // namespace orvu
