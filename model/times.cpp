#include "model/times.h"

namespace orvu {

namespace {

constexpr int kMaxTime = 127;
// Any whole-second value at or above this already clamps to the maximum; digits beyond it
// are read but no longer accumulated, so no digit string can overflow.
constexpr long kSaturated = 1000;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

struct Cursor {
  std::string_view text;
  size_t pos = 0;
  bool AtEnd() const { return pos >= text.size(); }
  char Peek() const { return AtEnd() ? '\0' : text[pos]; }
  void SkipBlanks() {
    while (!AtEnd() && IsBlank(text[pos])) ++pos;
  }
};

// "%d": blanks, an optional sign, at least one digit. False when no digit follows.
bool ReadInteger(Cursor& in, long& value) {
  in.SkipBlanks();
  bool negative = false;
  if (in.Peek() == '+' || in.Peek() == '-') {
    negative = in.Peek() == '-';
    ++in.pos;
  }
  if (!IsDigit(in.Peek())) return false;
  long magnitude = 0;
  while (IsDigit(in.Peek())) {
    if (magnitude < kSaturated) magnitude = magnitude * 10 + (in.Peek() - '0');
    ++in.pos;
  }
  value = negative ? -magnitude : magnitude;
  return true;
}

// "%1d": blanks, then a field one character wide, which must be a digit.
bool ReadOneDigit(Cursor& in, int& digit) {
  in.SkipBlanks();
  if (!IsDigit(in.Peek())) return false;
  digit = in.Peek() - '0';
  ++in.pos;
  return true;
}

}  // namespace

std::string TimeText(int halfSeconds) {
  std::string text = std::to_string(halfSeconds / 2);
  if (halfSeconds % 2 != 0) text += ",5";
  return text;
}

int ParseTime(std::string_view text) {
  Cursor in{text};
  long seconds = 0;
  int tenths = 0;
  if (ReadInteger(in, seconds) && in.Peek() == ',') {
    ++in.pos;
    ReadOneDigit(in, tenths);
  }
  const long v = 2 * seconds + (tenths >= 5 ? 1 : 0);
  return v < 0 ? 0 : (v > kMaxTime ? kMaxTime : static_cast<int>(v));
}

}  // namespace orvu
