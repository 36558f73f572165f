// The commands of orvuq46-cli, callable in-process: args are the words after the program name.
#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "comm/endpoint.h"

namespace orvu {

// Exit statuses besides the UErr codes 1-9.
inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 10;
inline constexpr int kExitFile = 11;    // a file that cannot be read or written
inline constexpr int kExitNetwork = 12;  // the UDP endpoint itself failed (port taken, send refused)
inline constexpr int kExitRefused = 13;  // a backup file or a restore refused: nothing written
inline constexpr int kExitUnverified = 14;  // written, but the controller holds something else

// Registers endpoint for the run, runs one command, closes every session it opened and
// unregisters the endpoint again. Texts reach out and err as UTF-8.
int RunCli(const std::vector<std::string>& args, Endpoint& endpoint, std::ostream& out,
           std::ostream& err);

}  // namespace orvu
