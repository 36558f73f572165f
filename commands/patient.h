// Commands tried again after a failure that a lost datagram explains, as an installer would
// click the controller again. Each retry is told as one note; nothing here prints.
#pragma once
#include <functional>
#include <string>

#include "comm/udpdev.h"
#include "model/ctrlcfg.h"

namespace orvu {

// One line (Windows-1250, no newline): "K46_01201, 192.168.1.50: error 1, trying again", told
// on the caller's thread between two tries. The command line prints it; a caller without use
// for it may pass an empty function.
using Notes = std::function<void(const std::string& note)>;

// ChooseController (commands/choose_controller.h), tried up to 3 times in all while it fails
// with no answer (1), session refused (3) or no reply (6); each retry is noted. Other failures,
// and the last one, are raised.
void ReadControllerPatiently(UdpDev& dev, CtrlConfig& cfg, const Notes& note);

// "NAME, ADDRESS: error N" and what follows it: the head of every note about dev.
std::string NoteAbout(const UdpDev& dev, ErrCode code, const std::string& rest);

}  // namespace orvu
