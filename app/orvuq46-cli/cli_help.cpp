// What --help prints, per command, and the hint a usage error ends with.
#include "app/orvuq46-cli/cli_args.h"

namespace orvu {

std::string HelpText(CliCommand command) {
  switch (command) {
    case CliCommand::kDiscover:
      return "Usage: orvuq46-cli discover [--interfaces] [--json]\n"
             "\n"
             "Searches the LAN once and prints one line per controller found, as the Ethernet\n"
             "list shows it: name, IP address, mode. A search broadcasts to 255.255.255.255 and\n"
             "to the broadcast address of every interface that is up, and asks each --address\n"
             "directly.\n"
             "\n"
             "  --interfaces  print where a search sends (interfaces and broadcast addresses)\n"
             "                instead of searching\n"
             "  --json        an array of objects (name, id, ip, mode, modeText, modeByte,\n"
             "                session); with --interfaces (ip, port, interface, address)\n";
    case CliCommand::kShow:
      return "Usage: orvuq46-cli show TARGET [--json]\n"
             "\n"
             "Queries the controller, reads its configuration as the window does when the\n"
             "controller is chosen, and prints its bus devices, the replacement choices and\n"
             "every passage with its bindings, NC marks, type, times and airlock.\n"
             "\n"
             "  TARGET   a device name such as K46_00125, or its IPv4 address\n"
             "  --json   the same as one JSON object\n";
    case CliCommand::kReport:
      return "Usage: orvuq46-cli report TARGET -o FILE [--location TEXT] [--date YYYY-MM-DD]\n"
             "       orvuq46-cli report --all --dir DIR [--location TEXT] [--date YYYY-MM-DD]\n"
             "\n"
             "Writes the passage configuration report, the same file as the window's \"Raport\".\n"
             "With --all, one report per controller found, named \"YYYY-MM-DD NAME.txt\" in DIR;\n"
             "a progress line per controller goes to stderr, and a controller that fails does not\n"
             "stop the others. A file is replaced only once it has been written completely.\n"
             "With --all, Ctrl-C lets the current controller finish (status 130); a second one ends\n"
             "at once.\n"
             "\n"
             "  -o FILE          the report file (replaced if it exists)\n"
             "  --dir DIR        the directory for --all\n"
             "  --location TEXT  the location line, at most 80 characters (default: empty)\n"
             "  --date DATE      the report's date (default: today)\n";
    case CliCommand::kNone:
      break;
  }
  return "Usage: orvuq46-cli COMMAND [OPTIONS]\n"
         "\n"
         "Commands:\n"
         "  discover                    list the controllers on the LAN\n"
         "  show TARGET                 print a controller's devices and passages\n"
         "  report TARGET -o FILE       write a controller's configuration report\n"
         "  report --all --dir DIR      write a report for every controller found\n"
         "\n"
         "TARGET is a device name such as K46_00125 or an IPv4 address.\n"
         "'orvuq46-cli COMMAND --help' describes each command; 'orvuq46-cli --version' prints\n"
         "the program's version.\n"
         "\n"
         "Exit status: 0 success; 1-9 the communication error code shown; 10 usage error;\n"
         "11 a report file that cannot be written; 12 the UDP port cannot be used (or\n"
         "another system error).\n"
         "\n"
         "The program uses UDP port 45389, as the window does; the two cannot run at once on\n"
         "one machine.\n"
         "  --address ADDR[:PORT]       also ask the controller at ADDR directly, by unicast:\n"
         "                              one behind a router hears no broadcast (repeatable;\n"
         "                              every command, before or after it)\n"
         "\n"
         "Lab options for a simulator (before or after the command):\n"
         "  --local ADDR[:PORT]         bind to this address and port (default 0.0.0.0:45389)\n"
         "  --device-port PORT          the port the devices listen on (default 45389)\n"
         "  --broadcast-to ADDR[:PORT]  send discovery here instead of 255.255.255.255\n"
         "                              (repeatable; PORT defaults to the device port)\n";
}

std::string HelpHint(CliCommand command) {
  switch (command) {
    case CliCommand::kDiscover: return "Try 'orvuq46-cli discover --help'.\n";
    case CliCommand::kShow: return "Try 'orvuq46-cli show --help'.\n";
    case CliCommand::kReport: return "Try 'orvuq46-cli report --help'.\n";
    case CliCommand::kNone: break;
  }
  return "Try 'orvuq46-cli --help'.\n";
}

}  // namespace orvu
