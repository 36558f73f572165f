#include "app/orvuq46-cli/cli_values.h"

#include <cstdio>
#include <ctime>

#include "comm/cp1250.h"

namespace orvu {
namespace {

constexpr size_t kMaxLocationChars = 80;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Exactly n digits at text[pos..].
std::optional<unsigned> Digits(std::string_view text, size_t pos, size_t n) {
  if (pos + n > text.size()) return std::nullopt;
  unsigned v = 0;
  for (size_t i = pos; i < pos + n; ++i) {
    if (!IsDigit(text[i])) return std::nullopt;
    v = v * 10 + static_cast<unsigned>(text[i] - '0');
  }
  return v;
}

std::optional<uint32_t> ParseIpv4(std::string_view text) {
  uint32_t ip = 0;
  size_t pos = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (pos >= text.size() || text[pos] != '.') return std::nullopt;
      ++pos;
    }
    size_t start = pos;
    unsigned v = 0;
    while (pos < text.size() && IsDigit(text[pos]) && pos - start < 3) {
      v = v * 10 + static_cast<unsigned>(text[pos] - '0');
      ++pos;
    }
    if (pos == start || v > 255) return std::nullopt;
    ip = ip << 8 | v;
  }
  if (pos != text.size()) return std::nullopt;
  return ip;
}

bool IsClassLetter(char c) {
  for (char letter : std::string_view("RTZKCFD?"))
    if (c == letter) return true;
  return false;
}

bool IsLeapYear(unsigned y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

unsigned DaysInMonth(unsigned year, unsigned month) {
  static constexpr unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

std::optional<CliTarget> ParseTarget(std::string_view text) {
  if (auto ip = ParseIpv4(text)) return CliTarget{std::string(text), true, *ip};
  if (text.size() != 9 || text[3] != '_') return std::nullopt;
  char letter = text[0];
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
  if (!IsClassLetter(letter) || !Digits(text, 1, 2)) return std::nullopt;
  const auto serial = Digits(text, 4, 5);
  if (!serial || *serial > 0xFFFF) return std::nullopt;
  std::string name(text);
  name[0] = letter;
  return CliTarget{name, false, 0};
}

std::optional<ReportDate> ParseReportDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  const auto year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
  if (!year || !month || !day || *year == 0) return std::nullopt;
  if (*month < 1 || *month > 12 || *day < 1 || *day > DaysInMonth(*year, *month)) return std::nullopt;
  return ReportDate{static_cast<int>(*year), static_cast<int>(*month), static_cast<int>(*day)};
}

ReportDate Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return ReportDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string FileDateText(ReportDate date) {
  char text[32];
  std::snprintf(text, sizeof text, "%d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

std::string LocationProblem(std::string_view utf8) {
  const std::string cp1250 = Cp1250FromUtf8(utf8);  // one byte per character
  for (char c : cp1250) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
      return "the location must be one line without control characters";
  }
  if (cp1250.size() > kMaxLocationChars) return "the location holds at most 80 characters";
  return {};
}

}  // namespace orvu
