// The passage times as the editor shows and reads them: half-seconds, written "3,5".
#pragma once
#include <string>
#include <string_view>

namespace orvu {

// Whole seconds, then ",5" for an odd count of half-seconds: 7 -> "3,5", 10 -> "5".
std::string TimeText(int halfSeconds);
// Reads "s,t" as the editor's field does: leading blanks, an optionally signed integer s, a
// comma, one digit t; a part that does not match stays 0 and ends the reading. The result,
// 2s + (t >= 5), is held to 0-127.
int ParseTime(std::string_view text);

}  // namespace orvu
