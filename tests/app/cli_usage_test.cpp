#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "app/orvuq46-cli/cli.h"
#include "app/orvuq46-cli/cli_args.h"
#include "app/orvuq46-cli/cli_values.h"

namespace orvu {
namespace {

// Usage errors and help must stop before any datagram: this endpoint fails the test if used.
class UnusedEndpoint : public Endpoint {
 public:
  void Send(const std::string&, uint16_t, const uint8_t*, size_t) override { Used(); }
  void Broadcast(const uint8_t*, size_t) override { Used(); }
  size_t Receive(uint8_t*, size_t, int, std::string*) override { Used(); }
  uint16_t DevicePort() const override { return kUdpPort; }

 private:
  [[noreturn]] static void Used() { throw std::logic_error("the network was used"); }
};

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome RunOffline(const std::vector<std::string>& args) {
  UnusedEndpoint none;
  std::ostringstream out, err;
  const int status = RunCli(args, none, out, err);
  return {status, out.str(), err.str()};
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(CliUsage, ErrorsGiveStatus10AndTheHelpLine) {
  const std::string eightyOne(81, 'x');
  const struct {
    std::vector<std::string> args;
    const char* hint;
  } rows[] = {
      {{}, "Try 'orvuq46-cli --help'.\n"},
      {{"list"}, "Try 'orvuq46-cli --help'.\n"},
      {{"discover", "K46_00125"}, "Try 'orvuq46-cli discover --help'.\n"},
      {{"discover", "--verbose"}, "Try 'orvuq46-cli discover --help'.\n"},
      {{"discover", "--json", "--json"}, "Try 'orvuq46-cli discover --help'.\n"},
      {{"discover", "--interfaces", "--interfaces"}, "Try 'orvuq46-cli discover --help'.\n"},
      {{"show", "K46_00125", "--interfaces"}, "Try 'orvuq46-cli show --help'.\n"},
      {{"show"}, "Try 'orvuq46-cli show --help'.\n"},
      {{"show", "K46_65536"}, "Try 'orvuq46-cli show --help'.\n"},       // serial beyond 16 bits
      {{"show", "K4_000125"}, "Try 'orvuq46-cli show --help'.\n"},
      {{"show", "127.0.0.256"}, "Try 'orvuq46-cli show --help'.\n"},
      {{"show", "127.0.0"}, "Try 'orvuq46-cli show --help'.\n"},
      {{"show", "K46_00125", "K46_00126"}, "Try 'orvuq46-cli show --help'.\n"},
      {{"show", "K46_00125", "--location", "x"}, "Try 'orvuq46-cli show --help'.\n"},
      {{"report", "K46_00125"}, "Try 'orvuq46-cli report --help'.\n"},  // no -o
      {{"report", "-o", "f.txt"}, "Try 'orvuq46-cli report --help'.\n"},
      {{"report", "K46_00125", "-o"}, "Try 'orvuq46-cli report --help'.\n"},
      {{"report", "K46_00125", "-o", "f", "--date", "2023-02-29"}, "Try 'orvuq46-cli report --help'.\n"},
      {{"report", "K46_00125", "-o", "f", "--date", "7.5.2024"}, "Try 'orvuq46-cli report --help'.\n"},
      {{"report", "K46_00125", "-o", "f", "--location", eightyOne}, "Try 'orvuq46-cli report --help'.\n"},
      {{"report", "K46_00125", "-o", "f", "--location", "two\nlines"}, "Try 'orvuq46-cli report --help'.\n"},
      {{"report", "K46_00125", "-o", "f", "--json"}, "Try 'orvuq46-cli report --help'.\n"},
      {{"report", "--all"}, "Try 'orvuq46-cli report --help'.\n"},
      {{"report", "--all", "--dir", "d", "K46_00125"}, "Try 'orvuq46-cli report --help'.\n"},
      {{"report", "--all", "--dir", "d", "-o", "f"}, "Try 'orvuq46-cli report --help'.\n"},
      {{"backup", "K46_00125"}, "Try 'orvuq46-cli backup --help'.\n"},  // no -o
      {{"backup", "--all"}, "Try 'orvuq46-cli backup --help'.\n"},
      {{"backup", "K46_00125", "-o", "f", "--location", "x"}, "Try 'orvuq46-cli backup --help'.\n"},
      {{"backup", "K46_00125", "-o", "f", "--json"}, "Try 'orvuq46-cli backup --help'.\n"},
      {{"restore", "K46_00125"}, "Try 'orvuq46-cli restore --help'.\n"},  // no file
      {{"restore", "f.json", "K46_00125"}, "Try 'orvuq46-cli restore --help'.\n"},  // file first
      {{"restore", "K46_00125", "f.json", "x"}, "Try 'orvuq46-cli restore --help'.\n"},
      {{"restore", "K46_00125", "f.json", "-o", "g"}, "Try 'orvuq46-cli restore --help'.\n"},
      {{"restore", "K46_00125", "f.json", "--dry-run", "--dry-run"}, "Try 'orvuq46-cli restore --help'.\n"},
      {{"diff", "a.json"}, "Try 'orvuq46-cli diff --help'.\n"},
      {{"diff", "a.json", "b.json", "K46_00125"}, "Try 'orvuq46-cli diff --help'.\n"},
      {{"diff", "a.json", "b.json", "--all"}, "Try 'orvuq46-cli diff --help'.\n"},
      {{"show", "K46_00125", "--dry-run"}, "Try 'orvuq46-cli show --help'.\n"},
  };
  for (const auto& row : rows) {
    std::string words;
    for (const auto& a : row.args) words += a + " ";
    const Outcome o = RunOffline(row.args);
    EXPECT_EQ(o.status, 10) << words;
    EXPECT_TRUE(o.err.rfind("orvuq46-cli: ", 0) == 0 && EndsWith(o.err, row.hint)) << words << "\n" << o.err;
    EXPECT_EQ(o.out, "") << words;
  }
}

TEST(CliUsage, HelpOnEveryCommand) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--help"}, {"-h"}, {"discover", "--help"}, {"show", "--help"},
        {"report", "--help"}, {"report", "K46_00125", "-h"}, {"backup", "--help"}, {"restore", "--help"},
        {"diff", "a.json", "--help"}}) {
    const Outcome o = RunOffline(args);
    EXPECT_EQ(o.status, 0) << args[0];
    EXPECT_EQ(o.out.rfind("Usage: orvuq46-cli", 0), 0u) << o.out;
    EXPECT_EQ(o.err, "");
  }
  // A value is a value, even when it reads like an option.
  const CliRequest r = ParseCliArgs({"report", "K46_00125", "-o", "f", "--location", "--help"});
  EXPECT_FALSE(r.help);
  EXPECT_EQ(r.location, "--help");
}

