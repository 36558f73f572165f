// The passage times as the editor shows and reads them: half-seconds, written "3,5".
#pragma once
#include <string>
#include <string_view>

namespace orvu {

// Whole seconds, then ",5" for an odd count of half-seconds: 7 -> "3,5", 10 -> "5".
std::string TimeText(int halfSeconds);
// Reads "s,t" as the editor's field does ("%d,%1d"): leading blanks, an optionally signed
// integer s, a comma, then (after any blanks) one digit t; a part that does not match stays 0
// and ends the reading. The result, 2s + (t >= 5), is held to 0-127, however long s is.
// "3,4" -> 6, "3,5" -> 7, "99" -> 127, "3.5" -> 6, "" -> 0.
int ParseTime(std::string_view text);

}  // namespace orvu
