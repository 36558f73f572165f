#include "app/orvuq46-cli/cli_args.h"

#include <string_view>

namespace orvu {
namespace {

CliCommand CommandNamed(std::string_view word) {
  if (word == "discover") return CliCommand::kDiscover;
  if (word == "show") return CliCommand::kShow;
  if (word == "report") return CliCommand::kReport;
  if (word == "backup") return CliCommand::kBackup;
  if (word == "restore") return CliCommand::kRestore;
  if (word == "diff") return CliCommand::kDiff;
  return CliCommand::kNone;
}

bool IsHelp(std::string_view word) { return word == "--help" || word == "-h"; }

// Walks the words after the command, one option or operand at a time.
class ArgReader {
 public:
  ArgReader(const std::vector<std::string>& args, CliCommand command)
      : args_(args), command_(command) {}

  bool Done() const { return next_ >= args_.size(); }
  const std::string& Take() { return args_[next_++]; }

  // The value of an option: "--name VALUE" or "--name=VALUE".
  std::string Value(const std::string& option, const std::string& inlineValue, bool hasInline) {
    if (hasInline) return inlineValue;
    if (Done()) Fail(option + " needs a value");
    return Take();
  }

  [[noreturn]] void Fail(const std::string& message) const { throw UsageError(message, command_); }