TEST(CliValues, LimitsOfTargetsDatesAndLocations) {
  EXPECT_TRUE(ParseTarget("K46_65535"));
  EXPECT_TRUE(ParseTarget("?12_00001"));
  EXPECT_EQ(ParseTarget("k46_00125")->text, "K46_00125");
  EXPECT_EQ(ParseTarget("192.168.1.50")->ip, 0xC0A80132u);
  EXPECT_FALSE(ParseTarget("X46_00125"));
  EXPECT_FALSE(ParseTarget("1.2.3.4.5"));
  EXPECT_FALSE(ParseTarget("1.2.3.0004"));
  EXPECT_TRUE(ParseReportDate("2024-02-29"));
  EXPECT_FALSE(ParseReportDate("1900-02-29"));
  EXPECT_FALSE(ParseReportDate("2024-04-31"));
  EXPECT_FALSE(ParseReportDate("2024-00-10"));
  EXPECT_EQ(FileDateText({2024, 1, 5}), "2024-01-05");
  EXPECT_EQ(LocationProblem(std::string(80, 'x')), "");
  std::string polish;
  for (int i = 0; i < 80; ++i) polish += "ż";  // 160 bytes of UTF-8, 80 characters
  EXPECT_EQ(LocationProblem(polish), "");
  EXPECT_NE(LocationProblem(polish + "a"), "");
}

}  // namespace
}  // namespace orvu
