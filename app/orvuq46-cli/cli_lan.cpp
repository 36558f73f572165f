#include "app/orvuq46-cli/cli_lan.h"

#include "app/orvuq46-cli/cli_text.h"
#include "comm/identity.h"

namespace orvu {
namespace {

constexpr int kMaxSearchRounds = 3;
constexpr int kCloseAttempts = 3;

// An identity word whose DevName is the name given: the first class with that letter.
uint32_t IdentityNamed(const std::string& name) {
  unsigned cls = 0;
  while (cls < 10 && ClassLetter(cls) != name[0]) ++cls;
  const unsigned model = static_cast<unsigned>((name[1] - '0') * 10 + (name[2] - '0'));
  const unsigned serial = static_cast<unsigned>(std::stoul(name.substr(4)));
  return 2u << 28 | (cls * 100 + model) << 16 | serial;
}

}  // namespace

CliLan::~CliLan() {
  for (int i = 0; i < set_->count; ++i) CloseSessionPatiently(set_->dev[i]);
  set_->CloseAll();
}

void SearchOnce(UdpDevSet& set) { set.Search(); }

void SearchUntilStable(UdpDevSet& set) {
  set.Search();
  for (int round = 1; round < kMaxSearchRounds; ++round) {
    const int before = set.count;
    set.Search();
    if (set.count == before) return;
  }
}

std::vector<UdpDev*> FindTarget(UdpDevSet& set, const CliTarget& target) {
  std::vector<UdpDev*> found;
  for (int i = 0; i < set.count; ++i) {
    UdpDev& dev = set.dev[i];
    if (target.byAddress ? dev.ip == target.ip : DevName(dev.id) == target.text) found.push_back(&dev);
  }
  return found;
}

std::vector<UdpDev*> SearchForTarget(UdpDevSet& set, const CliTarget& target) {
  std::vector<UdpDev*> found;
  for (int round = 0; round < kMaxSearchRounds && found.empty(); ++round) {
    set.Search();
    found = FindTarget(set, target);
  }
  return found;
}

std::string NotFoundText(const CliTarget& target) {
  // A record that never answered: offline, so its mode reads "Niedostępny".
  UdpDev absent(target.byAddress ? 0 : IdentityNamed(target.text), target.ip, 0);
  absent.online = false;
  const std::string text = ErrText(UErr(absent, ErrCode::kNoAnswer, 0));
  if (!target.byAddress) return text;
  return target.text + text.substr(DevName(absent.id).size());
}

Notes NotesTo(std::ostream& err) {
  return [&err](const std::string& note) { err << "orvuq46-cli: " << Utf8(note) << '\n'; };
}

void CloseSessionPatiently(UdpDev& dev) noexcept {
  for (int attempt = 0; attempt < kCloseAttempts && dev.session; ++attempt) {
    try {
      if (!dev.online && !dev.Status()) continue;
      dev.CloseSession();
    } catch (...) {
      // Tried again while attempts remain; the controller ends an idle session by itself.
    }
  }
}

}  // namespace orvu