 private:
  const std::vector<std::string>& args_;
  CliCommand command_;
  size_t next_ = 1;
};

void SetOnce(bool& seen, const std::string& option, const ArgReader& reader) {
  if (seen) reader.Fail(option + " given twice");
  seen = true;
}

// The controller a word names; a usage error for anything else.
CliTarget TargetOf(const std::string& word, const ArgReader& reader) {
  const std::optional<CliTarget> target = ParseTarget(word);
  if (!target) reader.Fail("'" + word + "' is neither a device name such as K46_00125 nor an IPv4 address");
  return *target;
}

// The words that are neither options nor their values: controllers, and files for restore
// and diff.
void TakeOperands(CliRequest& r, const std::vector<std::string>& words, const ArgReader& reader) {
  switch (r.command) {
    case CliCommand::kDiscover:
      if (!words.empty()) reader.Fail("discover takes no controller ('" + words[0] + "')");
      return;
    case CliCommand::kRestore:
      if (words.size() != 2) reader.Fail("restore needs a controller and a backup file");
      r.target = TargetOf(words[0], reader);
      r.file = words[1];
      return;
    case CliCommand::kDiff:
      if (words.size() != 2) reader.Fail("diff needs two configurations: backup files or controllers");
      r.compared = words;
      return;
    default:
      if (words.size() > 1) reader.Fail("one controller at a time ('" + words[1] + "' is one too many)");
      if (!words.empty()) r.target = TargetOf(words[0], reader);
      return;
  }
}

// report and backup: one controller to a file, or every controller into a directory.
void ValidateFileCommand(const CliRequest& r, const ArgReader& reader, const std::string& name) {
  if (r.all) {
    if (r.target) reader.Fail(name + " --all takes no controller");
    if (r.dir.empty()) reader.Fail(name + " --all needs --dir DIR");
    if (!r.output.empty()) reader.Fail(name + " --all writes into --dir, not -o");
  } else {
    if (!r.target) reader.Fail(name + " needs a controller, or --all");
    if (r.output.empty()) reader.Fail(name + " needs -o FILE");
    if (!r.dir.empty()) reader.Fail("--dir belongs to " + name + " --all");
  }
}

void Validate(const CliRequest& r, const ArgReader& reader, bool hasDate, bool hasLocation) {
  const bool writesFiles = r.command == CliCommand::kReport || r.command == CliCommand::kBackup;
  switch (r.command) {
    case CliCommand::kDiscover:
      break;
    case CliCommand::kShow:
      if (!r.target) reader.Fail("show needs a controller: a name such as K46_00125 or an IPv4 address");
      break;
    case CliCommand::kReport:
      ValidateFileCommand(r, reader, "report");
      break;
    case CliCommand::kBackup:
      ValidateFileCommand(r, reader, "backup");
      break;
    case CliCommand::kRestore:
    case CliCommand::kDiff:
    case CliCommand::kNone:
      break;
  }
  if (r.command != CliCommand::kReport && (hasDate || hasLocation))
    reader.Fail("--location and --date belong to report");
  if (!writesFiles && (r.all || !r.output.empty() || !r.dir.empty()))
    reader.Fail("--all, -o and --dir belong to report and backup");
  if (r.command != CliCommand::kRestore && r.dryRun) reader.Fail("--dry-run belongs to restore");
}

}  // namespace

CliRequest ParseCliArgs(const std::vector<std::string>& args) {
  CliRequest r;
  if (args.empty()) throw UsageError("no command given", CliCommand::kNone);
  if (IsHelp(args[0])) {
    r.help = true;
    return r;
  }
  r.command = CommandNamed(args[0]);
  if (r.command == CliCommand::kNone) throw UsageError("unknown command '" + args[0] + "'", CliCommand::kNone);
  for (size_t i = 1; i < args.size(); ++i) {
    if (IsHelp(args[i])) {
      r.help = true;
      return r;
    }
    // A value that merely looks like --help (a location, say) does not count: stop at values.
    if (args[i] == "-o" || args[i] == "--output" || args[i] == "--dir" ||
        args[i] == "--location" || args[i] == "--date")
      ++i;
  }

  ArgReader reader(args, r.command);
  bool seenJson = false, seenAll = false, seenOutput = false, seenDir = false;
  bool seenLocation = false, seenDate = false, seenDryRun = false, seenInterfaces = false;
  std::vector<std::string> operands;
  while (!reader.Done()) {
    const std::string& word = reader.Take();
    const size_t eq = word.find('=');
    const bool hasInline = word.rfind("--", 0) == 0 && eq != std::string::npos;
    const std::string option = hasInline ? word.substr(0, eq) : word;
    const std::string inlineValue = hasInline ? word.substr(eq + 1) : std::string();

    if (option == "--json" && !hasInline) {
      if (r.command != CliCommand::kDiscover && r.command != CliCommand::kShow)
        reader.Fail("--json belongs to discover and show");
      SetOnce(seenJson, option, reader);
      r.json = true;
    } else if (option == "--dry-run" && !hasInline) {
      SetOnce(seenDryRun, option, reader);
      r.dryRun = true;
    } else if (option == "--interfaces" && !hasInline) {
      if (r.command != CliCommand::kDiscover) reader.Fail("--interfaces belongs to discover");
      SetOnce(seenInterfaces, option, reader);
      r.interfaces = true;
    } else if (option == "--all" && !hasInline) {
      SetOnce(seenAll, option, reader);
      r.all = true;
    } else if (option == "-o" || option == "--output") {
      SetOnce(seenOutput, option, reader);
      r.output = reader.Value(option, inlineValue, hasInline);
      if (r.output.empty()) reader.Fail(option + " needs a file name");
    } else if (option == "--dir") {
      SetOnce(seenDir, option, reader);
      r.dir = reader.Value(option, inlineValue, hasInline);
      if (r.dir.empty()) reader.Fail("--dir needs a directory");
    } else if (option == "--location") {
      SetOnce(seenLocation, option, reader);
      r.location = reader.Value(option, inlineValue, hasInline);
      if (const std::string problem = LocationProblem(r.location); !problem.empty()) reader.Fail(problem);
    } else if (option == "--date") {
      SetOnce(seenDate, option, reader);
      const std::string text = reader.Value(option, inlineValue, hasInline);
      r.date = ParseReportDate(text);
      if (!r.date) reader.Fail("--date wants a calendar date YYYY-MM-DD, not '" + text + "'");
    } else if (!word.empty() && word[0] == '-') {
      reader.Fail("unknown option '" + word + "'");
    } else {
      operands.push_back(word);
    }
  }
  TakeOperands(r, operands, reader);
  Validate(r, reader, seenDate, seenLocation);
  return r;
}

}  // namespace orvu
