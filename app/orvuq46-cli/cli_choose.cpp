// Choosing the controller a command names, as the window's click on its list line does.
#include "app/orvuq46-cli/cli_commands.h"
#include "app/orvuq46-cli/cli_text.h"

namespace orvu {

UdpDev* ChooseAndRead(const CliRequest& request, CliLan& lan, std::ostream& err, int& status) {
  const CliTarget& target = *request.target;
  const std::vector<UdpDev*> found = SearchForTarget(lan.Set(), target);
  if (found.empty()) {
    Put(err, NotFoundText(target));
    status = ErrNumber(ErrCode::kNoAnswer);
    return nullptr;
  }
  if (found.size() > 1) {
    // Identities that differ only in the suffix bits share a name; guessing would read, and
    // report, the wrong controller.
    err << "orvuq46-cli: " << target.text << " names " << found.size() << " devices (";
    for (size_t i = 0; i < found.size(); ++i) err << (i ? ", " : "") << found[i]->IpText();
    err << "); give the IP address instead\n";
    status = kExitUsage;
    return nullptr;
  }
  ReadControllerPatiently(*found[0], lan.Cfg(), NotesTo(err));
  return found[0];
}

}  // namespace orvu
