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
             "DIR is created when missing; a progress line per controller goes to stderr, and a\n"
             "controller that fails does not stop the others. A file is replaced only once it\n"
             "has been written completely. With --all, Ctrl-C lets the current controller\n"
             "finish (status 130); a second one ends at once.\n"
             "\n"
             "  -o FILE          the report file (replaced if it exists)\n"
             "  --dir DIR        the directory for --all (created when missing)\n"
             "  --location TEXT  the location line, at most 80 characters (default: empty)\n"
             "  --date DATE      the report's date (default: today)\n";
    case CliCommand::kBackup:
      return "Usage: orvuq46-cli backup TARGET -o FILE\n"
             "       orvuq46-cli backup --all --dir DIR\n"
             "\n"
             "Reads the controller as the window does when it is chosen and writes its\n"
             "configuration as a backup file (JSON, described in docs/backup.md): the\n"
             "controller, its bus devices as read, and every passage with its 18 slots, each\n"
             "naming its device by identity and channel (not by position in the bus list), the\n"
             "NC flags and the 8 parameter bytes with their meaning beside them.\n"
             "With --all, one file per controller found, named \"NAME.json\" in DIR (created when\n"
             "missing); a progress line per controller goes to stderr, and a controller that\n"
             "fails does not stop the others. A file is replaced only once it has been written\n"
             "completely. With --all, Ctrl-C lets the current controller finish (status 130).\n"
             "\n"
             "  -o FILE    the backup file (replaced if it exists)\n"
             "  --dir DIR  the directory for --all\n";
    case CliCommand::kRestore:
      return "Usage: orvuq46-cli restore TARGET FILE [--dry-run]\n"
             "\n"
             "Puts the passages of a backup file back into a controller. The controller is\n"
             "read first and every reference of the file is found by device identity on its\n"
             "bus, wherever the device now sits. Nothing is written, and every reason is\n"
             "listed, when a referenced device is missing, a channel is beyond the device's\n"
             "count, the NC flag is set on an output that cannot carry it (only open-collector\n"
             "outputs can), or the passage count differs. A damaged or wrongly edited file is\n"
             "refused with its place (a JSON pointer) and the reason.\n"
             "Otherwise the changes are printed (passage, slot: old -> new), the passages are\n"
             "written and read back: the restore succeeds only when the controller holds\n"
             "exactly what was sent. Without an acknowledgement, or when the read-back fails,\n"
             "the outcome is unknown: the program says so, shows what it last read, and exits\n"
             "with the error's code; running the restore again then tells.\n"
             "A file taken from another controller (one that was replaced) applies too: the\n"
             "outputs, inputs and readers of the old controller become those of TARGET.\n"
             "\n"
             "  TARGET     a device name such as K46_00125, or its IPv4 address\n"
             "  --dry-run  read, check and print the changes; write nothing\n"
             "\n"
             "Exit status: 0 verified (or nothing to change); 13 the file or the restore is\n"
             "refused, nothing written; 14 written, but the controller holds something else;\n"
             "1-9 a communication error (after a write: the outcome is unknown).\n";
    case CliCommand::kDiff:
      return "Usage: orvuq46-cli diff A B\n"
             "\n"
             "Compares two configurations, each a backup file or a controller (TARGET: a\n"
             "device name such as K46_00125 or an IPv4 address, read now; an existing file\n"
             "of that name is taken as the file). Prints one line per difference, per bus\n"
             "device (matched by identity) and per passage slot and field:\n"
             "  passage 1, bolt: D17_01301:Out1 -> D17_01301:Out2\n"
             "with A's value first. The controllers' own entries count as one device.\n"
             "\n"
             "Exit status, as diff's: 0 equal, 1 different, 2 trouble (a file that cannot be\n"
             "read or is refused, a controller that cannot be read).\n";
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
         "  backup TARGET -o FILE       write a controller's configuration to a backup file\n"
         "  backup --all --dir DIR      write a backup file for every controller found\n"
         "  restore TARGET FILE         put a backup's passages back, verified by reading\n"
         "  diff A B                    compare backup files and controllers\n"
         "\n"
         "TARGET is a device name such as K46_00125 or an IPv4 address.\n"
         "'orvuq46-cli COMMAND --help' describes each command; 'orvuq46-cli --version' prints\n"
         "the program's version.\n"
         "\n"
         "Exit status: 0 success; 1-9 the communication error code shown; 10 usage error;\n"
         "11 a file that cannot be read or written; 12 the UDP port cannot be used (or\n"
         "another system error); 13 a backup file or a restore refused; 14 a restore that\n"
         "does not verify. diff exits 0 equal, 1 different, 2 trouble.\n"
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
    case CliCommand::kBackup: return "Try 'orvuq46-cli backup --help'.\n";
    case CliCommand::kRestore: return "Try 'orvuq46-cli restore --help'.\n";
    case CliCommand::kDiff: return "Try 'orvuq46-cli diff --help'.\n";
    case CliCommand::kNone: break;
  }
  return "Try 'orvuq46-cli --help'.\n";
}

}  // namespace orvu
