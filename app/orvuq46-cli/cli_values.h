// The values the command line names: a controller (by name or address), a report date, a
// location text. Each parser returns nothing for text it does not accept.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/report.h"

namespace orvu {

struct CliTarget {
  std::string text;  // as the user wrote it, normalised (upper-case class letter)
  bool byAddress = false;
  uint32_t ip = 0;   // byAddress: first octet in bits 24-31
};

// "K46_00125" (class letter, two-digit model, underscore, five-digit serial up to 65535) or a
// dotted-decimal IPv4 address of four numbers 0-255 without leading signs or blanks.
std::optional<CliTarget> ParseTarget(std::string_view text);
// "YYYY-MM-DD", a real calendar day.
std::optional<ReportDate> ParseReportDate(std::string_view text);
// The local date of the system clock.
ReportDate Today();
// "YYYY-MM-DD": the date part of a report's default file name.
std::string FileDateText(ReportDate date);

// The location line holds what the window's edit can hold: at most 80 characters, no line
// breaks or other control characters. Empty when acceptable, else the reason.
std::string LocationProblem(std::string_view utf8);

}  // namespace orvu
